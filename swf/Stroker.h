// Turns a line style's polylines into filled outlines for the rasteriser.
#pragma once

#include <vector>

#include "swf/Characters.h"
#include "swf/Rasterizer.h"

namespace kestrix::swf {

struct StrokeStyle {
    double halfWidth = 0.5;  // device pixels
    Cap startCap = Cap::Round;
    Cap endCap = Cap::Round;
    Join join = Join::Round;
    double miterLimit = 3;
};

// points are in device pixels; smooth[i] marks points inside a flattened curve, where a
// cheap join is enough. The outline is added as style 1 pieces that all wind the same way,
// so it must be swept with the non-zero rule.
void StrokePolyline(Rasterizer& rasterizer, const std::vector<Point>& points, const std::vector<bool>& smooth,
                    bool closed, const StrokeStyle& style);

}  // namespace kestrix::swf
