#pragma once
// Plays an animated GIF on a thread of its own: composes frame after frame
// (see Composer), publishes each composed image under a mutex, tells the
// owner through a callback, and waits the frame's delay; endlessly, until
// stopped. No Qt: the owner turns the callback into a repaint on its own
// thread.

#include "picture/decoders/image.h"
#include "picture/gif/gif_composer.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace gif {

class Player {
public:
    // Composes the first frame at once, so image() shows it before start().
    // frameReady is called on the player thread after each frame has been
    // published, never while the image lock is held; it must return
    // promptly and never wait for the thread that calls stop() (queue a
    // repaint, do not paint there).
    Player(std::vector<std::uint8_t> bytes, std::function<void()> frameReady);
    // Stops and waits, like stop().
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // False when the bytes hold no readable image; start() then does nothing.
    bool ok() const { return ok_; }
    const std::string& error() const { return composer_.error(); }

    // Starts the thread: it announces the current frame, waits its delay,
    // and goes on with the next. Nothing happens when it is already playing.
    void start();
    // Asks the thread to stop, wakes it from any delay and waits for it to
    // end: no callback runs after stop() returns. Called from the callback
    // itself it only asks; the thread ends when the callback returns.
    void stop();
    bool playing() const;

    // The frame last published.
    struct Shown {
        int frameIndex = -1;     // place of the frame in the file, from 0
        int delayMs = 0;         // how long it stays
        std::uint64_t count = 0; // frames published since construction
    };
    Shown shown() const;
    // A copy of the composed image last published.
    pic::Image image() const;
    // Lends the composed image under the lock, without a copy (for painting).
    // The player waits for `use` before it publishes the next frame.
    void withImage(const std::function<void(const pic::Image&)>& use) const;

private:
    void run();
    void publish();

    const std::vector<std::uint8_t> bytes_;
    const std::function<void()> frameReady_;
    Composer composer_; // touched by the player thread only while it runs
    bool ok_ = false;

    mutable std::mutex imageMutex_;
    pic::Image image_;
    Shown shown_;

    mutable std::mutex stopMutex_;
    std::condition_variable wake_;
    bool stopRequested_ = false;
    bool started_ = false;
    std::thread thread_; // touched by the owner's thread only
};

} // namespace gif
