#include "effects/BannerGeometry.h"
#include "platform/IntegerRange.h"

#include <algorithm>
#include <cmath>
#include <utility>

static const double degree = 3.14159265358979323846 / 180;

static COLORREF Colour(int32_t red, int32_t green, int32_t blue) {
    return static_cast<COLORREF>(red) | static_cast<COLORREF>(green) << 8 | static_cast<COLORREF>(blue) << 16;
}

static void RefreshDepth(Polygon3D& polygon) {
    double nearest = polygon.points[0].z, farthest = nearest;
    for (const Point3D& p : polygon.points) {
        nearest = std::min(nearest, p.z);
        farthest = std::max(farthest, p.z);
    }
    polygon.depth = (nearest + farthest) / 2;
}

void BuildGem(Gem& gem, uint32_t sides, double radiusFactor, double taper, double scale) {
    gem.clear();
    if (sides == 0)
        return;
    const double radius = radiusFactor * scale / 10;
    const double height = scale / 10;
    const double narrowing = 1 - taper;
    const Point3D apex{0, height, 0};
    std::vector<Point3D> base;
    for (uint32_t i = 0; i < sides; ++i) {
        // Whole degrees, as the faces have always been laid out.
        const double a0 = static_cast<double>((uint64_t{i} * 360) / sides) * degree;
        const double a1 = static_cast<double>((uint64_t{i + 1} * 360) / sides) * degree;
        const Point3D p0{-std::sin(a0) * radius, 0, std::cos(a0) * radius};
        const Point3D p1{-std::sin(a1) * radius, 0, std::cos(a1) * radius};
        const Point3D q0{p0.x * narrowing, -height * taper, p0.z * narrowing};
        const Point3D q1{p1.x * narrowing, -height * taper, p1.z * narrowing};
        gem.push_back(Polygon3D{{p0, p1, apex}, 0});
        gem.push_back(Polygon3D{{p0, p1, q1, q0}, 0});
        base.push_back(q0);
    }
    gem.push_back(Polygon3D{std::move(base), 0});
    for (Polygon3D& face : gem)
        RefreshDepth(face);
}

void RotatePolygon(Polygon3D& polygon, double ax, double ay, double az) {
    if (polygon.points.empty())
        return;
    // Sines and cosines once per call, not per point.
    const double sx = std::sin(ax * degree), cx = std::cos(ax * degree);
    const double sy = std::sin(ay * degree), cy = std::cos(ay * degree);
    const double sz = std::sin(az * degree), cz = std::cos(az * degree);
    for (Point3D& p : polygon.points) {
        if (ax != 0) {
            const double y = p.y * cx - p.z * sx, z = p.y * sx + p.z * cx;
            p.y = y;
            p.z = z;
        }
        if (ay != 0) {
            const double x = p.x * cy - p.z * sy, z = p.x * sy + p.z * cy;
            p.x = x;
            p.z = z;
        }
        if (az != 0) {
            const double x = p.x * cz - p.y * sz, y = p.x * sz + p.y * cz;
            p.x = x;
            p.y = y;
        }
    }
    RefreshDepth(polygon);
}

void SortByDepth(Gem& gem) {
    for (size_t i = 0; i < gem.size(); ++i) {
        size_t farthest = i;
        for (size_t j = i + 1; j < gem.size(); ++j)
            if (gem[j].depth > gem[farthest].depth)
                farthest = j;
        if (farthest != i)
            std::swap(gem[i], gem[farthest]);
    }
}

ProjectedGem ProjectGem(const Gem& gem, int32_t width, int32_t height) {
    ProjectedGem projected;
    // The gem, about 2000 units across, spans about the banner's height.
    const double zoom = 2.0 * height / 10000;
    const int64_t centreX = int64_t{height} / 2 + width / 200;
    const int64_t centreY = int64_t{height} / 2 - width / 100;
    for (const Polygon3D& face : gem) {
        for (const Point3D& p : face.points) {
            // The eye sits 2000 units in front of the centre.
            const double f = 7000 / (p.z + 2000);
            projected.points.push_back(POINT{ClampToInt32(TruncateToInt32(p.x * f * zoom + 0.5) + centreX),
                                             ClampToInt32(TruncateToInt32(p.y * f * zoom + 0.5) + centreY)});
        }
        projected.counts.push_back(static_cast<int32_t>(face.points.size()));
    }
    return projected;
}

int32_t EffectiveColourRange(uint32_t colourRange) {
    int64_t c = colourRange;
    if (c % 3 != 0)
        --c;
    if (c < 4 || c > 255)
        c = 255;
    return static_cast<int32_t>(c);
}

