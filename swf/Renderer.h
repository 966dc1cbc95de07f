// Draws a display list into 32-bit pixels: shapes through the compound rasteriser, masks from
// clip layers, blend modes through offscreen layers.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "swf/Paint.h"
#include "swf/Rasterizer.h"
#include "swf/Stage.h"
#include "swf/StageLayout.h"

namespace kestrix::swf {

class Renderer {
public:
    void Render(const MovieData& movie, const DisplayObject& root, uint32_t* pixels, int width, int height, int stride,
                const StagePlacement& placement);

private:
    struct Target {
        uint32_t* pixels = nullptr;
        int stride = 0;
    };

    void DrawChildren(const DisplayObject& container, const Matrix& matrix, const ColorTransform& cx, int nesting);
    void DrawObject(const DisplayObject& object, const Matrix& parentMatrix, const ColorTransform& parentCx,
                    int nesting);
    void DrawContent(const DisplayObject& object, const Matrix& matrix, const ColorTransform& cx, int nesting);
    void DrawShape(const ShapeData& shape, const Matrix& matrix, const ColorTransform& cx);
    void FillGroup(const StyleGroup& group, bool nonZero, const Matrix& matrix, const ColorTransform& cx);
    void StrokeGroup(const StyleGroup& group, const Matrix& matrix, const ColorTransform& cx);
    void DrawText(const TextCharacter& text, const Matrix& matrix, const ColorTransform& cx);
    void DrawEditText(const EditTextCharacter& field, const Matrix& matrix, const ColorTransform& cx);
    void DrawBitmap(const BitmapCharacter& bitmap, const Matrix& matrix, const ColorTransform& cx);
    void AddGlyph(const ShapeData& glyph, const Matrix& matrix);
    void AddRectangle(double x0, double y0, double x1, double y1, const Matrix& matrix);
    // Sweeps what the rasteriser holds with paints_[1..styleCount].
    void Composite(FillRule rule, int styleCount);
    void BlendLayer(const std::vector<uint32_t>& layer, int mode);
    bool OutsideClip(const Rect& bounds, const Matrix& matrix, double margin) const;

    std::vector<uint8_t>& AcquireMask();
    std::vector<uint32_t>& AcquireLayer();

    const MovieData* movie_ = nullptr;
    int frame_ = 0;         // the main timeline's frame: which definition of an id is meant
    int64_t workLeft_ = 0;  // drawing budget of one frame, in cells and pixels
    int width_ = 0;
    int height_ = 0;
    int clipLeft_ = 0, clipTop_ = 0, clipRight_ = 0, clipBottom_ = 0;
    double stageScale_ = 1;
    Target target_;
    const uint8_t* mask_ = nullptr;  // coverage that limits drawing, one byte a pixel, or none
    uint8_t* maskOut_ = nullptr;     // while drawing a clip layer: where its coverage goes
    Rasterizer rasterizer_;
    std::vector<Paint> paints_;
    std::vector<uint32_t> scratch_;
    std::deque<std::vector<uint8_t>> maskPool_;  // a deque: growing keeps buffers in use in place
    size_t masksInUse_ = 0;
    std::deque<std::vector<uint32_t>> layerPool_;
    size_t layersInUse_ = 0;
    ShapeData morphShape_;
    std::vector<Point> polyline_;
    std::vector<bool> smooth_;
};

}  // namespace kestrix::swf
