// The player thread: frames in order and endlessly, the delays it reports,
// and stopping: prompt, final, and safe from every side. These tests also
// run under ThreadSanitizer (label "threads").
#include "picture/gif/gif_builder.h"
#include "picture/gif/gif_player.h"
#include "tests/gif/gif_test_util.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>

using namespace gif;
using namespace std::chrono_literals;
using gif::test::letters;

namespace {

// Collects what the player's callback saw, from the player thread.
class Recorder {
public:
    void record(const Player::Shown& shown, std::string image)
    {
        {
            std::lock_guard lock(mutex_);
            seen_.push_back(shown);
            images_.push_back(std::move(image));
        }
        changed_.notify_all();
    }
    // Waits (generously) until `n` callbacks have come.
    bool waitFor(std::size_t n)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 20s, [&] { return seen_.size() >= n; });
    }
    std::size_t count()
    {
        std::lock_guard lock(mutex_);
        return seen_.size();
    }
    std::vector<Player::Shown> seen()
    {
        std::lock_guard lock(mutex_);
        return seen_;
    }
    std::vector<std::string> images()
    {
        std::lock_guard lock(mutex_);
        return images_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Player::Shown> seen_;
    std::vector<std::string> images_;
};

// A player whose callback records the frame just published.
struct Recorded {
    explicit Recorded(std::vector<std::uint8_t> bytes)
        : player(std::move(bytes), [this] { recorder.record(player.shown(), letters(player.image())); })
    {
    }
    Recorder recorder;
    Player player;
};

std::vector<std::uint8_t> framesWithDelay(int frames, int delayHundredths)
{
    const std::vector<Rgb> palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    GifBuilder b;
    b.screen(2, 1, palette);
    for (int i = 0; i < frames; ++i)
        b.control(0, delayHundredths).image({0, 0, 2, 1, {std::uint8_t(i % 4), std::uint8_t(i % 4)}, {}, false, 0});
    return b.trailer().bytes();
}

} // namespace

TEST(GifPlayer, ShowsTheFirstFrameBeforeItStarts)
{
    Player player(test::fixture("delays.gif"), [] {});
    ASSERT_TRUE(player.ok());
    EXPECT_FALSE(player.playing());
    EXPECT_EQ(letters(player.image()), "RR");
    EXPECT_EQ(player.shown().frameIndex, 0);
    EXPECT_EQ(player.shown().delayMs, 50);
}

// Three frames of delay 0, none and 7: they come in file order, around and
// around, with the delays of the file (0 and none mean 50 ms).
TEST(GifPlayer, PlaysFramesInOrderEndlessly)
{
    Recorded r(test::fixture("delays.gif"));
    r.player.start();
    ASSERT_TRUE(r.recorder.waitFor(8));
    r.player.stop();
    const auto seen = r.recorder.seen();
    const auto images = r.recorder.images();
    const char* frames[] = {"RR", "GG", "BB"};
    const int delays[] = {50, 50, 70};
    for (std::size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE("callback " + std::to_string(i));
        EXPECT_EQ(seen[i].frameIndex, int(i % 3));
        EXPECT_EQ(seen[i].delayMs, delays[i % 3]);
        EXPECT_EQ(seen[i].count, i + 1);
        EXPECT_EQ(images[i], frames[i % 3]);
    }
}

// Frames that change only part of the screen, clear and restore areas, and
// wrap around: the published image is always the whole composed frame.
TEST(GifPlayer, PublishesWholeFramesOfPartialImages)
{
    Recorded r(test::fixture("small_animation.gif"));
    r.player.start();
    ASSERT_TRUE(r.recorder.waitFor(7));
    r.player.stop();
    const auto images = r.recorder.images();
    const char* frames[] = {"RGBWRG", "RGBWBG", "R..WWW"};
    for (std::size_t i = 0; i < images.size(); ++i)
        EXPECT_EQ(images[i], frames[i % 3]) << "callback " << i;
}

