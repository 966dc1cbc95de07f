#include "swf/Stroker.h"

#include <algorithm>
#include <cmath>

namespace kestrix::swf {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Adds a closed polygon so that it winds positively whichever way it was listed; the pieces
// of one stroke then add up instead of cancelling where they overlap.
void AddPolygon(Rasterizer& rasterizer, const Point* points, int count) {
    double area = 0;
    for (int i = 0; i < count; ++i) {
        const Point& a = points[i];
        const Point& b = points[(i + 1) % count];
        area += a.x * b.y - b.x * a.y;
    }
    if (area == 0) return;
    for (int i = 0; i < count; ++i) {
        const Point& a = points[i];
        const Point& b = points[(i + 1) % count];
        if (area > 0)
            rasterizer.AddLine(a, b, 1, 0);
        else
            rasterizer.AddLine(b, a, 1, 0);
    }
}

void AddCircle(Rasterizer& rasterizer, Point centre, double radius) {
    const double tolerance = 0.1;
    int steps = 8;
    if (radius > tolerance) steps = static_cast<int>(std::ceil(kPi / std::acos(1 - tolerance / radius)));
    steps = std::clamp(steps, 8, 256);
    std::vector<Point> points(steps);
    for (int i = 0; i < steps; ++i) {
        const double angle = 2 * kPi * i / steps;
        points[i] = {centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)};
    }
    AddPolygon(rasterizer, points.data(), steps);
}

struct Direction {
    double x = 0;
    double y = 0;
};

Direction Normalised(Point from, Point to) {
    const double dx = to.x - from.x;
    const double dy = to.y - from.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    return {dx / length, dy / length};
}

void AddSegment(Rasterizer& rasterizer, Point a, Point b, Direction d, double hw) {
    const double nx = -d.y * hw;
    const double ny = d.x * hw;
    const Point quad[4] = {{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}};
    AddPolygon(rasterizer, quad, 4);
}

void AddCap(Rasterizer& rasterizer, Point end, Direction outward, Cap cap, double hw) {
    if (cap == Cap::Round) {
        AddCircle(rasterizer, end, hw);
    } else if (cap == Cap::Square) {
        const Point beyond{end.x + outward.x * hw, end.y + outward.y * hw};
        AddSegment(rasterizer, end, beyond, outward, hw);
    }
}

void AddJoin(Rasterizer& rasterizer, Point at, Direction in, Direction out, Join join, double miterLimit, double hw,
             bool smooth) {
    const double cross = in.x * out.y - in.y * out.x;
    const double dot = in.x * out.x + in.y * out.y;
    if (std::fabs(cross) < 1e-9 && dot > 0) return;  // straight on
    if (join == Join::Round && !smooth) {
        AddCircle(rasterizer, at, hw);
        return;
    }
    // The outer side is left of the path when it turns right, and the other way round.
    const double side = cross > 0 ? -1 : 1;
    const Point a{at.x - in.y * hw * side, at.y + in.x * hw * side};
    const Point b{at.x - out.y * hw * side, at.y + out.x * hw * side};
    if (join == Join::Miter && !smooth) {
        // The miter's length over the half width is 1 / sin of half the angle between the edges.
        const double halfAngleSin = std::sqrt(std::max(0.0, (1 - dot) / 2));
        const double cosHalf = std::sqrt(std::max(0.0, (1 + dot) / 2));
        if (halfAngleSin > 1e-9 && cosHalf > 1e-9 && 1 / cosHalf <= std::max(1.0, miterLimit)) {
            const double mx = (a.x + b.x) / 2 - at.x;
            const double my = (a.y + b.y) / 2 - at.y;
            const double mLength = std::sqrt(mx * mx + my * my);
            const double tipDistance = hw / cosHalf;
            if (mLength > 1e-12) {
                const Point tip{at.x + mx / mLength * tipDistance, at.y + my / mLength * tipDistance};
                const Point quad[4] = {at, a, tip, b};
                AddPolygon(rasterizer, quad, 4);
                return;
            }
        }
    }
    const Point triangle[3] = {at, a, b};
    AddPolygon(rasterizer, triangle, 3);
}

}  // namespace

void StrokePolyline(Rasterizer& rasterizer, const std::vector<Point>& input, const std::vector<bool>& smoothInput,
                    bool closed, const StrokeStyle& style) {
    // Drop repeated points: they have no direction.
    std::vector<Point> points;
    std::vector<bool> smooth;
    points.reserve(input.size());
    for (size_t i = 0; i < input.size(); ++i) {
        if (!std::isfinite(input[i].x) || !std::isfinite(input[i].y)) return;
        if (!points.empty() && std::fabs(points.back().x - input[i].x) < 1e-6 &&
            std::fabs(points.back().y - input[i].y) < 1e-6)
            continue;
        points.push_back(input[i]);
        smooth.push_back(i < smoothInput.size() && smoothInput[i]);
    }
    const double hw = style.halfWidth;
    if (points.size() == 1) {
        // A dot: round caps draw it, others leave it out.
        if (style.startCap == Cap::Round) AddCircle(rasterizer, points[0], hw);
        return;
    }
    if (points.size() < 2) return;
    const size_t n = points.size();
    std::vector<Direction> directions(n - 1);
    for (size_t i = 0; i + 1 < n; ++i) directions[i] = Normalised(points[i], points[i + 1]);
    for (size_t i = 0; i + 1 < n; ++i) AddSegment(rasterizer, points[i], points[i + 1], directions[i], hw);
    for (size_t i = 1; i + 1 < n; ++i)
        AddJoin(rasterizer, points[i], directions[i - 1], directions[i], style.join, style.miterLimit, hw, smooth[i]);
    if (closed && n > 2) {
        AddJoin(rasterizer, points[0], directions[n - 2], directions[0], style.join, style.miterLimit, hw, false);
        return;
    }
    AddCap(rasterizer, points[0], {-directions[0].x, -directions[0].y}, style.startCap, hw);
    AddCap(rasterizer, points[n - 1], directions[n - 2], style.endCap, hw);
}

}  // namespace kestrix::swf
