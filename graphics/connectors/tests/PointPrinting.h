#pragma once
// Points in test failures as (x,y) rather than as bytes.

#include <ostream>

#include "canvas/CanvasTypes.h"

namespace pv::canvas {
inline void PrintTo(const TPoint& p, std::ostream* os) { *os << "(" << p.x << "," << p.y << ")"; }
}  // namespace pv::canvas
