// Decoded video frames as a video decoder hands them out (planes of luma and
// chroma, or 32-bit pixels), turned into the 24-bit B, G, R rows the engine
// paints. Portable: the Media Foundation movie source fills the description
// from its media type and buffer.
#pragma once

#include <cstddef>
#include <cstdint>

enum class VideoLayout : uint8_t {
    nv12,  // luma plane, then one plane of U, V pairs at half width and half height, same stride
    i420,  // luma plane, then a U and a V plane at half width and half height, half the stride
    yuy2,  // one plane: Y0 U Y1 V for each two pixels
    bgrx,  // one plane: 32-bit pixels, bytes B, G, R and one unused
};

// How luma and chroma make red, green and blue: the colour matrix of
// standard definition (BT.601) or of HD (BT.709).
enum class YuvMatrix : uint8_t { bt601, bt709 };
// studio: luma 16..235 and chroma 16..240 are the full scale; full: 0..255.
enum class YuvRange : uint8_t { studio, full };

struct VideoFrame {
    VideoLayout layout;
    YuvMatrix matrix;  // not used for bgrx
    YuvRange range;
    const uint8_t* rows;  // the top row of the first plane
    int32_t stride;       // bytes from one row of the first plane to the next, > 0
    // Rows of the first plane as laid out, padding included: a decoder pads
    // a 362-row picture to 368, and the chroma planes start after all of them.
    int32_t planeRows;
    // The area shown, in pixels of the first plane: the display aperture.
    int32_t left, top, width, height;
};

// Bytes from `rows` to the last byte the frame's layout reaches, or 0 when
// its numbers describe no frame (a size of 0, a stride narrower than the
// rows, an area outside the planes). A buffer shorter than this must not be
// converted.
uint64_t VideoFrameBytes(const VideoFrame& frame);

// The stride and the rows of the first plane as a decoder laid them out in
// a buffer of `length` bytes: `stride` where the buffer or the media type
// gives one (> 0), else the narrowest the length allows (the width's bytes
// aligned to 1, 2, 4 ... 128: Wine pads a 642-pixel row to 644). A decoder
// pads the rows below the picture as it likes (a 362-row picture may come
// in 368): the planes after the first start where the length puts them,
// or after `height` rows when the length says nothing of them. Fills
// frame's stride and planeRows; false when no stride fits.
bool PlaceVideoRows(VideoLayout layout, int32_t stride, int32_t width, int32_t height, uint64_t length,
                    VideoFrame* frame);

// Writes the area shown as 24-bit B, G, R rows: `out` is the area's top row,
// the next row lies `outStride` bytes on (negative for a DIB's bottom-up
// rows). Chroma at half width pairs each even column with the odd one after it.
// Call only on a frame VideoFrameBytes accepts.
void ConvertVideoFrame(const VideoFrame& frame, uint8_t* out, ptrdiff_t outStride);
