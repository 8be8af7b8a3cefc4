// A SkinH_EL.dll whose export prints each call's arguments to stdout, one
// line per call, so a test can see exactly what the program passed:
//   attach data=<null|set> size=<n> fnv=<hash of the bytes> text=<hex> ints=<a>,<b>,<c> from=<file>
#include <dlfcn.h>
#include <cstdint>
#include <cstdio>

namespace {

struct Loaded {
    Loaded() { std::printf("recorder loaded\n"); std::fflush(stdout); }
} loaded;

std::uint32_t fnv1a(const unsigned char* data, int size)
{
    std::uint32_t h = 2166136261u;
    for (int i = 0; i < size; ++i)
        h = (h ^ data[i]) * 16777619u;
    return h;
}

} // namespace

extern "C" __attribute__((visibility("default"))) int
SkinH_AttachRes(const unsigned char* data, int size, const char* text, int a, int b, int c)
{
    Dl_info info{};
    dladdr(reinterpret_cast<void*>(&SkinH_AttachRes), &info);
    std::printf("attach data=%s size=%d fnv=%08x text=", data ? "set" : "null", size,
                data && size > 0 ? fnv1a(data, size) : 0u);
    for (const char* p = text; p && *p; ++p)
        std::printf("%02x", static_cast<unsigned char>(*p));
    std::printf("%s ints=%d,%d,%d from=%s\n", text ? "" : "<null>", a, b, c,
                info.dli_fname ? info.dli_fname : "?");
    std::fflush(stdout);
    return 0;
}
