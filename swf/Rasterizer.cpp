#include "swf/Rasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kestrix::swf {

namespace {

constexpr int kSubpixel = 256;
constexpr int64_t kFullCoverage = int64_t{kSubpixel} * kSubpixel * 2;
// More flattening would only cost time: the curve is then far larger than any target.
constexpr int kMaxCurveSteps = 256;
// A shape needing more cells than this (32 MiB) is drawn only as far as they go.
constexpr int64_t kMaxCells = 2'000'000;

int ToAlpha(int64_t value, FillRule rule) {
    int64_t v = value < 0 ? -value : value;
    if (rule == FillRule::EvenOdd) {
        v &= 2 * kFullCoverage - 1;
        if (v > kFullCoverage) v = 2 * kFullCoverage - v;
    } else if (v > kFullCoverage) {
        v = kFullCoverage;
    }
    return static_cast<int>((v * 255 + kFullCoverage / 2) / kFullCoverage);
}

}  // namespace

void Rasterizer::Reset(int left, int top, int right, int bottom) {
    for (int row = minRow_; row <= maxRow_; ++row) rows_[row].clear();
    left_ = left;
    top_ = top;
    right_ = std::max(left, right);
    bottom_ = std::max(top, bottom);
    if (rows_.size() < static_cast<size_t>(bottom_ - top_)) rows_.resize(bottom_ - top_);
    minRow_ = bottom_ - top_;
    maxRow_ = -1;
    hasCurrent_ = false;
    plus_ = minus_ = 0;
    cellCount_ = 0;
}

void Rasterizer::AddLine(Point from, Point to, int plusStyle, int minusStyle) {
    if (plusStyle == minusStyle) return;  // both sides alike: the edge changes nothing
    if (plusStyle != plus_ || minusStyle != minus_) {
        FlushCell();
        plus_ = static_cast<uint16_t>(plusStyle);
        minus_ = static_cast<uint16_t>(minusStyle);
    }
    AddClippedLine(from.x, from.y, to.x, to.y);
}

void Rasterizer::AddQuad(Point from, Point control, Point to, int plusStyle, int minusStyle, double tolerance) {
    if (plusStyle == minusStyle) return;
    const double minY = std::min({from.y, control.y, to.y});
    const double maxY = std::max({from.y, control.y, to.y});
    const double minX = std::min({from.x, control.x, to.x});
    const double maxX = std::max({from.x, control.x, to.x});
    if (maxY <= top_ || minY >= bottom_ || minX >= right_) return;
    // Left of the clip only the height crossed matters, and the chord crosses the same.
    if (maxX <= left_) {
        AddLine(from, to, plusStyle, minusStyle);
        return;
    }
    const double dx = from.x - 2 * control.x + to.x;
    const double dy = from.y - 2 * control.y + to.y;
    const double deviation = std::sqrt(dx * dx + dy * dy);
    int steps = static_cast<int>(std::ceil(std::sqrt(deviation / (4 * tolerance))));
    if (!(steps >= 1)) steps = 1;
    steps = std::min(steps, kMaxCurveSteps);
    Point previous = from;
    for (int i = 1; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        const double u = 1 - t;
        const Point next = i == steps ? to
                                      : Point{u * u * from.x + 2 * u * t * control.x + t * t * to.x,
                                              u * u * from.y + 2 * u * t * control.y + t * t * to.y};
        AddLine(previous, next, plusStyle, minusStyle);
        previous = next;
    }
}

void Rasterizer::AddClippedLine(double x0, double y0, double x1, double y1) {
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) return;
    if (y0 == y1) return;
    const double top = top_;
    const double bottom = bottom_;
    if (std::max(y0, y1) <= top || std::min(y0, y1) >= bottom) return;
    // Vertical clip: cut the line to the rows that exist.
    auto xAt = [&](double y) { return x0 + (x1 - x0) * ((y - y0) / (y1 - y0)); };
    double ax = x0, ay = y0, bx = x1, by = y1;
    if (ay < top) {
        ax = xAt(top);
        ay = top;
    }
    if (ay > bottom) {
        ax = xAt(bottom);
        ay = bottom;
    }
    if (by < top) {
        bx = xAt(top);
        by = top;
    }
    if (by > bottom) {
        bx = xAt(bottom);
        by = bottom;
    }
    const double left = left_;
    const double right = right_;
    if (ax >= right && bx >= right) return;
    // Split where the line crosses the left and right clip edges. Right of the clip nothing is
    // drawn; left of it the line is pushed onto the edge, where only its height counts.
    double ts[4] = {0, 0, 0, 0};
    int count = 1;
    if (ax != bx) {
        for (double edge : {left, right}) {
            const double t = (edge - ax) / (bx - ax);
            if (t > 0 && t < 1) ts[count++] = t;
        }
    }
    ts[count++] = 1;
    if (count == 4 && ts[1] > ts[2]) std::swap(ts[1], ts[2]);
    for (int i = 0; i + 1 < count; ++i) {
        const double t0 = ts[i];
        const double t1 = ts[i + 1];
        double px0 = ax + (bx - ax) * t0, py0 = ay + (by - ay) * t0;
        double px1 = ax + (bx - ax) * t1, py1 = ay + (by - ay) * t1;
        if (i + 2 == count) {
            px1 = bx;
            py1 = by;
        }
        const double middle = (px0 + px1) / 2;
        if (middle >= right) continue;
        if (middle <= left) px0 = px1 = left;
        px0 = std::clamp(px0, left, right);
        px1 = std::clamp(px1, left, right);
        RenderLine(std::llround(px0 * kSubpixel), std::llround(py0 * kSubpixel), std::llround(px1 * kSubpixel),
                   std::llround(py1 * kSubpixel));
    }
}

