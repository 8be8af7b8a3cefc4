#include "decoders.h"

namespace pic {

Format recognizeFormat(std::span<const std::uint8_t> b)
{
    if (b.size() < 6)
        return Format::None;
    const unsigned count = b[4] | (b[5] << 8);
    // The order matters: the first test that matches decides.
    if (b[0] == 0x42 && b[1] == 0x4D)
        return Format::Bmp;
    if (b[0] == 0xFF && b[1] == 0xD8)
        return Format::Jpeg;
    if (b[0] == 0 && b[1] == 0 && b[2] == 1 && b[3] == 0 && count != 0)
        return Format::Ico;
    if (b[0] == 0 && b[1] == 0 && b[2] == 2 && b[3] == 0 && count != 0)
        return Format::Cur;
    if (b[0] == 'G' && b[1] == 'I' && b[2] == 'F' && b[3] == '8' && (b[4] == '7' || b[4] == '9') && b[5] == 'a')
        return Format::Gif;
    if (b[0] == 0x0A && b[1] <= 5 && b[2] == 1 && b[3] == 8)
        return Format::Pcx256;
    if (b[0] == 0x0A && b[1] == 3 && b[2] == 1 && b[3] == 1)
        return Format::PcxMono;
    return Format::None;
}

DecodeResult decodePicture(std::span<const std::uint8_t> bytes, const PngDecoder& png)
{
    switch (recognizeFormat(bytes)) {
    case Format::Bmp: return decodeBmp(bytes);
    case Format::Jpeg: return decodeJpeg(bytes);
    case Format::Ico:
    case Format::Cur: return decodeIcon(bytes, png);
    case Format::Pcx256:
    case Format::PcxMono: return decodePcx(bytes);
    case Format::Gif: return DecodeResult::refuse("GIF is decoded by the GIF reader");
    case Format::None: break;
    }
    return DecodeResult::refuse("not a recognised picture format");
}

} // namespace pic
