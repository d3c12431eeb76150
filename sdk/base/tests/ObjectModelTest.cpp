#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "vela/base.h"

namespace {

using vela::base::BaseRefCounter;
using vela::base::smart_ptr;
namespace ex = vela::base::exceptions;

// Counts its own destruction in a flag the test owns.
class Tracked : public virtual BaseRefCounter {
 public:
  explicit Tracked(int* destroyed) : destroyed_(destroyed) {}

 protected:
  ~Tracked() override { ++*destroyed_; }

 private:
  int* destroyed_;
};

// Whose Release always fails, as a broken count would.
class FailingRelease : public virtual BaseRefCounter {
 public:
  void Release() const override { throw ex::invalid_refcounter(); }
};

TEST(ObjectModel, CopiesShareOneObjectDestroyedOnce) {
  int destroyed = 0;
  {
    smart_ptr<Tracked> first(new Tracked(&destroyed));
    {
      smart_ptr<Tracked> second = first;
      EXPECT_EQ(second.get(), first.get());
    }
    EXPECT_EQ(destroyed, 0);
  }
  EXPECT_EQ(destroyed, 1);
}

TEST(ObjectModel, MoveAndAssignKeepTheCountRight) {
  int a = 0, b = 0;
  smart_ptr<Tracked> x(new Tracked(&a));
  smart_ptr<Tracked> y(new Tracked(&b));
  x = y;  // lets go of a's object
  EXPECT_EQ(a, 1);
  smart_ptr<Tracked> z(std::move(y));
  EXPECT_TRUE(y.empty());
  x.reset();
  EXPECT_EQ(b, 0);
  z = nullptr;
  EXPECT_EQ(b, 1);
}

TEST(ObjectModel, VersionIsOne) {
  int destroyed = 0;
  smart_ptr<Tracked> p(new Tracked(&destroyed));
  EXPECT_EQ(p->Version(), 1);
}

TEST(ObjectModel, ReleaseBelowZeroThrowsAndLeavesTheObject) {
  int destroyed = 0;
  Tracked* raw = new Tracked(&destroyed);
  try {
    raw->Release();
    FAIL() << "Release at count 0 must throw";
  } catch (const ex::invalid_refcounter& e) {
    EXPECT_STREQ(e.what(), "Invalid reference counter state");
  }
  EXPECT_EQ(destroyed, 0);
  // The object is still whole: its first owner takes it and frees it once.
  { smart_ptr<Tracked> owner(raw); }
  EXPECT_EQ(destroyed, 1);
}

TEST(ObjectModel, EmptyPointerAccessThrowsInvalidArgument) {
  smart_ptr<Tracked> empty;
  EXPECT_FALSE(empty);
  EXPECT_EQ(empty.get(), nullptr);
  try {
    empty->Version();
    FAIL();
  } catch (const ex::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "Invalid argument");
  }
  EXPECT_THROW((void)*empty, ex::invalid_argument);
}

TEST(ObjectModel, DestructorSwallowsAFailingReleaseButExplicitReleaseThrows) {
  auto* raw = new FailingRelease;
  {
    smart_ptr<FailingRelease> held(raw);
    EXPECT_THROW(raw->Release(), ex::invalid_refcounter);
  }  // would terminate the program if the destructor let it out
  smart_ptr<FailingRelease> again(raw);
  EXPECT_THROW(again.reset(), ex::invalid_refcounter);
  EXPECT_TRUE(again.empty());
  // Both holders failed to let go; drop their two references for real.
  raw->BaseRefCounter::Release();
  raw->BaseRefCounter::Release();
}

TEST(ObjectModel, CastBetweenFacesOfOneObject) {
  struct Face1 : virtual BaseRefCounter {};
  struct Face2 : virtual BaseRefCounter {};
  struct Both : Face1, Face2 {};
  smart_ptr<Face1> one(new Both);
  smart_ptr<Face2> two = vela::base::smart_ptr_cast<Face2>(one);
  ASSERT_FALSE(two.empty());
  EXPECT_EQ(dynamic_cast<Both*>(two.get()), dynamic_cast<Both*>(one.get()));
  struct Other : virtual BaseRefCounter {};
  EXPECT_TRUE(vela::base::smart_ptr_cast<Other>(one).empty());
}

struct ExceptionCase {
  std::function<void()> thrower;
  const char* message;
};

TEST(Exceptions, EveryOneIsABaseExceptionWithItsText) {
  const std::vector<ExceptionCase> cases = {
      {[] { throw ex::base_exception("given text"); }, "given text"},
      {[] { throw ex::invalid_refcounter(); }, "Invalid reference counter state"},
      {[] { throw ex::out_of_range(); }, "Out of range"},
      {[] { throw ex::invalid_argument(); }, "Invalid argument"},
      {[] { throw ex::invalid_argument("Invalid argument: invalid image DPI!"); },
       "Invalid argument: invalid image DPI!"},
      {[] { throw ex::not_implemented(); }, "Not implemented"},
      {[] { throw ex::not_supported(); }, "Not supported"},
      {[] { throw ex::bad_quality(); }, "Bad image quality"},
      {[] { throw ex::math_error("ExtractMinutiae"); }, "ExtractMinutiae"},
      {[] { throw ex::incits378_error(); }, "INCITS378 error"},
      {[] { throw vela::scan::scan_exception("Device lost"); }, "Device lost"},
      {[] { throw vela::scan::scan_timeout_exception("Timed out"); }, "Timed out"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    try {
      c.thrower();
      FAIL() << "nothing thrown";
    } catch (const ex::base_exception& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

TEST(Exceptions, CopiesKeepTheTextAfterTheOriginalDies) {
  std::string text = "temporary";
  auto* original = new ex::invalid_argument(text.c_str());
  text = "changed";
  ex::base_exception copy = *original;
  delete original;
  EXPECT_STREQ(copy.what(), "temporary");
  ex::base_exception other("other");
  other = copy;
  EXPECT_STREQ(other.what(), "temporary");
  ex::base_exception null(nullptr);
  EXPECT_STREQ(null.what(), "");
}

TEST(Exceptions, ScanTimeoutIsAScanException) {
  EXPECT_THROW(throw vela::scan::scan_timeout_exception("t"), vela::scan::scan_exception);
}

}  // namespace