TEST(GifPlayer, StopIsPromptInTheMiddleOfATenSecondDelay)
{
    Recorded r(test::fixture("long_delay.gif"));
    ASSERT_EQ(r.player.shown().delayMs, 10000);
    r.player.start();
    ASSERT_TRUE(r.recorder.waitFor(1));
    std::this_thread::sleep_for(20ms); // well inside the delay
    const auto before = std::chrono::steady_clock::now();
    r.player.stop();
    const auto took = std::chrono::steady_clock::now() - before;
    EXPECT_LT(took, 100ms);
    EXPECT_FALSE(r.player.playing());
    EXPECT_EQ(r.recorder.count(), 1u);
}

TEST(GifPlayer, NoCallbackAfterStopReturns)
{
    std::atomic<bool> stopped{false};
    std::atomic<int> late{0};
    std::atomic<int> calls{0};
    Player player(framesWithDelay(3, 1), [&] {
        if (stopped.load())
            ++late;
        ++calls;
    });
    for (int round = 0; round < 5; ++round) {
        stopped = false;
        const int before = calls.load();
        player.start();
        while (calls.load() < before + 3)
            std::this_thread::sleep_for(1ms);
        player.stop();
        stopped = true;
        const int after = calls.load();
        std::this_thread::sleep_for(60ms); // several frame delays
        EXPECT_EQ(calls.load(), after);
    }
    EXPECT_EQ(late.load(), 0);
}

TEST(GifPlayer, DestructionStopsThePlayer)
{
    std::atomic<int> calls{0};
    auto player = std::make_unique<Player>(test::fixture("long_delay.gif"), [&] { ++calls; });
    player->start();
    while (calls.load() < 1)
        std::this_thread::sleep_for(1ms);
    const auto before = std::chrono::steady_clock::now();
    player.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 100ms);
    EXPECT_EQ(calls.load(), 1);
}

TEST(GifPlayer, StopFromTheCallbackEndsThePlayerAndStartPlaysOn)
{
    std::atomic<int> calls{0};
    Player* self = nullptr;
    Player player(framesWithDelay(2, 1), [&] {
        if (++calls == 1)
            self->stop();
    });
    self = &player;
    player.start();
    while (calls.load() < 1)
        std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(60ms);
    EXPECT_EQ(calls.load(), 1);
    EXPECT_FALSE(player.playing());
    player.start(); // collects the ended thread and plays on
    while (calls.load() < 4)
        std::this_thread::sleep_for(1ms);
    player.stop();
}

// The painting side reads the image while the player publishes frames every
// 10 ms: every image read is one whole frame.
TEST(GifPlayer, ImageReadsWhilePlayingSeeWholeFrames)
{
    std::atomic<int> calls{0};
    Player player(framesWithDelay(4, 1), [&] { ++calls; });
    player.start();
    const std::set<std::string> frames = {"RR", "GG", "BB", "WW"};
    std::set<std::string> seen;
    while (calls.load() < 20) {
        seen.insert(letters(player.image()));
        player.withImage([&](const pic::Image& img) { seen.insert(letters(img)); });
        std::this_thread::sleep_for(1ms);
    }
    player.stop();
    for (const std::string& s : seen)
        EXPECT_TRUE(frames.count(s)) << s;
    EXPECT_GE(seen.size(), 2u);
}

TEST(GifPlayer, BytesWithoutAnImageNeverPlay)
{
    std::atomic<int> calls{0};
    Player player({'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0x3B}, [&] { ++calls; });
    EXPECT_FALSE(player.ok());
    EXPECT_FALSE(player.error().empty());
    player.start();
    EXPECT_FALSE(player.playing());
    std::this_thread::sleep_for(20ms);
    player.stop();
    EXPECT_EQ(calls.load(), 0);
    EXPECT_TRUE(player.image().pixels.empty());
}
