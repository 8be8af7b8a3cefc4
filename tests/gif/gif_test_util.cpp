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

std::string outsideChanged(const Composer& composer, const pic::Image& previous)
{
    const pic::Image& now = composer.image();
    if (now.width != previous.width || now.height != previous.height)
        return "size changed";
    const Composer::Area& a = composer.changed();
    int count = 0;
    for (int y = 0; y < now.height; ++y)
        for (int x = 0; x < now.width; ++x) {
            const bool inside = x >= a.x0 && x < a.x1 && y >= a.y0 && y < a.y1;
            const std::size_t i = std::size_t(y) * std::size_t(now.width) + std::size_t(x);
            if (!inside && now.pixels[i] != previous.pixels[i])
                ++count;
        }
    return count ? std::to_string(count) + " pixels changed outside the changed area" : "";
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
