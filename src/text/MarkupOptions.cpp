#include "text/MarkupOptions.h"
#include "platform/IntegerRange.h"

#include <algorithm>
#include <cstring>

namespace {

bool Has(const char* options, const char* keyword) { return std::strstr(options, keyword) != nullptr; }

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// One "%d" field of sscanf: blanks, a sign, digits, with the value held at
// the 32-bit limits. Advances `text` past it; false when there are no digits.
bool ReadNumber(const char*& text, int32_t& value) {
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    if (*p < '0' || *p > '9')
        return false;
    int64_t n = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        n = std::min<int64_t>(n * 10 + (*p - '0'), int64_t{INT32_MAX} + 1);
    value = ClampToInt32(negative ? -n : n);
    text = p;
    return true;
}

// "fill(%d,%d,%d)" read from the first "fill": fields stop at the first
// character that does not match, and those not read stay 0.
FillBounds ReadFillFields(const char* fill) {
    FillBounds b = {0, 0, 0};
    const char* p = fill + 4;
    int32_t* fields[3] = {&b.minimum, &b.maximum, &b.step};
    const char separators[3] = {'(', ',', ','};
    for (int i = 0; i < 3; ++i) {
        if (*p != separators[i])
            break;
        ++p;
        if (!ReadNumber(p, *fields[i]))
            break;
    }
    return b;
}

FillBounds ClampFillBounds(FillBounds b) {
    if (b.minimum <= 0)
        b.minimum = 8;
    if (b.maximum <= 0)
        b.maximum = 4096;
    if (b.step <= 0)
        b.step = 2;
    b.minimum = std::max(b.minimum, 8);
    b.maximum = std::min(b.maximum, 4096);
    b.maximum = std::max(b.maximum, b.minimum);
    b.step = std::max(b.step, 1);
    return b;
}

}  // namespace

int32_t LeadingNumber(const char* text) {
    int32_t value = 0;
    ReadNumber(text, value);
    return value;
}

MarkupOptions ParseMarkupOptions(const char* options, RECT area) {
    MarkupOptions o = {};
    o.flags = textExpandTabs | textNoPrefix;
    o.weight = 400;
    if (!options)
        return o;
    o.centreVertically = Has(options, "vctr");
    const char* fill = std::strstr(options, "fill");
    o.fill = fill != nullptr;
    if (o.fill) {
        o.bounds = ClampFillBounds(ReadFillFields(fill));
        o.fontHeight = static_cast<int16_t>(o.bounds.minimum);
    } else {
        o.fontHeight = static_cast<int16_t>(LeadingNumber(options));
    }
    if (Has(options, "hctr") || Has(options, "center"))
        o.flags |= textCentre;
    if (Has(options, "right"))
        o.flags |= textRight;
    if (Has(options, "wrap"))
        o.flags |= textWordBreak;
    if (Has(options, "noclip") || (area.right == 0 && area.bottom == 0))
        o.flags |= textNoClip;
    const char* face = std::strstr(options, "font=");
    o.face = face ? face + 5 : nullptr;
    o.weight = Has(options, "bold") ? 700 : Has(options, "thin") ? 100 : 400;
    o.fixedPitch = Has(options, "fixed");
    o.italic = Has(options, "italic");
    o.underline = Has(options, "underline");
    o.strikeOut = Has(options, "strike");
    o.calcRect = Has(options, "calcrect");
    o.calcCharDim = Has(options, "calcchardim");
    return o;
}

FitStep DecideFitStep(RECT area, RECT measured, bool shrinking, int32_t height, FillBounds bounds) {
    // Heights are compared in 64 bits: a step near the 32-bit limit cannot wrap.
    if (!shrinking && measured.bottom < area.bottom && measured.right < area.right)
        return int64_t{height} + bounds.step > bounds.maximum ? FitStep::stop : FitStep::grow;
    if (measured.bottom > area.bottom || measured.right > area.right)
        return int64_t{height} - bounds.step < bounds.minimum ? FitStep::stop : FitStep::shrink;
    return FitStep::stop;
}

int32_t SearchFittingHeight(FillBounds bounds, RECT area, MeasureText measure, void* context) {
    // The height only rises within [minimum, maximum], then only falls within
    // it, so the search ends after at most (maximum - minimum) / step + 2 steps.
    int32_t height = bounds.minimum;
    bool shrinking = false;
    for (;;) {
        const RECT measured = measure(height, context);
        switch (DecideFitStep(area, measured, shrinking, height, bounds)) {
        case FitStep::grow:
            height += bounds.step;
            break;
        case FitStep::shrink:
            height -= bounds.step;
            shrinking = true;
            break;
        case FitStep::stop:
            return height;
        }
    }
}

int32_t CentredTop(RECT area, RECT measured) {
    const int64_t room = int64_t{area.bottom} - area.top;
    const int64_t block = int64_t{measured.bottom} - measured.top;
    return ClampToInt32(area.top + (room - block) / 2);
}

int32_t MarkupResult(int16_t fontHeight, int32_t outputResult) {
    return fontHeight != 0 && outputResult != 0 ? fontHeight : outputResult;
}
