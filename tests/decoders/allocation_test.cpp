// Nothing a file says makes a decoder allocate for a picture that is not
// there: every refusal is decided before the big buffers. The test binary's
// operator new records the largest single request while a decoder runs.

#include "test_util.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> tracking{false};
std::atomic<std::size_t> largest{0};
} // namespace

void* operator new(std::size_t n)
{
    if (tracking.load(std::memory_order_relaxed)) {
        std::size_t seen = largest.load(std::memory_order_relaxed);
        while (n > seen && !largest.compare_exchange_weak(seen, n)) {
        }
    }
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

namespace fs = std::filesystem;

struct Measured {
    pic::DecodeResult result;
    std::size_t largestAllocation;
};

Measured decodeMeasured(const std::vector<std::uint8_t>& bytes)
{
    largest = 0;
    tracking = true;
    pic::DecodeResult r = pic::decodePicture(bytes);
    tracking = false;
    return {std::move(r), largest.load()};
}

TEST(Allocation, RefusalsAllocateLittle)
{
    constexpr std::size_t kLimit = 1 << 20;
    int refused = 0;
    for (const char* dir : {"fuzz/regressions/bmp", "fuzz/regressions/icon", "fuzz/regressions/pcx",
                            "fuzz/regressions/jpeg", "tests/decoders/fixtures"})
        for (const auto& e : fs::directory_iterator(testutil::sourceDir() / dir)) {
            if (e.path().extension() == ".expect")
                continue;
            const auto bytes = testutil::readFile(e.path());
            const Measured m = decodeMeasured(bytes);
            if (m.result.ok()) {
                // An accepted picture costs its pixels, and little more.
                const std::size_t pixels = std::size_t(m.result.image->width) * m.result.image->height;
                EXPECT_LE(m.largestAllocation, pixels * 4 + kLimit) << e.path();
            } else {
                ++refused;
                EXPECT_LT(m.largestAllocation, kLimit) << e.path();
            }
        }
    EXPECT_GT(refused, 100);
}

TEST(Allocation, HugeClaimsAreRefusedUnallocated)
{
    for (const char* name : {"bmp_huge_claim.bmp", "bmp_data_claim.bmp", "bmp_too_many_pixels.bmp", "ico_huge_claim.ico",
                             "pcx_huge_claim.pcx", "pcx_data_claim.pcx"}) {
        const Measured m = decodeMeasured(testutil::readFile(testutil::sourceDir() / "tests/decoders/fixtures" / name));
        EXPECT_FALSE(m.result.ok()) << name;
        EXPECT_LT(m.largestAllocation, 4096u) << name;
    }
}

} // namespace
