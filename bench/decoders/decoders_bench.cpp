// Decoding a 6000 x 4000 JPEG from bytes, beside libjpeg-turbo's own djpeg
// decoding the same file: time (median of several runs) and peak memory of
// each, measured the same way on a process of its own.
//
//   decoders_bench                     Google Benchmark runs, then the comparison
//   decoders_bench --decode-once FILE  decodes FILE once (the measured child)

#include "bench/spawn.h"
#include "decoders.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <jpeglib.h>

extern char** environ;

namespace {

constexpr int kWidth = 6000, kHeight = 4000, kRuns = 5;

// A photograph-like picture: smooth gradients, hard edges and fine noise,
// so the entropy coder has real work to do. Quality 90, 4:2:0.
std::vector<std::uint8_t> makeJpeg()
{
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err); // an encoding error here ends the benchmark
    jpeg_create_compress(&c);
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &mem, &size);
    c.image_width = kWidth;
    c.image_height = kHeight;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<std::uint8_t> row(kWidth * 3);
    std::mt19937 noise(12345);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const int n = int(noise() % 24) - 12;
            const bool edge = ((x / 250) + (y / 180)) % 3 == 0;
            row[3 * x] = std::uint8_t(std::clamp(x * 255 / kWidth + n + (edge ? 60 : 0), 0, 255));
            row[3 * x + 1] = std::uint8_t(std::clamp(y * 255 / kHeight + n, 0, 255));
            row[3 * x + 2] = std::uint8_t(std::clamp(((x + y) / 40) % 256 + n, 0, 255));
        }
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&c, &p, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<std::uint8_t> out(mem, mem + size);
    std::free(mem);
    return out;
}

// The picture under test, loaded from the file the child made.
std::vector<std::uint8_t>& jpegBytes()
{
    static std::vector<std::uint8_t> bytes;
    return bytes;
}

std::vector<std::uint8_t> readFile(const char* path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::vector<std::uint8_t> bytes(in ? std::size_t(in.tellg()) : 0);
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    return bytes;
}

void BM_DecodeJpeg6000x4000(benchmark::State& state)
{
    const auto& bytes = jpegBytes();
    for (auto _ : state) {
        pic::DecodeResult r = pic::decodeJpeg(bytes);
        if (!r.ok())
            state.SkipWithError(r.error.c_str());
        benchmark::DoNotOptimize(r);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes.size()));
}
BENCHMARK(BM_DecodeJpeg6000x4000)->Unit(benchmark::kMillisecond)->Iterations(kRuns);

// The same picture as an uncompressed 24-bit BMP, for scale.
void BM_DecodeBmp6000x4000(benchmark::State& state)
{
    const std::uint32_t stride = kWidth * 3, pixels = stride * kHeight;
    std::vector<std::uint8_t> bmp(54 + pixels, 0x5A);
    std::fill_n(bmp.begin(), 54, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(&bmp[at], &v, 4); };
    bmp[0] = 'B'; bmp[1] = 'M';
    put32(2, std::uint32_t(bmp.size())); put32(10, 54); put32(14, 40);
    put32(18, kWidth); put32(22, kHeight);
    bmp[26] = 1; bmp[28] = 24;
    put32(30, 0); put32(34, pixels); put32(46, 0);
    for (auto _ : state) {
        pic::DecodeResult r = pic::decodeBmp(bmp);
        if (!r.ok())
            state.SkipWithError(r.error.c_str());
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_DecodeBmp6000x4000)->Unit(benchmark::kMillisecond)->Iterations(kRuns);

struct Run {
    double ms = 0;
    long maxRssKb = 0;
    bool ok = false;
};

// Runs a program to its end with its output thrown away.
Run runChild(const std::vector<std::string>& args)
{
    Run run;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = bench::spawnQuiet(args);
    if (pid > 0) {
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        run.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        run.maxRssKb = usage.ru_maxrss;
        run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    return run;
}

Run medianOf(const std::vector<std::string>& args)
{
    std::vector<Run> runs;
    for (int i = 0; i < kRuns; ++i)
        runs.push_back(runChild(args));
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.ms < b.ms; });
    Run median = runs[kRuns / 2];
    for (const Run& r : runs) {
        median.ok = median.ok && r.ok;
        median.maxRssKb = std::max(median.maxRssKb, r.maxRssKb);
    }
    return median;
}

int decodeOnce(const char* path)
{
    const pic::DecodeResult r = pic::decodeJpeg(readFile(path));
    if (!r.ok()) {
        std::fprintf(stderr, "%s\n", r.error.c_str());
        return 1;
    }
    std::printf("%d x %d\n", r.image->width, r.image->height);
    return 0;
}

int makeJpegFile(const char* path)
{
    const auto bytes = makeJpeg();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--decode-once") == 0)
        return decodeOnce(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "--make-jpeg") == 0)
        return makeJpegFile(argv[2]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    // The children are measured first, while this process is still small:
    // Linux hands a process's peak memory on through fork and exec, so a
    // child spawned later would report our peak instead of its own.
    const std::string self = std::filesystem::read_symlink("/proc/self/exe");
    const std::string file = (std::filesystem::temp_directory_path()
                              / ("tp_decoders_bench_" + std::to_string(getpid()) + ".jpg")).string();
    if (!runChild({self, "--make-jpeg", file}).ok) {
        std::fprintf(stderr, "could not write %s\n", file.c_str());
        return 1;
    }
    // Both children read the file and decode all of it; djpeg also writes
    // its PPM (to /dev/null), ours keeps the pixels in memory.
    const Run ours = medianOf({self, "--decode-once", file});
    const Run djpeg = medianOf({"djpeg", "-outfile", "/dev/null", file});
    jpegBytes() = readFile(file.c_str());
    std::filesystem::remove(file);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::vector<double> inProcess;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        pic::DecodeResult r = pic::decodeJpeg(jpegBytes());
        inProcess.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        benchmark::DoNotOptimize(r);
    }
    std::sort(inProcess.begin(), inProcess.end());

    std::printf("\nJPEG %d x %d, %zu bytes; median of %d runs\n", kWidth, kHeight, jpegBytes().size(), kRuns);
    std::printf("  %-34s %10s %14s\n", "", "time", "peak memory");
    std::printf("  %-34s %8.1f ms\n", "pic::decodeJpeg, from bytes", inProcess[kRuns / 2]);
    if (ours.ok)
        std::printf("  %-34s %8.1f ms %11.1f MB\n", "pic::decodeJpeg, own process", ours.ms, ours.maxRssKb / 1024.0);
    else
        std::printf("  pic::decodeJpeg in its own process failed\n");
    if (djpeg.ok)
        std::printf("  %-34s %8.1f ms %11.1f MB\n", "djpeg (libjpeg-turbo)", djpeg.ms, djpeg.maxRssKb / 1024.0);
    else
        std::printf("  djpeg failed or is not installed (libjpeg-turbo-progs)\n");
    if (ours.ok && djpeg.ok)
        std::printf("  ratio, own process / djpeg: time %.2f, peak memory %.2f\n", ours.ms / djpeg.ms,
                    double(ours.maxRssKb) / double(djpeg.maxRssKb));
    return 0;
}
