// The one fuzz harness: hands the input to the decoder named by the build
// (TP_FUZZ_HEADER declares it, TP_FUZZ_CALL is the function) and drops the
// answer. A decoder passes when it neither crashes, nor hangs, nor trips a
// sanitizer, whatever it answers.

#include TP_FUZZ_HEADER

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    (void)TP_FUZZ_CALL(std::span<const std::uint8_t>(data, size));
    return 0;
}
