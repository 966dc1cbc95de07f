// Anti-aliased scanline rasteriser for compound shapes. Every edge is added once with the
// fill style on each side; coverage is accumulated per style from exact cell areas, so two
// fills sharing an edge add up to full coverage there (no seams) and holes stay holes.
#pragma once

#include <cstdint>
#include <vector>

#include "swf/Geometry.h"

namespace kestrix::swf {

enum class FillRule { EvenOdd, NonZero };

struct StyleCoverage {
    int style;
    int alpha;  // 1..255
};

// Receives the result of a sweep, row by row from the top and left to right in each row.
class SpanSink {
public:
    virtual ~SpanSink() = default;
    // One pixel crossed by edges: the styles covering part of it.
    virtual void Pixel(int y, int x, const StyleCoverage* styles, int count) = 0;
    // Pixels x .. x+length-1 with no edge inside: the same coverage all along.
    virtual void Span(int y, int x, int length, const StyleCoverage* styles, int count) = 0;
    // Neighbouring edge pixels covered by one style only, each with its own alpha.
    virtual void Run(int y, int x, int length, int style, const uint8_t* alphas) {
        for (int i = 0; i < length; ++i) {
            const StyleCoverage coverage{style, alphas[i]};
            Pixel(y, x + i, &coverage, 1);
        }
    }
};

class Rasterizer {
public:
    // Starts a new shape; only pixels inside the clip rectangle are produced.
    void Reset(int left, int top, int right, int bottom);
    // Coordinates in pixels. plusStyle lies right of the edge (y down), minusStyle left; 0 is none.
    void AddLine(Point from, Point to, int plusStyle, int minusStyle);
    // Flattened into lines short enough to stay within `tolerance` pixels of the curve.
    void AddQuad(Point from, Point control, Point to, int plusStyle, int minusStyle, double tolerance = 0.2);
    bool Empty() const { return minRow_ > maxRow_ && !hasCurrent_; }
    // Roughly what sweeping will cost: the cells plus every pixel of the rows touched.
    int64_t SweepCost() const {
        return cellCount_ + (maxRow_ >= minRow_ ? int64_t{maxRow_ - minRow_ + 1} * (right_ - left_) : 0);
    }
    // styleCount is the highest style number used.
    void Sweep(FillRule rule, int styleCount, SpanSink& sink);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Right() const { return right_; }
    int Bottom() const { return bottom_; }

private:
    struct Cell {
        int32_t x;
        int32_t cover;  // signed height crossed, 1/256 pixel
        int32_t area;   // twice the signed area left of the edges, 1/256 pixel squared
        uint16_t plus;
        uint16_t minus;
    };

    void AddClippedLine(double x0, double y0, double x1, double y1);
    void RenderLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1);
    void RenderRow(int row, int64_t x0, int64_t fy0, int64_t x1, int64_t fy1);
    void AddToCell(int64_t x, int row, int64_t cover, int64_t area);
    void FlushCell();

    int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
    std::vector<std::vector<Cell>> rows_;
    int minRow_ = 1, maxRow_ = 0;
    int64_t cellCount_ = 0;
    uint16_t plus_ = 0, minus_ = 0;
    Cell current_{};
    int currentRow_ = 0;
    bool hasCurrent_ = false;
    // Sweep scratch, kept to avoid allocating per shape.
    std::vector<int32_t> cover_;
    std::vector<int32_t> pixelCover_;
    std::vector<int32_t> pixelArea_;
    std::vector<int> active_;
    std::vector<int> touched_;
    std::vector<StyleCoverage> out_;
    std::vector<uint8_t> runAlphas_;
};

}  // namespace kestrix::swf
