// Turning a decoded picture upright by its EXIF orientation (see
// ExifOrientation.h), so that a photo taken with the camera sideways shows
// as it was taken.
#pragma once

class KBitmap;

// Rearranges the rows and columns of picture as orientation (1..8) asks;
// for 5..8 width and height (and the two resolutions) trade places. The
// header's other fields, the sign of biHeight and the colour table stay; the
// pixel bits are copied as they are, at any bit count 1, 2, 4, 8, 16, 24 or
// 32. Orientation 1 or outside 2..8: untouched, true. False (unchanged) when
// the picture has no pixels (empty, compressed, other bit counts), when the
// result would pass KBitmap::kMaxBlockBytes or memory runs out. The result is
// a new block; the old one is freed after.
bool OrientPicture(KBitmap& picture, int orientation);
