// Two finger minutiae records from outside, read from bytes as a client reads them, compared
// by the ISO matcher and by the INCITS 378 matcher. A record the reader refuses, or one the
// comparison cannot read, is refused with the library's exception; a score stays in its
// range, and for ISO records a refusal does not depend on their order and Verify agrees
// with the score.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "engine/standard/fuzz/CompareFuzzer.h"
#include "vela/incits378.h"
#include "vela/iso.h"
#include "vela/iso_math.h"

using vela::base::smart_ptr;

namespace {

using base_exception = vela::base::exceptions::base_exception;

void Check(bool ok, const char* what, int32_t forward, int32_t backward) {
  if (ok) return;
  std::fprintf(stderr, "%s: a to b %d, b to a %d (-1: refused)\n", what, forward, backward);
  std::abort();
}

smart_ptr<vela::base::InputStream> StreamOf(std::span<const uint8_t> bytes) {
  return Create_MemoryStream(bytes.data(), int32_t(bytes.size()));
}

// The score, or -1 when the comparison refused the records.
template <class Matcher, class Record>
int32_t Score(Matcher& matcher, const Record& a, const Record& b) {
  try {
    return matcher->Match(a, b)->GetScore();
  } catch (const base_exception&) {
    return -1;
  }
}

void CheckIso(std::span<const uint8_t> a, std::span<const uint8_t> b) {
  smart_ptr<vela::iso::FingerMinutiaeRecord> first, second;
  try {
    first = vela::iso::Create_FingerMinutiaeRecord(StreamOf(a));
    second = vela::iso::Create_FingerMinutiaeRecord(StreamOf(b));
  } catch (const base_exception&) {
    return;
  }
  auto matcher = vela::iso_math::Create_Matcher(vela::math::SecurityLevel(2));
  const int32_t forward = Score(matcher, first, second);
  const int32_t backward = Score(matcher, second, first);
  Check(forward >= -1 && forward <= 3000 && backward >= -1 && backward <= 3000, "ISO score out of range", forward,
        backward);
  Check((forward < 0) == (backward < 0), "ISO records refused in one order only", forward, backward);
  if (forward < 0) return;
  Check(matcher->Verify(first, second) == (forward >= 1600), "ISO Verify disagrees with the score", forward, backward);
}

void CheckIncits(std::span<const uint8_t> a, std::span<const uint8_t> b) {
  auto first = vela::incits378::Create_Template(StreamOf(a));
  auto second = vela::incits378::Create_Template(StreamOf(b));
  auto matcher = vela::incits378::Create_Matcher();
  const int32_t forward = Score(matcher, first, second);
  const int32_t backward = Score(matcher, second, first);
  Check(forward >= -1 && forward <= 1000 && backward >= -1 && backward <= 1000, "INCITS score out of range", forward,
        backward);
  // A first record without views scores 0 before the second is read, so a damaged second one
  // is refused only in the other order.
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> a, b;
  if (!SplitFuzzInput(data, size, a, b)) return 0;
  CheckIso(a, b);
  CheckIncits(a, b);
  return 0;
}
