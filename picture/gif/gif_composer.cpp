#include "picture/gif/gif_composer.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

namespace gif {

namespace {

constexpr std::uint32_t kTransparent = 0x00000000u;
constexpr std::uint32_t kOpaqueBlack = 0xFF000000u;

// Bytes that open a block (giflib keeps its own names for them private).
constexpr std::uint8_t kImageIntroducer = 0x2C;
constexpr std::uint8_t kExtensionIntroducer = 0x21;

// The four passes of an interlaced image: first row and row step of each.
constexpr int kPassStart[] = {0, 4, 2, 1};
constexpr int kPassStep[] = {8, 8, 4, 2};

GraphicsControlBlock noControl()
{
    GraphicsControlBlock gcb{};
    gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
    gcb.UserInputFlag = false;
    gcb.DelayTime = 0;
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    return gcb;
}

} // namespace

void Composer::Area::unite(const Area& other)
{
    if (other.empty())
        return;
    if (empty()) {
        *this = other;
        return;
    }
    x0 = std::min(x0, other.x0);
    y0 = std::min(y0, other.y0);
    x1 = std::max(x1, other.x1);
    y1 = std::max(y1, other.y1);
}

Composer::Composer(std::span<const std::uint8_t> bytes)
    : bytes_(bytes)
{
    open();
}

Composer::~Composer()
{
    close();
}

int Composer::readInput(GifFileType* file, std::uint8_t* buffer, int length)
{
    auto* self = static_cast<Composer*>(file->UserData);
    if (length <= 0 || self->pos_ >= self->bytes_.size())
        return 0;
    const std::size_t n = std::min(std::size_t(length), self->bytes_.size() - self->pos_);
    std::memcpy(buffer, self->bytes_.data() + self->pos_, n);
    self->pos_ += n;
    return int(n);
}

bool Composer::open()
{
    pos_ = 0;
    int err = 0;
    file_ = DGifOpen(this, &Composer::readInput, &err);
    if (!file_) {
        const char* why = GifErrorString(err);
        error_ = why ? why : "not a GIF file";
        return false;
    }
    screenWidth_ = file_->SWidth;
    screenHeight_ = file_->SHeight;
    return true;
}

void Composer::close()
{
    if (file_) {
        int err = 0;
        DGifCloseFile(file_, &err);
        file_ = nullptr;
    }
}

void Composer::restart()
{
    close();
    if (!open())
        return;
    std::fill(canvas_.pixels.begin(), canvas_.pixels.end(), kTransparent);
    pendingDisposal_ = DISPOSAL_UNSPECIFIED;
    streamEnded_ = false;
    framesThisPass_ = 0;
    frameIndex_ = -1;
}

bool Composer::next()
{
    if (!file_ || !error_.empty())
        return false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        changed_ = {};
        const Read r = streamEnded_ ? Read::End : readFrame();
        if (r == Read::Frame) {
            if (framesThisPass_++ == 0)
                changed_ = {0, 0, canvas_.width, canvas_.height}; // a fresh canvas
            ++frameIndex_;
            moreFollows_ = !streamEnded_ && pos_ < bytes_.size()
                && (bytes_[pos_] == kExtensionIntroducer || bytes_[pos_] == kImageIntroducer);
            return true;
        }
        if (r == Read::Fail)
            return false;
        if (framesThisPass_ == 0)
            break; // a whole pass without a single frame: nothing to play
        restart();
        if (!file_)
            return false;
    }
    if (error_.empty())
        error_ = "no readable image in the GIF file";
    return false;
}

pic::Image Composer::takeImage()
{
    error_ = "the composed image was taken";
    close();
    canvas_.hasAlpha = std::any_of(canvas_.pixels.begin(), canvas_.pixels.end(),
                                   [](std::uint32_t p) { return (p >> 24) != 0xFF; });
    return std::move(canvas_);
}

bool Composer::skipImageData()
{
    GifByteType* block = nullptr;
    do {
        if (DGifGetCodeNext(file_, &block) == GIF_ERROR)
            return false;
    } while (block != nullptr);
    return true;
}

bool Composer::ensureCanvas(int left, int top, int width, int height)
{
    if (!canvas_.pixels.empty())
        return true;
    // A logical screen without extent takes the first image's.
    const std::int64_t w = screenWidth_ > 0 ? screenWidth_ : std::int64_t(left) + width;
    const std::int64_t h = screenHeight_ > 0 ? screenHeight_ : std::int64_t(top) + height;
    if (!pic::dimensionsAllowed(w, h)) {
        error_ = "GIF logical screen too large";
        return false;
    }
    canvas_.width = int(w);
    canvas_.height = int(h);
    canvas_.pixels.assign(std::size_t(w) * std::size_t(h), kTransparent);
    canvas_.hasAlpha = true;
    return true;
}

void Composer::applyPendingDisposal()
{
    const Area& a = pendingArea_;
    if (!a.empty() && (pendingDisposal_ == DISPOSE_BACKGROUND || pendingDisposal_ == DISPOSE_PREVIOUS)) {
        changed_.unite(a);
        const std::size_t w = std::size_t(a.x1 - a.x0);
        for (int y = a.y0; y < a.y1; ++y) {
            std::uint32_t* dst = canvas_.pixels.data() + std::size_t(y) * std::size_t(canvas_.width) + a.x0;
            if (pendingDisposal_ == DISPOSE_BACKGROUND)
                std::fill(dst, dst + w, kTransparent);
            else
                std::copy_n(saved_.data() + std::size_t(y - a.y0) * w, w, dst);
        }
    }
    pendingDisposal_ = DISPOSAL_UNSPECIFIED;
}

