#include "picture/gif/gif_decode.h"

#include "picture/gif/gif_composer.h"

namespace gif {

GifPicture decodeGif(std::span<const std::uint8_t> bytes)
{
    Composer composer(bytes);
    if (!composer.next())
        return {pic::DecodeResult::refuse(composer.error()), false};
    const bool animated = composer.moreFollows();
    return {pic::DecodeResult::accept(composer.takeImage()), animated};
}

} // namespace gif
