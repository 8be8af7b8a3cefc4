#include "picture/gif/gif_player.h"

#include <algorithm>
#include <chrono>

namespace gif {

Player::Player(std::vector<std::uint8_t> bytes, std::function<void()> frameReady)
    : bytes_(std::move(bytes))
    , frameReady_(std::move(frameReady))
    , composer_(bytes_)
{
    ok_ = composer_.next();
    if (ok_)
        publish();
}

Player::~Player()
{
    stop();
}

void Player::publish()
{
    const pic::Image& composed = composer_.image();
    std::lock_guard lock(imageMutex_);
    if (image_.width != composed.width || image_.height != composed.height
        || image_.pixels.size() != composed.pixels.size()) {
        image_ = composed;
    } else {
        // Only what the frame changed: a small sprite on a large screen
        // costs its own size, not the screen's.
        const Composer::Area& a = composer_.changed();
        const std::size_t w = std::size_t(composed.width);
        for (int y = a.y0; y < a.y1; ++y)
            std::copy_n(composed.pixels.data() + std::size_t(y) * w + std::size_t(a.x0), std::size_t(a.x1 - a.x0),
                        image_.pixels.data() + std::size_t(y) * w + std::size_t(a.x0));
    }
    shown_.frameIndex = composer_.frameIndex();
    shown_.delayMs = composer_.delayMs();
    ++shown_.count;
}

namespace {
// The player whose thread is the calling thread, if any: stop() called from
// the frame callback must not wait for its own thread.
thread_local const Player* tlPlaying = nullptr;
} // namespace

void Player::start()
{
    if (!ok_)
        return;
    if (thread_.joinable()) {
        {
            std::lock_guard lock(stopMutex_);
            if (!stopRequested_)
                return; // already playing
        }
        thread_.join(); // stopped from its own callback: collect it first
    }
    {
        std::lock_guard lock(stopMutex_);
        stopRequested_ = false;
        started_ = true;
    }
    thread_ = std::thread([this] {
        tlPlaying = this;
        run();
    });
}

void Player::stop()
{
    {
        std::lock_guard lock(stopMutex_);
        stopRequested_ = true;
    }
    wake_.notify_all();
    if (tlPlaying == this)
        return; // from the callback: the thread ends when the callback returns
    if (thread_.joinable())
        thread_.join();
    std::lock_guard lock(stopMutex_);
    started_ = false;
}

bool Player::playing() const
{
    std::lock_guard lock(stopMutex_);
    return started_ && !stopRequested_;
}

Player::Shown Player::shown() const
{
    std::lock_guard lock(imageMutex_);
    return shown_;
}

pic::Image Player::image() const
{
    std::lock_guard lock(imageMutex_);
    return image_;
}

void Player::withImage(const std::function<void(const pic::Image&)>& use) const
{
    std::lock_guard lock(imageMutex_);
    use(image_);
}

void Player::run()
{
    // Frames keep their times on a steady clock: the time spent composing a
    // frame is taken from its predecessor's delay rather than added to it,
    // and a late frame is shown at once without the lateness piling up.
    using Clock = std::chrono::steady_clock;
    Clock::time_point due = Clock::now();
    // The frame composed last (the first one, on the first start) has not
    // been announced yet.
    bool composed = true;
    for (;;) {
        if (!composed) {
            if (!composer_.next())
                return; // cannot happen after a good first pass; ends quietly
            publish();
        }
        composed = false;
        {
            std::lock_guard lock(stopMutex_);
            if (stopRequested_)
                return;
        }
        if (frameReady_)
            frameReady_();
        due = std::max(due + std::chrono::milliseconds(composer_.delayMs()), Clock::now());
        std::unique_lock lock(stopMutex_);
        // Waiting on the condition, not sleeping, lets stop() end even the
        // longest delay at once.
        if (wake_.wait_until(lock, due, [this] { return stopRequested_; }))
            return;
    }
}

} // namespace gif
