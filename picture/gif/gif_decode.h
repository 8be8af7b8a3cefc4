#pragma once
// The picture box's view of a GIF file: its first image, and whether the
// file is a still picture or an animation.

#include "picture/decoders/image.h"

#include <cstdint>
#include <span>

namespace gif {

struct GifPicture {
    // The first image composed at its position on a transparent image of the
    // logical screen's size (see Composer), or the refusal when no image of
    // the file can be read.
    pic::DecodeResult first;
    // True when an image or an extension block follows the first image; a
    // file that ends, breaks off or holds anything else after it is still.
    bool animated = false;
};

GifPicture decodeGif(std::span<const std::uint8_t> bytes);

} // namespace gif
