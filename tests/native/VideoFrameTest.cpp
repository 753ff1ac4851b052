// Decoded video frames to B, G, R rows: every layout, matrix and range
// against the standard's equations, on a cropped picture in padded planes.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include "imaging/VideoFrame.h"
#include "platform/Processor.h"

namespace {

// The standard's equations: luma and chroma scaled to 0..1 and -0.5..0.5,
// then R = Y + 2(1 - Kr) Pr, B = Y + 2(1 - Kb) Pb, G from the luma sum; in
// a DIB's order, blue first.
std::array<double, 3> Reference(YuvMatrix matrix, YuvRange range, int y, int u, int v) {
    const double kr = matrix == YuvMatrix::bt709 ? 0.2126 : 0.299;
    const double kb = matrix == YuvMatrix::bt709 ? 0.0722 : 0.114;
    const bool studio = range == YuvRange::studio;
    const double luma = studio ? (y - 16) / 219.0 : y / 255.0;
    const double pb = (u - 128) / (studio ? 224.0 : 255.0), pr = (v - 128) / (studio ? 224.0 : 255.0);
    const double r = luma + 2 * (1 - kr) * pr, b = luma + 2 * (1 - kb) * pb;
    const double g = (luma - kr * r - kb * b) / (1 - kr - kb);
    const auto scale = [](double c) { return std::fmin(255.0, std::fmax(0.0, c * 255.0)); };
    return {scale(b), scale(g), scale(r)};
}

// A 37 x 5 area at (3, 1) of an 80-byte-stride plane of 7 rows (a decoder's
// padding below the picture), every byte different, ends of the scale
// included: an odd first column, blocks of 16 pixels and a tail.
TEST(VideoFrame, EveryLayoutMatrixAndRangeMatchesTheEquations) {
    constexpr int32_t stride = 80, planeRows = 7, left = 3, top = 1, width = 37, height = 5;
    std::vector<uint8_t> buffer(stride * planeRows * 2);
    for (size_t i = 0; i < buffer.size(); ++i)
        buffer[i] = uint8_t(i * 151 + (i >> 3) * 7);
    const uint8_t* b = buffer.data();
    for (VideoLayout layout : {VideoLayout::nv12, VideoLayout::i420, VideoLayout::yuy2})
        for (YuvMatrix matrix : {YuvMatrix::bt601, YuvMatrix::bt709})
            for (YuvRange range : {YuvRange::studio, YuvRange::full}) {
                const VideoFrame frame = {layout, matrix, range, b, stride, planeRows, left, top, width, height};
                ASSERT_NE(VideoFrameBytes(frame), 0u);
                ASSERT_LE(VideoFrameBytes(frame), buffer.size());
                // Bottom-up, as in a DIB, with a row padding that must stay.
                constexpr int outStride = 3 * width + 1;
                std::vector<uint8_t> out(outStride * height, 0xA5);
                ConvertVideoFrame(frame, out.data() + outStride * (height - 1), -outStride);
                // A processor without SSE2 shows the same bytes.
                std::vector<uint8_t> plain(out.size(), 0xA5);
                SetSse2Allowed(false);
                ConvertVideoFrame(frame, plain.data() + outStride * (height - 1), -outStride);
                SetSse2Allowed(true);
                ASSERT_EQ(plain, out);
                for (int y = top; y < top + height; ++y)
                    for (int x = left; x < left + width; ++x) {
                        const int chroma =
                            stride * planeRows + (y / 2) * (layout == VideoLayout::i420 ? stride / 2 : stride);
                        int luma = 0, u = 0, v = 0;
                        if (layout == VideoLayout::nv12)
                            luma = b[y * stride + x], u = b[chroma + x / 2 * 2], v = b[chroma + x / 2 * 2 + 1];
                        else if (layout == VideoLayout::i420)
                            luma = b[y * stride + x], u = b[chroma + x / 2], v = b[chroma + stride / 2 * 4 + x / 2];
                        else
                            luma = b[y * stride + 2 * x], u = b[y * stride + x / 2 * 4 + 1],
                            v = b[y * stride + x / 2 * 4 + 3];
                        const std::array<double, 3> want = Reference(matrix, range, luma, u, v);
                        const uint8_t* got = &out[(height - 1 - (y - top)) * outStride + 3 * (x - left)];
                        for (int channel = 0; channel < 3; ++channel)
                            ASSERT_NEAR(got[channel], want[channel], 1.0) << int(layout) << " " << x << "," << y;
                    }
                for (int y = 0; y < height; ++y)
                    ASSERT_EQ(out[y * outStride + 3 * width], 0xA5);
            }
}

TEST(VideoFrame, ThirtyTwoBitPixelsLoseTheirFourthByte) {
    const uint8_t pixels[2][8] = {{1, 2, 3, 4, 5, 6, 7, 8}, {9, 10, 11, 12, 13, 14, 15, 16}};
    const VideoFrame frame = {VideoLayout::bgrx, {}, {}, pixels[0], 8, 2, 1, 0, 1, 2};
    uint8_t out[6] = {};
    ConvertVideoFrame(frame, out, 3);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 6), (std::vector<uint8_t>{5, 6, 7, 13, 14, 15}));
}

