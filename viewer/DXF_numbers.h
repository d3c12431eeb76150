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
// Degrees read from a file into the model's radians, as arcs and as inserts take them.
double ArcRadians(double degrees);
double InsertRadians(double degrees);
// An angle of the model (radians) in degrees: the shortest text that the reader's conversion
// (one of the two above) takes back to the same radians, so an angle read as 30 is written as
// 30.000 and not with the noise of the round trip (29.999999999999996), and one read as
// 33.333333333333336 keeps every digit it needs.
std::string DxfAngleText(double radians, double (*toRadians)(double degrees));

}  // namespace pv::viewer
