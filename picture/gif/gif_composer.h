#pragma once
// Reads a GIF from memory one image at a time and composes each image onto
// an image of the logical screen's size, the way the animation shows it.
// No Qt: plain giflib and the standard library.

#include "picture/decoders/image.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct GifFileType;

namespace gif {

// The composition rules:
// - The canvas has the logical screen's size (header bytes 6..9) and starts
//   fully transparent (alpha 0), so whatever lies beneath shows through. A
//   screen width or height of 0 takes the right or bottom edge of the first
//   image instead.
// - Each image is drawn at its own position, clipped to the canvas; pixels of
//   the transparent colour of its graphic control extension leave the canvas
//   unchanged. Colour indices beyond the colour table in use (or every index,
//   when there is neither a local nor a global table) are drawn opaque black.
// - Before the next image is drawn, the area of an image with disposal 2 is
//   cleared to transparent and that of an image with disposal 3 gets back
//   what it held before the image was drawn; other images stay.
// - Interlaced images are put back into row order.
// - Images of zero width or height are skipped, together with their graphic
//   control extension.
// - The delay of an image is its control extension's, in hundredths of a
//   second; 0 (or no extension) means 50 milliseconds.
// - After the last image the animation starts again with the first on a
//   transparent canvas, without end; loop counts in the file are ignored.
// - A damaged or truncated file plays the images it holds: an image whose
//   data breaks off shows the rows read so far, and the first fault that
//   leaves the reader lost ends the pass as if the trailer came there.
//
// Memory: the canvas, one saved area no larger than the canvas, and one row
// of the image being read; the canvas size is checked against
// pic::dimensionsAllowed() before it is allocated.
class Composer {
public:
    // A rectangle of the canvas: columns x0..x1-1, rows y0..y1-1.
    struct Area {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        bool empty() const { return x1 <= x0 || y1 <= y0; }
        void unite(const Area& other);
    };

    // `bytes` must stay alive and unchanged as long as the composer is used.
    explicit Composer(std::span<const std::uint8_t> bytes);
    ~Composer();
    Composer(const Composer&) = delete;
    Composer& operator=(const Composer&) = delete;

    // Composes the next frame; after the last one, the first again. False
    // when no frame can be produced at all (then error() says why).
    bool next();

    // The canvas after the frame last produced by next(). Its hasAlpha is
    // always true, as any frame may leave pixels transparent (takeImage()
    // says exactly).
    const pic::Image& image() const { return canvas_; }
    // The part of the canvas that the last next() may have changed: the
    // frame's area and the area the previous frame's disposal restored, or
    // all of it for the first frame of a pass.
    const Area& changed() const { return changed_; }
    // Moves the canvas out, sparing a copy of what may be a large image, with
    // hasAlpha telling whether any pixel is transparent; the composer
    // produces no frame after that.
    pic::Image takeImage();
    // That frame's delay in milliseconds.
    int delayMs() const { return delayMs_; }
    // That frame's place among the drawable images of the file, from 0.
    int frameIndex() const { return frameIndex_; }
    // Whether an image or an extension block follows that frame's data in
    // the file (rather than the trailer, the end of the bytes, a fault, or
    // bytes that are no block at all).
    bool moreFollows() const { return moreFollows_; }

    const std::string& error() const { return error_; }

private:
    enum class Read { Frame, End, Fail };
    bool open();
    void close();
    void restart();
    Read readFrame();
    bool skipImageData();
    bool ensureCanvas(int left, int top, int width, int height);
    void applyPendingDisposal();
    static int readInput(GifFileType* file, std::uint8_t* buffer, int length);

    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
    GifFileType* file_ = nullptr;
    int screenWidth_ = 0;
    int screenHeight_ = 0;
    pic::Image canvas_;

    // What the previous frame asks to be done to its area before the next.
    int pendingDisposal_ = 0;
    Area pendingArea_;
    std::vector<std::uint32_t> saved_; // the area before the frame, for disposal 3

    Area changed_;
    std::vector<std::uint8_t> row_;
    bool streamEnded_ = false;
    int framesThisPass_ = 0;
    int frameIndex_ = -1;
    int delayMs_ = 0;
    bool moreFollows_ = false;
    std::string error_;
};

// Composes the animation the way the player does, frame by frame through
// two passes (at most 64 frames), and returns how many frames it produced:
// the whole reading path in one call, for the fuzz target.
int composeFrames(std::span<const std::uint8_t> bytes);

// Milliseconds a frame is shown for a delay field in hundredths of a second.
inline int frameDelayMs(int hundredths)
{
    return hundredths > 0 ? hundredths * 10 : 50;
}

} // namespace gif