// The bytes a frame reaches decide whether its buffer is long enough; numbers
// that describe no frame reach none.
TEST(VideoFrame, BytesReachedOrNoFrame) {
    struct Row {
        VideoLayout layout;
        int32_t stride, planeRows, left, top, width, height;
        uint64_t bytes;
    };
    const Row rows[] = {
        {VideoLayout::nv12, 704, 368, 0, 0, 642, 362, 704 * 368 * 3 / 2},  // padded rows and stride
        {VideoLayout::i420, 8, 3, 0, 0, 7, 3, 8 * 3 + 2 * 4 * 2},
        {VideoLayout::yuy2, 8, 2, 0, 0, 3, 2, 16},
        {VideoLayout::bgrx, 8, 2, 0, 0, 2, 2, 16},
        {VideoLayout::nv12, 8, 2, 0, 0, 9, 2, 0},      // wider than its stride
        {VideoLayout::nv12, 8, 2, 7, 0, 1, 2, 8 * 3},  // the last column's pair is inside
        {VideoLayout::yuy2, 8, 2, 0, 0, 5, 2, 0},      // five pixels need three pairs
        {VideoLayout::bgrx, 8, 2, 0, 1, 2, 2, 0},      // below the plane
        {VideoLayout::nv12, 0, 2, 0, 0, 0, 0, 0},
        {VideoLayout::nv12, 8, 2, -2, 0, 2, 2, 0},
    };
    for (const Row& row : rows) {
        const VideoFrame frame = {row.layout,    {},       {},      nullptr,   row.stride,
                                  row.planeRows, row.left, row.top, row.width, row.height};
        EXPECT_EQ(VideoFrameBytes(frame), row.bytes) << int(row.layout) << " " << row.width;
    }
}

// Where a decoder's rows lie in its buffer, from its length when the
// decoder gives no stride.
TEST(VideoFrame, RowsPlacedByStrideAndLength) {
    struct Row {
        VideoLayout layout;
        int32_t stride, width, height;
        uint64_t length;
        bool placed;
        int32_t placedStride, planeRows;
    };
    const Row rows[] = {
        {VideoLayout::nv12, 0, 642, 362, 644 * 362 * 3 / 2, true, 644, 362},        // Wine's padded row
        {VideoLayout::nv12, 0, 1920, 1080, 1920 * 1088 * 3 / 2, true, 1920, 1088},  // rows below the picture
        {VideoLayout::nv12, 704, 642, 362, 704 * 368 * 3 / 2, true, 704, 368},
        {VideoLayout::nv12, 704, 642, 362, 1000, true, 704, 362},  // a length that says nothing
        {VideoLayout::yuy2, 0, 3, 2, 8 * 2, true, 8, 2},
        {VideoLayout::nv12, 0, 642, 362, 12345, false, 0, 0},  // no stride makes whole rows
    };
    for (const Row& row : rows) {
        VideoFrame frame = {};
        EXPECT_EQ(PlaceVideoRows(row.layout, row.stride, row.width, row.height, row.length, &frame), row.placed)
            << row.width << " " << row.length;
        if (row.placed) {
            EXPECT_EQ(std::make_pair(frame.stride, frame.planeRows), std::make_pair(row.placedStride, row.planeRows))
                << row.width << " " << row.length;
        }
    }
}

}  // namespace
