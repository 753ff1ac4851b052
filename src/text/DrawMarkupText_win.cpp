// The GDI half of the markup renderer: fonts, measuring and DrawText. The
// keywords and the fitting search are in MarkupOptions.cpp.
#include "platform/ScopeOwners.h"
#include "text/MarkupOptions.h"
#include "text/TextString.h"

#include <algorithm>

namespace {

// The font of one attempt, selected into the DC. The font it replaces is
// always the DC's font on entry: each new attempt puts that back before
// deleting the previous one, and so do the owners at the end.
struct FontAttempt {
    HDC dc;
    const MarkupOptions* options;
    const char* text;
    int length;
    RECT area;
    RECT measured;
    GdiObject<HFONT> font;
    SelectedObject selection;  // of font; declared after it, so undone before it is deleted
};

void DropFont(FontAttempt& attempt) {
    attempt.selection.Reset();
    attempt.font.Reset();
}

void SelectFont(FontAttempt& attempt, int32_t height) {
    DropFont(attempt);
    const MarkupOptions& o = *attempt.options;
    attempt.font.Reset(CreateFontA(static_cast<int16_t>(height), 0, 0, 0, o.weight, o.italic, o.underline, o.strikeOut,
                                   DEFAULT_CHARSET, 0, 0, 0, o.fixedPitch ? FIXED_PITCH : VARIABLE_PITCH, o.face));
    if (attempt.font)
        attempt.selection = SelectedObject(attempt.dc, attempt.font.Get());
}

void Measure(FontAttempt& attempt) {
    attempt.measured = attempt.area;
    DrawTextA(attempt.dc, attempt.text, attempt.length, &attempt.measured, attempt.options->flags | textCalcRect);
}

RECT MeasureAtHeight(int32_t height, void* context) {
    FontAttempt& attempt = *static_cast<FontAttempt*>(context);
    SelectFont(attempt, height);
    Measure(attempt);
    return attempt.measured;
}

// Whole cells of the DC's entry font, worked in 64 bits and held to 32.
LONG CellOffset(LONG edge, LONG cell, LONG cells) {
    return std::clamp<int64_t>(int64_t{edge} - int64_t{cell} * cells, INT32_MIN, INT32_MAX);
}

}  // namespace

int32_t TextString::DrawMarkupText(HWND window, HDC dc, RECT* area, COLORREF textColour, COLORREF backgroundColour,
                                   const char* options, const POINT* scroll) const {
    if (!characters)
        return 0;
    const WindowDC targetOwner(window, dc);
    const HDC target = targetOwner.Get();
    RECT rect = {};
    if (area)
        rect = *area;
    else
        GetClientRect(window, &rect);
    const POINT offset = scroll ? *scroll : POINT{0, 0};
    TEXTMETRICA entryMetrics = {};
    GetTextMetricsA(target, &entryMetrics);

    const int previousMode = SetBkMode(target, backgroundColour == 1 ? TRANSPARENT : OPAQUE);
    const COLORREF previousText = SetTextColor(target, textColour);
    const COLORREF previousBackground = SetBkColor(target, backgroundColour);

    MarkupOptions o = ParseMarkupOptions(options, rect);
    FontAttempt attempt = {target, &o, characters, length, rect, rect, {}, {}};
    if (options) {
        if (o.fill) {
            o.fontHeight = static_cast<int16_t>(SearchFittingHeight(o.bounds, rect, MeasureAtHeight, &attempt));
        } else {
            SelectFont(attempt, o.fontHeight);
            if (o.centreVertically)
                Measure(attempt);
        }
        if (o.centreVertically)
            rect.top = CentredTop(rect, attempt.measured);
    }

    int32_t result;
    if (area && options && o.calcRect) {
        // The caller's rectangle as it came in: no centring, no scrolling.
        result = DrawTextA(target, characters, length, area, o.flags | textCalcRect);
    } else if (area && options && o.calcCharDim) {
        TEXTMETRICA chosen = {};
        GetTextMetricsA(target, &chosen);
        area->left = chosen.tmAveCharWidth;
        area->top = chosen.tmHeight;
        result = 1;
    } else {
        rect.top = CellOffset(rect.top, entryMetrics.tmHeight, offset.y);
        rect.left = CellOffset(rect.left, entryMetrics.tmMaxCharWidth, offset.x);
        result = DrawTextA(target, characters, length, &rect, o.flags);
    }

    SetBkMode(target, previousMode);
    SetTextColor(target, previousText);
    SetBkColor(target, previousBackground);
    return MarkupResult(o.fontHeight, result);
}