Composer::Read Composer::readFrame()
{
    GraphicsControlBlock gcb = noControl();
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(file_, &type) == GIF_ERROR || type == TERMINATE_RECORD_TYPE)
            return Read::End;

        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(file_, &code, &block) == GIF_ERROR)
                return Read::End;
            bool first = true;
            while (block != nullptr) {
                // A control extension of the wrong length is ignored.
                GraphicsControlBlock read{};
                if (first && code == GRAPHICS_EXT_FUNC_CODE
                    && DGifExtensionToGCB(block[0], block + 1, &read) == GIF_OK)
                    gcb = read;
                first = false;
                if (DGifGetExtensionNext(file_, &block) == GIF_ERROR)
                    return Read::End;
            }
            continue;
        }

        // An image descriptor (giflib's reader refuses any other record).
        // DGifGetImageHeader reads the descriptor and the local colour table
        // without keeping a copy of every image read, as DGifGetImageDesc
        // would, so memory stays flat however long the animation plays.
        if (DGifGetImageHeader(file_) == GIF_ERROR)
            return Read::End;
        const GifImageDesc desc = file_->Image;
        if (desc.Width <= 0 || desc.Height <= 0) {
            if (!skipImageData())
                return Read::End;
            gcb = noControl();
            continue;
        }
        if (!ensureCanvas(desc.Left, desc.Top, desc.Width, desc.Height))
            return Read::Fail;
        applyPendingDisposal();

        // The part of the image that lies on the canvas.
        Area area;
        area.x0 = std::min(desc.Left, canvas_.width);
        area.y0 = std::min(desc.Top, canvas_.height);
        area.x1 = int(std::min<std::int64_t>(std::int64_t(desc.Left) + desc.Width, canvas_.width));
        area.y1 = int(std::min<std::int64_t>(std::int64_t(desc.Top) + desc.Height, canvas_.height));
        const int disposal = gcb.DisposalMode;
        if (disposal == DISPOSE_PREVIOUS && !area.empty()) {
            const std::size_t w = std::size_t(area.x1 - area.x0);
            saved_.resize(w * std::size_t(area.y1 - area.y0));
            for (int y = area.y0; y < area.y1; ++y)
                std::copy_n(canvas_.pixels.data() + std::size_t(y) * std::size_t(canvas_.width) + area.x0, w,
                            saved_.data() + std::size_t(y - area.y0) * w);
        }

        // Colour lookup: indices beyond the table in use are opaque black.
        std::uint32_t colours[256];
        std::fill(std::begin(colours), std::end(colours), kOpaqueBlack);
        if (const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : file_->SColorMap) {
            const int n = std::clamp(map->ColorCount, 0, 256);
            for (int i = 0; i < n; ++i) {
                const GifColorType& c = map->Colors[i];
                colours[i] = kOpaqueBlack | std::uint32_t(c.Red) << 16 | std::uint32_t(c.Green) << 8 | c.Blue;
            }
        }
        const int transparent = gcb.TransparentColor;

        row_.resize(std::size_t(desc.Width));
        auto drawRow = [&](int y) {
            if (y < area.y0 || y >= area.y1)
                return;
            std::uint32_t* dst = canvas_.pixels.data() + std::size_t(y) * std::size_t(canvas_.width);
            const std::uint8_t* src = row_.data();
            for (int x = area.x0; x < area.x1; ++x) {
                const int index = src[x - desc.Left];
                if (index != transparent)
                    dst[x] = colours[index];
            }
        };

        int rowsRead = 0;
        bool broken = false;
        if (area.empty()) {
            // Wholly off the canvas: nothing to decode.
            if (!skipImageData())
                return Read::End;
        } else if (!desc.Interlace) {
            for (int r = 0; r < desc.Height; ++r) {
                if (desc.Top + r >= area.y1) {
                    // The rest lies below the canvas; skip its data undecoded.
                    if (!skipImageData())
                        streamEnded_ = true;
                    break;
                }
                if (DGifGetLine(file_, row_.data(), desc.Width) == GIF_ERROR) {
                    broken = true;
                    break;
                }
                drawRow(desc.Top + r);
                ++rowsRead;
            }
        } else {
            for (int pass = 0; pass < 4 && !broken; ++pass) {
                for (int r = kPassStart[pass]; r < desc.Height; r += kPassStep[pass]) {
                    if (DGifGetLine(file_, row_.data(), desc.Width) == GIF_ERROR) {
                        broken = true;
                        break;
                    }
                    drawRow(desc.Top + r);
                    ++rowsRead;
                }
            }
        }

        if (broken) {
            if (rowsRead == 0)
                return Read::End; // nothing of this image could be read
            // Data that ends early with a proper end code leaves only its
            // remaining blocks to skip; after any other fault the reader's
            // place in the file is unknown, so the pass ends here.
            if (file_->Error != D_GIF_ERR_EOF_TOO_SOON || !skipImageData())
                streamEnded_ = true;
        }

        delayMs_ = frameDelayMs(gcb.DelayTime);
        pendingDisposal_ = disposal;
        pendingArea_ = area;
        changed_.unite(area);
        return Read::Frame;
    }
}

int composeFrames(std::span<const std::uint8_t> bytes)
{
    Composer composer(bytes);
    int frames = 0;
    int passes = 0;
    while (frames < 64 && composer.next()) {
        if (composer.frameIndex() == 0 && ++passes > 2)
            break;
        ++frames;
    }
    return frames;
}

} // namespace gif
