#include "DXF_numbers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <system_error>
#include <vector>

namespace pv::viewer {

namespace {

// The shortest decimal digits that read back as x, and the power of ten of the first one:
// x = 0.d1d2d3... * 10^(exponent + 1).
struct Digits {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

Digits ShortestDigits(double x) {
  char buf[64];
  const auto result = std::to_chars(buf, buf + sizeof buf - 1, x, std::chars_format::scientific);
  *result.ptr = '\0';
  Digits d;
  const char* p = buf;
  if (*p == '-') {
    d.negative = true;
    ++p;
  }
  for (; p < result.ptr && *p != 'e'; ++p) {
    if (*p != '.') d.digits += *p;
  }
  d.exponent = std::atoi(p + 1);
  return d;
}

// The digits laid out in fixed-point notation with at least minDecimals decimals.
std::string Fixed(const Digits& d, int minDecimals) {
  std::string integer;
  std::string fraction;
  const int point = d.exponent + 1;  // digits before the decimal point
  if (point <= 0) {
    integer = "0";
    fraction = std::string(static_cast<size_t>(-point), '0') + d.digits;
  } else if (point >= static_cast<int>(d.digits.size())) {
    integer = d.digits + std::string(static_cast<size_t>(point) - d.digits.size(), '0');
  } else {
    integer = d.digits.substr(0, static_cast<size_t>(point));
    fraction = d.digits.substr(static_cast<size_t>(point));
  }
  while (!fraction.empty() && fraction.back() == '0' && static_cast<int>(fraction.size()) > minDecimals) {
    fraction.pop_back();
  }
  while (static_cast<int>(fraction.size()) < minDecimals) fraction += '0';
  std::string out = d.negative ? "-" : "";
  out += integer;
  if (!fraction.empty()) out += "." + fraction;
  return out;
}

std::string Mantissa(const Digits& d) {
  std::string out = d.negative ? "-" : "";
  out += d.digits[0];
  if (d.digits.size() > 1) out += "." + d.digits.substr(1);
  return out;
}

}  // namespace

std::string DxfRealText(double x) {
  if (x == 0.0) return "0.000";  // also for -0: no sign on nothing
  if (!std::isfinite(x)) return std::isnan(x) ? "NAN" : (x > 0 ? "INF" : "-INF");
  const Digits d = ShortestDigits(x);
  if (d.exponent + 1 > 7) {
    char exponent[16];
    std::snprintf(exponent, sizeof exponent, "E%+03d", d.exponent);
    Digits padded = d;
    if (padded.digits.size() < 7) padded.digits.resize(7, '0');
    return Mantissa(padded) + exponent;
  }
  return Fixed(d, 3);
}

double ArcRadians(double degrees) { return degrees / (180.0 / std::numbers::pi); }

double InsertRadians(double degrees) { return degrees * std::numbers::pi / 180.0; }

std::string DxfAngleText(double radians, double (*toRadians)(double degrees)) {
  const double degrees = radians * 180.0 / std::numbers::pi;
  if (!std::isfinite(degrees)) return DxfRealText(degrees);
  // The conversion back may miss by an ulp or two: the degrees that read back exactly are
  // among the neighbours of the converted value, tried nearest first.
  std::vector<double> exact;
  double below = degrees;
  double above = degrees;
  if (toRadians(degrees) == radians) exact.push_back(degrees);
  for (int step = 0; step < 4; ++step) {
    below = std::nextafter(below, -HUGE_VAL);
    above = std::nextafter(above, HUGE_VAL);
    if (toRadians(below) == radians) exact.push_back(below);
    if (toRadians(above) == radians) exact.push_back(above);
  }
  for (int digits = 1; digits <= 17; ++digits) {
    for (const double value : exact) {
      char buf[64];
      const auto written = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, digits);
      double candidate = value;
      std::from_chars(buf, written.ptr, candidate);
      if (toRadians(candidate) == radians) return DxfRealText(candidate);
    }
  }
  // No degrees read back as these radians: keep the converted value.
  return DxfRealText(degrees);
}

std::string DxfGeneralText(double x) {
  if (x == 0.0) return "0";
  if (!std::isfinite(x)) return std::isnan(x) ? "NAN" : (x > 0 ? "INF" : "-INF");
  const Digits d = ShortestDigits(x);
  if (d.exponent >= 15 || d.exponent < -5) return Mantissa(d) + "E" + std::to_string(d.exponent);
  return Fixed(d, 0);
}

}  // namespace pv::viewer
