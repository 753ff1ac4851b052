#include "engine/TurningPicture.h"

#include "engine/DisplaySize.h"
#include "imaging/KBitmap.h"
#include "imaging/PictureFile.h"

#include <algorithm>

namespace {

// A top-down picture (negative height) shows upright on the screen, but the
// pixel operations address every block bottom-up and would turn it upside
// down. Reversing the stored rows and the height's sign keeps what is shown.
void StoreRowsBottomUp(KBitmap& picture) {
    BITMAPINFOHEADER* header = picture.Header();
    if (!picture.HasPixels() || header->biHeight >= 0)
        return;
    const int height = picture.Height();
    const ptrdiff_t stride = picture.Stride();
    BYTE* rows = picture.Bits();
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(rows + top * stride, rows + (top + 1) * stride, rows + bottom * stride);
    header->biHeight = height;
}

}  // namespace

void PrepareTurningPicture(KBitmap& picture, bool rotation3D) {
    Decompress(picture);
    StoreRowsBottomUp(picture);
    picture.ConvertDepth(24);
    picture.backgroundColour = 0;  // what a turn uncovers is black
    const TurningCanvas canvas = PlanTurningCanvas(picture.Width(), picture.Height(), rotation3D);
    picture.Resize(canvas.width, canvas.height, true);
    picture.Crop(&canvas.crop);
}
