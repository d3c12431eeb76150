#pragma once
// The number forms of written DXF files. Reals keep every digit they need to read back as
// the same double: coordinates, heights, radii, scales and angles in fixed-point notation
// with at least 3 decimals (scientific beyond 7 integer digits), header values in the
// general form (no trailing zeros, no point for whole values). A point is the decimal
// separator whatever the locale.

#include <string>

namespace pv::viewer {

// 5432100.123 -> "5432100.123", 1.5 -> "1.500", 0.1 -> "0.100", 123456789.5 -> "1.234567895E+08".
std::string DxfRealText(double x);
// 10000000000 -> "10000000000", 2.5 -> "2.5", 1e20 -> "1E20", 1.5e-7 -> "1.5E-7".
std::string DxfGeneralText(double x);
// Angles in degrees, rounded to 12 significant digits first: the model keeps radians, and the
// round trip's noise (29.999999999999996) goes, so an angle read as 30 is written as 30.000.
std::string DxfAngleText(double degrees);

}  // namespace pv::viewer
