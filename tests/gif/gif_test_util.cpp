#include "tests/gif/gif_test_util.h"

#include <fstream>
#include <iterator>

namespace gif::test {

std::vector<std::uint8_t> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> fixture(const std::string& name)
{
    return readFile(std::string(TP_SOURCE_DIR) + "/tests/gif/fixtures/" + name);
}

std::string suitePath(const std::string& name)
{
    return std::string(TP_SOURCE_DIR) + "/tests/corpora/gif-test-suite/gifs/" + name;
}

std::string letters(const pic::Image& image)
{
    std::string out;
    for (std::uint32_t p : image.pixels) {
        switch (p) {
        case 0xFFFF0000u: out += 'R'; break;
        case 0xFF00FF00u: out += 'G'; break;
        case 0xFF0000FFu: out += 'B'; break;
        case 0xFFFFFFFFu: out += 'W'; break;
        case 0xFF000000u: out += 'K'; break;
        default: out += (p >> 24) == 0 ? '.' : '?';
        }
    }
    return out;
}

} // namespace gif::test
