// The EXIF orientation of a JPEG or TIFF file (TIFF tag 274): how a camera
// held sideways or upside down marks the rows it stored, so that the picture
// can be turned upright before it is shown. Read by a small bounded parser of
// our own: damaged files answer upright, never read outside what they hold.
#pragma once

#include <cstddef>
#include <cstdint>

// The tag's values. Each is named after where the stored picture's 0th row
// and 0th column lie on the picture as the camera meant it; the comment says
// what showing it upright takes.
enum ExifOrientation {
    orientationTopLeft = 1,      // nothing: already upright
    orientationTopRight = 2,     // mirror left-right
    orientationBottomRight = 3,  // turn 180 degrees
    orientationBottomLeft = 4,   // mirror top-bottom
    orientationLeftTop = 5,      // mirror about the top-left to bottom-right diagonal
    orientationRightTop = 6,     // turn 90 degrees clockwise (a phone held upright)
    orientationRightBottom = 7,  // mirror about the top-right to bottom-left diagonal
    orientationLeftBottom = 8,   // turn 90 degrees counter-clockwise
};

// Copies count bytes at offset (from the start of the file or buffer) into
// out; false when they are not all there.
using ReadAt = bool (*)(void* source, uint64_t offset, uint8_t* out, size_t count);

// The orientation, 1..8, of the JPEG (first Exif APP1 segment before the scan)
// or TIFF (first IFD) that read delivers; 1 when the tag is absent, damaged or
// out of range, or the bytes are neither format.
int ReadExifOrientation(ReadAt read, void* source);
int ExifOrientationOfBytes(const uint8_t* data, size_t size);
// path: opened with fopen, so an ANSI path on Windows. 1 when it cannot be read.
int ExifOrientationOfFile(const char* path);

// True for 5..8: shown upright, the picture's width and height trade places.
bool OrientationSwapsSides(int orientation);
