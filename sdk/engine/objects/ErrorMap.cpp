#include "engine/objects/ErrorMap.h"

#include "vela/base.h"

namespace vela::math {

namespace {

struct ResultText {
  uint32_t code;
  const char* text;
};

constexpr uint32_t kBadQuality = 0xC3100074;

constexpr ResultText kResultTexts[] = {
    {0xC3100064, "Wrong BioMetric Data ID"},
    {0xC3100065, "Wrong Data Scanner ID"},
    {0xC3100066, "Wrong Biometric Data Memory"},
    {0xC3100067, "Wrong Number of Images"},
    {0xC3100068, "Wrong Images Array Memory"},
    {0xC3100069, "Wrong Image Header in Images Array"},
    {0xC310006A, "Not Grayscale Image in Images Array"},
    {0xC310006B, "Wrong Cleaned Images Array Memory"},
    {0xC310006C, "Wrong Images Parameters Array Memory"},
    {0xC310006D, "Image Converting Internal Error"},
    {0xC310006E, "Wrong Image Format"},
    {0xC310006F, "Wrong Image Width or Height"},
    {0xC3100070, "Wrong Image X or Y Resolution"},
    {0xC3100071, "Wrong Image Index"},
    {0xC3100072, "Wrong Image Impression Index"},
    {0xC3100073, "Wrong Images Set"},
    {0xC3100075, "Not Enough Memory"},
};

}  // namespace

void ThrowOnXResult(const char* context, uint32_t code) {
  if (code == 0) return;
  if (code == kBadQuality) throw base::exceptions::bad_quality();
  for (const ResultText& entry : kResultTexts) {
    if (entry.code == code) throw base::exceptions::math_error(entry.text);
  }
  throw base::exceptions::math_error(context);
}

}  // namespace vela::math
