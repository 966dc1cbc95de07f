// The rasteriser's coverage is the exact covered area: summed over the pixels it gives the
// polygon's area, whatever the position, including where the clip rectangle cuts it.
#include <cmath>
#include <map>

#include <gtest/gtest.h>

#include "swf/Rasterizer.h"

namespace kestrix::swf {
namespace {

// Adds up coverage per style, in pixels.
class AreaSink : public SpanSink {
public:
    void Pixel(int y, int x, const StyleCoverage* styles, int count) override {
        for (int i = 0; i < count; ++i) Add(y, x, styles[i].style, styles[i].alpha);
    }
    void Span(int y, int x, int length, const StyleCoverage* styles, int count) override {
        for (int k = 0; k < length; ++k)
            for (int i = 0; i < count; ++i) Add(y, x + k, styles[i].style, styles[i].alpha);
    }
    std::map<int, double> area;
    std::map<std::pair<int, int>, int> total;  // alpha summed over styles per pixel

private:
    void Add(int y, int x, int style, int alpha) {
        area[style] += alpha / 255.0;
        total[{x, y}] += alpha;
    }
};

double PolygonArea(const std::vector<Point>& points) {
    double twice = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        const Point& a = points[i];
        const Point& b = points[(i + 1) % points.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return std::fabs(twice) / 2;
}

void AddPolygon(Rasterizer& rasterizer, const std::vector<Point>& points, int style) {
    for (size_t i = 0; i < points.size(); ++i) rasterizer.AddLine(points[i], points[(i + 1) % points.size()], style, 0);
}

TEST(Rasterizer, CoverageAddsUpToTheArea) {
    const std::vector<std::vector<Point>> polygons = {
        {{3.3, 2.7}, {17.9, 5.1}, {9.2, 18.6}},                 // a triangle at odd positions
        {{1.5, 1.5}, {18.25, 1.5}, {18.25, 3.75}, {1.5, 3.75}},  // a thin rectangle
        {{10, 0.2}, {19.8, 10}, {10, 19.8}, {0.2, 10}},          // a diamond
        {{2.1, 2.2}, {2.4, 2.3}, {2.2, 2.9}},                    // smaller than a pixel
    };
    for (const auto& polygon : polygons) {
        for (FillRule rule : {FillRule::EvenOdd, FillRule::NonZero}) {
            Rasterizer rasterizer;
            rasterizer.Reset(0, 0, 20, 20);
            AddPolygon(rasterizer, polygon, 1);
            AreaSink sink;
            rasterizer.Sweep(rule, 1, sink);
            // Each pixel's alpha rounds to 1/255, so allow that much per touched pixel.
            EXPECT_NEAR(sink.area[1], PolygonArea(polygon), 0.002 * sink.total.size() + 1e-9);
        }
    }
}

TEST(Rasterizer, TheClipRectangleCutsExactly) {
    // A 10 x 10 square at (-5, -5) seen through a clip from (0, 0): a 5 x 5 quarter.
    for (const auto& [left, top] : {std::pair{0, 0}, std::pair{2, 3}}) {
        Rasterizer rasterizer;
        rasterizer.Reset(left, top, 20, 20);
        AddPolygon(rasterizer, {{-5, -5}, {5, -5}, {5, 5}, {-5, 5}}, 1);
        AreaSink sink;
        rasterizer.Sweep(FillRule::NonZero, 1, sink);
        EXPECT_NEAR(sink.area[1], (5.0 - left) * (5.0 - top), 1e-6);
        for (const auto& [pixel, alpha] : sink.total) {
            EXPECT_GE(pixel.first, left);
            EXPECT_GE(pixel.second, top);
        }
    }
}

TEST(Rasterizer, TwoStylesSharingAnEdgeCoverEveryPixelFully) {
    // A square split by a slanted edge into style 1 (left) and style 2 (right), each edge once.
    Rasterizer rasterizer;
    rasterizer.Reset(0, 0, 20, 20);
    const Point a{2, 2}, b{18, 2}, c{18, 18}, d{2, 18};
    const Point top{7.3, 2}, bottom{12.6, 18};
    rasterizer.AddLine(top, b, 2, 0);
    rasterizer.AddLine(b, c, 2, 0);
    rasterizer.AddLine(c, bottom, 2, 0);
    rasterizer.AddLine(bottom, d, 1, 0);
    rasterizer.AddLine(d, a, 1, 0);
    rasterizer.AddLine(a, top, 1, 0);
    rasterizer.AddLine(bottom, top, 2, 1);  // the shared edge: style 2 on one side, 1 on the other
    AreaSink sink;
    rasterizer.Sweep(FillRule::EvenOdd, 2, sink);
    for (const auto& [pixel, alpha] : sink.total) {
        if (pixel.first < 2 || pixel.first >= 18 || pixel.second < 2 || pixel.second >= 18) continue;
        EXPECT_NEAR(alpha, 255, 2) << "pixel " << pixel.first << "," << pixel.second;
    }
    EXPECT_NEAR(sink.area[1] + sink.area[2], 256, 0.5);
}

TEST(Rasterizer, CurvesAreFlattenedCloseToTheirArea) {
    // A parabola segment: the area between the chord and the curve is 2/3 of its triangle.
    Rasterizer rasterizer;
    rasterizer.Reset(0, 0, 40, 40);
    const Point from{2, 30}, control{20, -10}, to{38, 30};
    rasterizer.AddQuad(from, control, to, 1, 0);
    rasterizer.AddLine(to, from, 1, 0);
    AreaSink sink;
    rasterizer.Sweep(FillRule::NonZero, 1, sink);
    const double triangle = PolygonArea({from, control, to});
    EXPECT_NEAR(sink.area[1], triangle * 2 / 3, triangle * 0.01);
}

}  // namespace
}  // namespace kestrix::swf
