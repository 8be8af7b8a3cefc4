#pragma once
// Shared helpers of the GIF tests: files, and pictures written as letters.

#include "picture/decoders/image.h"
#include "picture/gif/gif_composer.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gif::test {

std::vector<std::uint8_t> readFile(const std::string& path);
// A committed file of tests/gif/fixtures/.
std::vector<std::uint8_t> fixture(const std::string& name);
// A file of the public GIF test suite, relative to its gifs/ folder.
std::string suitePath(const std::string& name);

// Where the composer's canvas differs from `previous` outside the area it
// says the last frame changed; "" when it does not.
std::string outsideChanged(const Composer& composer, const pic::Image& previous);

// Pixels as letters, row after row: R G B W K (black) for opaque colours,
// '.' for fully transparent; any other pixel shows as '?'.
std::string letters(const pic::Image& image);

} // namespace gif::test
