// Every engine result code leaves the object layer as its exception and text.
#include <gtest/gtest.h>

#include <typeinfo>

#include "engine/objects/ErrorMap.h"
#include "vela/base.h"

namespace vela::math {
namespace {

namespace ex = base::exceptions;

struct Case {
  uint32_t code;
  const char* text;
};

constexpr Case kMathErrors[] = {
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
    // Outside the table: the name of the call.
    {0xC3100063, "XGetBiometricData"},
    {0xC3100076, "XGetBiometricData"},
    {1, "XGetBiometricData"},
};

TEST(ThrowOnXResult, SuccessThrowsNothing) { EXPECT_NO_THROW(ThrowOnXResult("XGetBiometricData", 0)); }

TEST(ThrowOnXResult, EachCodeGivesItsMathErrorText) {
  for (const Case& c : kMathErrors) {
    SCOPED_TRACE(c.text);
    try {
      ThrowOnXResult("XGetBiometricData", c.code);
      ADD_FAILURE() << "nothing thrown";
    } catch (const ex::base_exception& e) {
      EXPECT_EQ(typeid(e), typeid(ex::math_error));
      EXPECT_STREQ(e.what(), c.text);
    }
  }
}

TEST(ThrowOnXResult, BadQualityIsItsOwnException) {
  try {
    ThrowOnXResult("XGetBiometricFeatures", 0xC3100074);
    ADD_FAILURE() << "nothing thrown";
  } catch (const ex::bad_quality& e) {
    EXPECT_STREQ(e.what(), "Bad image quality");
  }
}

}  // namespace
}  // namespace vela::math
