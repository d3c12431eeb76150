#include <gtest/gtest.h>

#include "TestImages.h"
#include "vela/image.h"

namespace {

using vela::base::Image;
using vela::base::ImageSet;
using vela::base::smart_ptr;
namespace ex = vela::base::exceptions;

class CountedImage : public vela::test::StridedImage {
 public:
  explicit CountedImage(int* destroyed) : StridedImage(1, 1, 8, 1), destroyed_(destroyed) {}
  ~CountedImage() override { ++*destroyed_; }

 private:
  int* destroyed_;
};

TEST(ImageSet, KeepsInsertionOrderAndStoresEmptyEntries) {
  smart_ptr<Image> a(new vela::test::StridedImage(1, 1, 8, 1));
  smart_ptr<Image> b(new vela::test::StridedImage(2, 1, 8, 2));
  smart_ptr<ImageSet> set = vela::base::Create_ImageSet(a);
  set->Add(smart_ptr<Image>());
  set->Add(b);
  ASSERT_EQ(set->Count(), 3);
  EXPECT_EQ(set->Get(0).get(), a.get());
  EXPECT_TRUE(set->Get(1).empty());
  EXPECT_EQ(set->Get(2).get(), b.get());
  EXPECT_EQ(vela::base::Create_ImageSet()->Count(), 0);
}

TEST(ImageSet, IndexOutsideTheSetThrowsOutOfRange) {
  smart_ptr<ImageSet> set = vela::base::Create_ImageSet();
  set->Add(smart_ptr<Image>(new vela::test::StridedImage(1, 1, 8, 1)));
  for (int32_t index : {-1, 1, 2, std::numeric_limits<int32_t>::min()}) {
    SCOPED_TRACE(index);
    try {
      set->Get(index);
      FAIL();
    } catch (const ex::out_of_range& e) {
      EXPECT_STREQ(e.what(), "Out of range");
    }
  }
}

TEST(ImageSet, HoldsItsImagesUntilItDies) {
  int destroyed = 0;
  {
    smart_ptr<ImageSet> set = vela::base::Create_ImageSet();
    {
      smart_ptr<Image> image(new CountedImage(&destroyed));
      set->Add(image);
      set->Add(image);
    }
    EXPECT_EQ(destroyed, 0);
    smart_ptr<Image> kept = set->Get(1);
    set = nullptr;
    EXPECT_EQ(destroyed, 0);
  }
  EXPECT_EQ(destroyed, 1);
}

}  // namespace
