// The one-time preparation of a picture that is going to turn.
#pragma once

class KBitmap;

// Expands a compressed picture, stores its rows bottom-up (a top-down
// picture keeps the orientation it showed as a still picture), converts it to
// 24 bits with a black background, reduces it to the turning size limit and
// pads it to a square of its diagonal, so that no turn leaves the canvas.
// A picture that cannot be prepared is left as far as the preparation got.
void PrepareTurningPicture(KBitmap& picture, bool rotation3D);