void Rasterizer::RenderLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    if (y0 == y1) return;
    const int64_t row0 = (y0 >> 8);
    const int64_t row1 = (y1 >> 8);
    if (row0 == row1) {
        RenderRow(static_cast<int>(row0 - top_), x0, y0 - row0 * kSubpixel, x1, y1 - row0 * kSubpixel);
        return;
    }
    const int step = y1 > y0 ? 1 : -1;
    const double slope = static_cast<double>(x1 - x0) / static_cast<double>(y1 - y0);
    int64_t xPrevious = x0;
    int64_t yPrevious = y0;
    for (int64_t row = row0; row != row1; row += step) {
        const int64_t boundary = step > 0 ? (row + 1) * kSubpixel : row * kSubpixel;
        const int64_t x = x0 + std::llround(static_cast<double>(boundary - y0) * slope);
        RenderRow(static_cast<int>(row - top_), xPrevious, yPrevious - row * kSubpixel, x, boundary - row * kSubpixel);
        xPrevious = x;
        yPrevious = boundary;
    }
    RenderRow(static_cast<int>(row1 - top_), xPrevious, yPrevious - row1 * kSubpixel, x1, y1 - row1 * kSubpixel);
}

// One row's part of a line: fy0 and fy1 are heights within the row (0..256).
void Rasterizer::RenderRow(int row, int64_t x0, int64_t fy0, int64_t x1, int64_t fy1) {
    if (fy0 == fy1 || row < 0 || row >= bottom_ - top_) return;
    const int64_t cell0 = x0 >> 8;
    const int64_t cell1 = x1 >> 8;
    if (cell0 == cell1) {
        const int64_t dy = fy1 - fy0;
        AddToCell(cell0, row, dy, (x0 - cell0 * kSubpixel + x1 - cell0 * kSubpixel) * dy);
        return;
    }
    // Walk the cells the line crosses, cutting it at each vertical cell edge.
    const int step = x1 > x0 ? 1 : -1;
    const double slope = static_cast<double>(fy1 - fy0) / static_cast<double>(x1 - x0);
    int64_t xPrevious = x0;
    int64_t yPrevious = fy0;
    for (int64_t cell = cell0; cell != cell1; cell += step) {
        const int64_t boundary = step > 0 ? (cell + 1) * kSubpixel : cell * kSubpixel;
        int64_t y = fy0 + std::llround(static_cast<double>(boundary - x0) * slope);
        y = std::clamp(y, std::min(fy0, fy1), std::max(fy0, fy1));
        const int64_t dy = y - yPrevious;
        AddToCell(cell, row, dy, (xPrevious - cell * kSubpixel + boundary - cell * kSubpixel) * dy);
        xPrevious = boundary;
        yPrevious = y;
    }
    const int64_t dy = fy1 - yPrevious;
    AddToCell(cell1, row, dy, (xPrevious - cell1 * kSubpixel + x1 - cell1 * kSubpixel) * dy);
}

void Rasterizer::AddToCell(int64_t x, int row, int64_t cover, int64_t area) {
    if (cover == 0 && area == 0) return;
    if (x >= right_) return;
    if (x < left_) x = left_;
    if (hasCurrent_ && current_.x == x && currentRow_ == row) {
        current_.cover += static_cast<int32_t>(cover);
        current_.area += static_cast<int32_t>(area);
        return;
    }
    FlushCell();
    current_ = Cell{static_cast<int32_t>(x), static_cast<int32_t>(cover), static_cast<int32_t>(area), plus_, minus_};
    currentRow_ = row;
    hasCurrent_ = true;
}

