#pragma once
// What the controls ask of a path: bounds, a platform path to stroke or fill, hit tests,
// flattening and the nearest point.

#include "canvas/Canvas.h"
#include "paths/PathTypes.h"

namespace pv::graphics {

// Bounds with every edge inclusive (right and bottom are the largest x and y); false and an
// empty rect for an empty path.
bool GetPathBounds(std::span<const TPoint> points, std::span<const uint8_t> types, TRect& bounds,
                   const TPathFigureInfos* infos = nullptr);

// Builds the path on the canvas (BeginPath .. EndPath, or AbortPath when the walk fails);
// integerMode hands curves over whole.
bool CreatePlatformPath(canvas::Canvas& canvas, std::span<const TPoint> points, std::span<const uint8_t> types,
                        const TPathFigureInfos* infos, bool integerMode, bool closed, bool open);

// Outline within tolerance (when testOutline), else inside a closed figure by the even-odd
// rule (when testInside); a point on a closed figure's edge counts as inside. A nearest
// record, when given, receives the nearest point of the walked figures.
bool PathHitTest(std::span<const TPoint> points, std::span<const uint8_t> types, TPoint point,
                 const TPathFigureInfos* infos, TPathNearest* nearest, double tolerance, bool testInside,
                 bool testOutline);

// Replaces both arrays by the flattened path (control points within 1 / factor of each chord);
// each figure ends with type 1, or 2 for a closed figure without its repeated first point.
bool FlattenPath(TPointArray& points, TTypeArray& types, const TPathFigureInfos* infos, double factor);

// The nearest point on the path; segmentStart is the node its segment starts at and nextIndex
// the node after it (see the implementation for the ends of open figures). True when allowEnds
// is set or nextIndex lies within the figure.
bool FindNearestPathPoint(std::span<const TPoint> points, std::span<const uint8_t> types, TPoint point,
                          bool allowEnds, const TPathFigureInfos* infos, TPathNearest& nearest,
                          int32_t& segmentStart, int32_t& nextIndex);

}  // namespace pv::graphics
