// The options string of DrawMarkupText and its automatic size fitting, as
// pure functions; TextString::DrawMarkupText (DrawMarkupText_win.cpp) is the
// GDI half that creates the fonts and draws.
//
// Keywords are found anywhere in the options string, case-sensitively, and
// count once however often they occur:
//   a leading number   font height (C atoi rules, kept to 16 bits); ignored with "fill"
//   fill               largest height that fits; "fill(min,max,step)", default 8, 4096, 2
//   vctr               centre the block vertically
//   hctr, center       centre each line;  right: right-align
//   wrap               break lines at words;  noclip: do not clip
//   font=FACE          the face: everything after "font=" (so it comes last)
//   bold, thin         weight 700, or 100 without "bold"; else 400
//   fixed              fixed pitch, else variable
//   italic, underline, strike
//   calcrect           measure: the caller's rectangle gets the text's bounding box
//   calcchardim        measure: its left gets the average character width, its top
//                      the character height
#pragma once

#include "platform/WinTypes.h"

#include <cstdint>

// DrawText format flags (the values are GDI's).
constexpr UINT textCentre = 0x1;       // DT_CENTER
constexpr UINT textRight = 0x2;        // DT_RIGHT
constexpr UINT textWordBreak = 0x10;   // DT_WORDBREAK
constexpr UINT textExpandTabs = 0x40;  // DT_EXPANDTABS
constexpr UINT textNoClip = 0x100;     // DT_NOCLIP
constexpr UINT textCalcRect = 0x400;   // DT_CALCRECT
constexpr UINT textNoPrefix = 0x800;   // DT_NOPREFIX

// Font heights of the fitting search, in logical units (cell heights).
struct FillBounds {
    int32_t minimum, maximum, step;
};

struct MarkupOptions {
    UINT flags;          // DrawText flags, always with tabs expanded and no '&' prefixes
    int16_t fontHeight;  // 0: the font mapper's default; with fill, the minimum
    bool fill;           // search the largest height that fits
    FillBounds bounds;   // with fill: 8 <= minimum <= maximum <= 4096 (unless minimum is
                         // larger), step >= 1
    bool centreVertically;
    int32_t weight;  // 100, 400 or 700
    bool italic, underline, strikeOut;
    bool fixedPitch;
    const char* face;  // points into the options string; null without "font="
    bool calcRect, calcCharDim;
};

// Reads an options string; `area` is the drawing rectangle (an empty one at
// the origin, right = bottom = 0, means an unbounded area: no clipping).
// Null `options` gives the plain flags and nothing else.
MarkupOptions ParseMarkupOptions(const char* options, RECT area);

// The C atoi rules (blanks, a sign, digits) without its overflow: values
// beyond 32 bits stop at the 32-bit limits.
int32_t LeadingNumber(const char* text);

// What one measurement means for the fitting search.
enum class FitStep { grow, shrink, stop };

// `measured` is the DT_CALCRECT box of the text at `height` in a copy of
// `area`. A text smaller than the area both ways grows (while height + step
// stays within the maximum) unless the search is already shrinking; one that
// overflows either way shrinks (while height - step stays within the
// minimum); anything else stops.
FitStep DecideFitStep(RECT area, RECT measured, bool shrinking, int32_t height, FillBounds bounds);

// Measures the text at a font height, in a fresh copy of the area.
typedef RECT (*MeasureText)(int32_t height, void* context);

// The fitting search: from the minimum upward in steps, then back down once
// the text overflows, never growing again. Returns the largest height that
// fits (the minimum when none does). The last call of `measure` is always at
// the height returned.
int32_t SearchFittingHeight(FillBounds bounds, RECT area, MeasureText measure, void* context);

// Where the top of the text block goes so that a block of `measured` height
// is centred in `area` (a block taller than the area moves up by half the
// excess).
int32_t CentredTop(RECT area, RECT measured);

// The result of DrawMarkupText: the chosen font height when there is one and
// the output succeeded, else the output's own result.
int32_t MarkupResult(int16_t fontHeight, int32_t outputResult);
