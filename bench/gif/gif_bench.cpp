// What playing an animated GIF costs: a 500 x 500 animation of 50 full
// frames, each shown 20 ms (delay 2), played for ten seconds with a frame
// callback that does nothing (painting is measured with the picture box).
// Reports the process's CPU time per second of playback, and the time to
// compose one frame.
#include "picture/gif/gif_builder.h"
#include "picture/gif/gif_composer.h"
#include "picture/gif/gif_player.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <thread>

namespace {

constexpr int kSide = 500;
constexpr int kFrames = 50;

// Diagonal bands of a 256-colour palette, moving a little with every frame.
const std::vector<std::uint8_t>& animation()
{
    static const std::vector<std::uint8_t> bytes = [] {
        std::vector<gif::Rgb> palette(256);
        for (int i = 0; i < 256; ++i)
            palette[std::size_t(i)] = {std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i * 7)};
        gif::GifBuilder b;
        b.screen(kSide, kSide, palette).loop(0);
        for (int f = 0; f < kFrames; ++f) {
            gif::ImageBlock img;
            img.width = kSide;
            img.height = kSide;
            img.pixels.resize(std::size_t(kSide) * kSide);
            for (int y = 0; y < kSide; ++y)
                for (int x = 0; x < kSide; ++x)
                    img.pixels[std::size_t(y) * kSide + std::size_t(x)] =
                        std::uint8_t(((x + y) / 4 + f * 3 + (x * y) / 2000) & 0xFF);
            b.control(1, 2).image(img);
        }
        return b.trailer().bytes();
    }();
    return bytes;
}

double processCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

void BM_PlayTenSeconds(benchmark::State& state)
{
    const std::vector<std::uint8_t>& bytes = animation();
    for (auto _ : state) {
        gif::Player player(bytes, [] {});
        const double cpu0 = processCpuSeconds();
        const auto wall0 = std::chrono::steady_clock::now();
        player.start();
        std::this_thread::sleep_for(std::chrono::seconds(10));
        player.stop();
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
        const double cpu = processCpuSeconds() - cpu0;
        state.counters["cpu_ms_per_s"] = 1000.0 * cpu / wall;
        state.counters["frames_per_s"] = double(player.shown().count) / wall;
        state.counters["file_kib"] = double(bytes.size()) / 1024.0;
    }
}
BENCHMARK(BM_PlayTenSeconds)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_ComposeFrame(benchmark::State& state)
{
    const std::vector<std::uint8_t>& bytes = animation();
    gif::Composer composer(bytes);
    for (auto _ : state) {
        if (!composer.next())
            state.SkipWithError("no frame");
        benchmark::DoNotOptimize(composer.image().pixels.data());
    }
}
BENCHMARK(BM_ComposeFrame)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