std::vector<GlowLevel> GlowLevels(int32_t height, int32_t colourRange) {
    std::vector<GlowLevel> levels;
    const int32_t base = (height / 2) | 1;
    const int32_t count = ClampToInt32(std::min<int64_t>((base + 1) / 2, 2 * int64_t{colourRange} / 3 - 1));
    for (int32_t i = 1; i <= count; ++i) {
        GlowLevel level;
        level.penWidth = TruncateToInt32(base - static_cast<double>(i) * base / count + 0.5) | 1;
        level.colour = Colour(std::min(TruncateToInt32(180 + i * 75.0 / count + 0.5), 255),
                              std::min(TruncateToInt32(150 + i * 105.0 / count + 0.5), 255),
                              std::min(TruncateToInt32(240 + i * 15.0 / count + 0.5), 255));
        levels.push_back(level);
    }
    return levels;
}

BannerName NameLayout(int32_t width, int32_t height) {
    BannerName name;
    const int64_t fontHeight = int64_t{height} * 9 / 10;
    name.fontHeight = ClampToInt32(fontHeight);
    name.rect = RECT{ClampToInt32(3 * fontHeight / 2), 0, width, name.fontHeight};
    name.shadowOffset = std::clamp(height / 40, 1, 2);
    const LONG d = name.shadowOffset;
    name.shiftedRect = RECT{ClampToInt32(int64_t{name.rect.left} + d), -d, ClampToInt32(int64_t{width} + d),
                            ClampToInt32(int64_t{name.rect.bottom} - d)};
    return name;
}

COLORREF SparkleShade(int randomNumber, int32_t shades) {
    shades = std::clamp(shades, 1, 40);
    const int32_t idx = (((randomNumber % shades) + shades) % shades) * std::max(40 / shades, 1);
    return Colour(std::max(215 - idx, 0), 255 - idx, 255);
}

std::vector<PixelRun> DiamondRows(int32_t x, int32_t y, int32_t cell) {
    std::vector<PixelRun> rows;
    const int32_t half = cell / 2;
    // Widening to the middle row, then narrowing back to one pixel.
    for (int32_t r = 0; r < half; ++r)
        rows.push_back(PixelRun{x + half - r, y + r, 2 * r + 1});
    for (int32_t r = half; r < cell; ++r)
        rows.push_back(PixelRun{x + (r - half), y + r, 3 * cell / 2 + half - 2 * r});
    return rows;
}

std::vector<POINT> SparkleCells(RECT box, int32_t cell) {
    std::vector<POINT> cells;
    if (cell < 2)
        return cells;
    const int64_t half = cell / 2;
    bool shifted = true;
    for (int64_t y = int64_t{box.top} - half; y < box.bottom; y += half) {
        for (int64_t x = int64_t{box.left} - (shifted ? cell / 2 : 0); x < box.right; x += cell)
            cells.push_back(POINT{static_cast<LONG>(x), static_cast<LONG>(y)});
        shifted = !shifted;
    }
    return cells;
}

BannerPlan PlanBanner(int32_t width, int32_t height, int32_t step, uint32_t colourRange) {
    BannerPlan plan;
    plan.colourRange = EffectiveColourRange(colourRange);

    Gem gem;
    BuildGem(gem, 6, 0.67, 0.1675, 10000);
    for (Polygon3D& face : gem) {
        RotatePolygon(face, 0, step, 0);  // the turn about the gem's own axis
        RotatePolygon(face, 0, 0, 40);    // then tilted towards the viewer
        RotatePolygon(face, 0, -40, 0);
    }
    SortByDepth(gem);
    plan.gem = ProjectGem(gem, width, height);

    plan.glow = GlowLevels(height, plan.colourRange);
    const LONG h = height, w = width;
    plan.sweep[0] = POINT{0, h};
    plan.sweep[1] = POINT{h / 2, ClampToInt32(int64_t{h} * 3 / 4)};
    plan.sweep[2] = POINT{w, ClampToInt32(int64_t{h} * 3 / 4)};
    plan.rayOrigins[0] = POINT{h / 2, ClampToInt32(int64_t{h} * 3 / 4)};
    plan.rayOrigins[1] = POINT{h / 2, h / 4};
    plan.rayOrigins[2] = POINT{h / 4, h / 2};
    plan.rayOrigins[3] = POINT{ClampToInt32(int64_t{h} * 3 / 4), h / 2};
    // Faces share their corners; each corner gets its rays once.
    for (const POINT& p : plan.gem.points) {
        const bool seen = std::any_of(plan.rayEnds.begin(), plan.rayEnds.end(),
                                      [&](const POINT& q) { return q.x == p.x && q.y == p.y; });
        if (!seen)
            plan.rayEnds.push_back(p);
    }

    plan.name = NameLayout(width, height);
    plan.shades = std::min(plan.colourRange / 3, 40);
    plan.cell = height / 6;
    return plan;
}
