// Time per pixel step of each filter, compute only (no event processing),
// on the picture box's 183 x 183 client area and on a 2000 x 2000 surface.
#include "filters/pixel_filters.h"

#include <benchmark/benchmark.h>
#include <vector>

using namespace filters;

template <class Kernel>
static void BM_Filter(benchmark::State& state)
{
    const int side = int(state.range(0));
    std::vector<std::uint32_t> pixels(std::size_t(side) * side);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = 0xFF000000u | std::uint32_t(i * 2654435761u >> 8);
    for (auto _ : state) {
        PixelView view(pixels.data(), side, side, side);
        Kernel kernel;
        runFilter(view, kernel, [](int) {});
        benchmark::DoNotOptimize(pixels.data());
    }
    const double steps = double(side + 1) * double(side + 1);
    // Seconds per pixel step, printed with an SI prefix ("3.1n" is 3.1 ns).
    state.counters["per_step"] = benchmark::Counter(
        steps * double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK_TEMPLATE(BM_Filter, Blur)->Arg(183)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Filter, Darken)->Arg(183)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Filter, Yellow)->Arg(183)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Filter, Gray)->Arg(183)->Arg(2000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