void Rasterizer::FlushCell() {
    if (!hasCurrent_) return;
    hasCurrent_ = false;
    if (current_.cover == 0 && current_.area == 0) return;
    if (cellCount_ >= kMaxCells) return;
    ++cellCount_;
    rows_[currentRow_].push_back(current_);
    minRow_ = std::min(minRow_, currentRow_);
    maxRow_ = std::max(maxRow_, currentRow_);
}

void Rasterizer::Sweep(FillRule rule, int styleCount, SpanSink& sink) {
    FlushCell();
    const size_t slots = static_cast<size_t>(styleCount) + 1;
    if (cover_.size() < slots) {
        cover_.resize(slots, 0);
        pixelCover_.resize(slots, 0);
        pixelArea_.resize(slots, 0);
    }
    std::vector<uint8_t> isActive(slots, 0);
    std::vector<uint8_t> isTouched(slots, 0);
    for (int row = minRow_; row <= maxRow_; ++row) {
        std::vector<Cell>& cells = rows_[row];
        if (cells.empty()) continue;
        std::sort(cells.begin(), cells.end(), [](const Cell& a, const Cell& b) { return a.x < b.x; });
        const int y = top_ + row;
        const size_t n = cells.size();
        size_t i = 0;
        // Edge pixels of one style next to each other go out together.
        int runStyle = 0;
        int runX = 0;
        runAlphas_.clear();
        auto flushRun = [&] {
            if (runAlphas_.empty()) return;
            if (runAlphas_.size() == 1) {
                const StyleCoverage coverage{runStyle, runAlphas_[0]};
                sink.Pixel(y, runX, &coverage, 1);
            } else {
                sink.Run(y, runX, static_cast<int>(runAlphas_.size()), runStyle, runAlphas_.data());
            }
            runAlphas_.clear();
        };
        while (i < n) {
            const int x = cells[i].x;
            touched_.clear();
            size_t j = i;
            for (; j < n && cells[j].x == x; ++j) {
                const Cell& cell = cells[j];
                const int styles[2] = {cell.plus, cell.minus};
                for (int k = 0; k < 2; ++k) {
                    const int style = styles[k];
                    if (style == 0 || style > styleCount) continue;
                    if (!isTouched[style]) {
                        isTouched[style] = 1;
                        touched_.push_back(style);
                    }
                    pixelCover_[style] += k == 0 ? cell.cover : -cell.cover;
                    pixelArea_[style] += k == 0 ? cell.area : -cell.area;
                }
            }
            out_.clear();
            for (int style : touched_) {
                const int64_t value =
                    (static_cast<int64_t>(cover_[style]) + pixelCover_[style]) * 2 * kSubpixel - pixelArea_[style];
                const int alpha = ToAlpha(value, rule);
                if (alpha > 0) out_.push_back({style, alpha});
            }
            for (int style : active_) {
                if (isTouched[style]) continue;
                const int alpha = ToAlpha(static_cast<int64_t>(cover_[style]) * 2 * kSubpixel, rule);
                if (alpha > 0) out_.push_back({style, alpha});
            }
            for (int style : touched_) {
                isTouched[style] = 0;
                cover_[style] += pixelCover_[style];
                pixelCover_[style] = 0;
                pixelArea_[style] = 0;
                if (cover_[style] != 0 && !isActive[style]) {
                    isActive[style] = 1;
                    active_.push_back(style);
                } else if (cover_[style] == 0 && isActive[style]) {
                    isActive[style] = 0;
                    active_.erase(std::find(active_.begin(), active_.end(), style));
                }
            }
            if (out_.size() == 1) {
                const bool continues =
                    !runAlphas_.empty() && runStyle == out_[0].style && runX + static_cast<int>(runAlphas_.size()) == x;
                if (!continues) {
                    flushRun();
                    runStyle = out_[0].style;
                    runX = x;
                }
                runAlphas_.push_back(static_cast<uint8_t>(out_[0].alpha));
            } else if (!out_.empty()) {
                flushRun();
                sink.Pixel(y, x, out_.data(), static_cast<int>(out_.size()));
            }
            const int nextX = j < n ? cells[j].x : right_;
            if (nextX > x + 1 && !active_.empty()) {
                flushRun();
                out_.clear();
                for (int style : active_) {
                    const int alpha = ToAlpha(static_cast<int64_t>(cover_[style]) * 2 * kSubpixel, rule);
                    if (alpha > 0) out_.push_back({style, alpha});
                }
                if (!out_.empty()) sink.Span(y, x + 1, nextX - x - 1, out_.data(), static_cast<int>(out_.size()));
            }
            i = j;
        }
        flushRun();
        for (int style : active_) {
            cover_[style] = 0;
            isActive[style] = 0;
        }
        active_.clear();
        cells.clear();
    }
    minRow_ = bottom_ - top_;
    maxRow_ = -1;
    cellCount_ = 0;
}

}  // namespace kestrix::swf
