// The image drawer as a client uses it: the engine's views are stood in for
// by the client's own objects; pixels are probed on a 512 x 512 image, where
// one canvas unit is one pixel.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "TestImages.h"
#include "vela/vela.h"

using vela::base::smart_ptr;
using vela::math::FloatPair;
using vela::test::StridedImage;

namespace {

struct Bytes {
  uint8_t b0, b1, b2;
  friend bool operator==(const Bytes&, const Bytes&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Bytes& b) {
    return out << int(b.b0) << "," << int(b.b1) << "," << int(b.b2);
  }
};

constexpr Bytes untouched{0, 0, 0};
constexpr Bytes red{0, 0, 255};
constexpr Bytes blue{255, 0, 0};
constexpr Bytes green{0, 255, 0};
constexpr Bytes yellow{0, 255, 255};
constexpr Bytes grey{150, 150, 150};
constexpr Bytes gridGrey{198, 198, 198};
constexpr Bytes halfPanel{77, 43, 32};  // the panel colour blended half onto black

class Picture : public StridedImage {
 public:
  Picture(int32_t width = 512, int32_t height = 512, int32_t bitsPerPixel = 24)
      : StridedImage(width, height, bitsPerPixel, width * bitsPerPixel / 8) {
    if (width && height) std::memset(GetData(), 0, size_t(width) * size_t(height) * size_t(bitsPerPixel / 8));
  }
  Bytes At(int x, int y) const {
    const uint8_t* p = GetData() + size_t(y) * size_t(GetRowBytes()) + size_t(x) * 3;
    return {p[0], p[1], p[2]};
  }
};

class Minutiae : public vela::math::MinutiaeView {
 public:
  explicit Minutiae(std::vector<std::pair<FloatPair, FloatPair>> list) : list(std::move(list)) {}
  int32_t Count() const override { return int32_t(list.size()); }
  FloatPair GetPoint(int32_t i) const override { return list.at(size_t(i)).first; }
  FloatPair GetDirection(int32_t i) const override { return list.at(size_t(i)).second; }

 private:
  std::vector<std::pair<FloatPair, FloatPair>> list;
};

class Field : public vela::math::DirectionFieldView {
 public:
  int32_t GetRows() const override { return 2; }
  int32_t GetColumns() const override { return 2; }
  int32_t GetBlockWidth() const override { return 16; }
  int32_t GetBlockHeight() const override { return 16; }
  FloatPair GetDirection(int32_t column, int32_t row) const override {
    if (column == 1 && row == 0) return {0, 1};     // along x
    if (column == 0 && row == 1) return {0.2f, 0.2f};  // too short to show
    return {0, 0};
  }
};

class Info : public vela::math::ImageInfoView {
 public:
  Info(float quality, float tilt) : quality(quality), tilt(tilt) {}
  const float* GetParameters() const override { return parameters; }
  float GetP1() const override { return quality; }
  float GetP2() const override { return tilt; }
  int32_t GetQ1() const override { return 0; }
  int32_t GetQ2() const override { return 0; }
  int32_t GetQ3() const override { return 0; }
  int32_t GetQ4() const override { return 0; }
  int32_t GetQ5() const override { return 0; }
  int32_t GetQ6() const override { return 0; }

 private:
  float parameters[4] = {};
  float quality, tilt;
};

}  // namespace

TEST(ImageDrawer, QualityBarFillsSegmentsFromBelow) {
  struct Case {
    float quality;
    Bytes top, middle, bottom;  // segments at y 50, 250 and 450
  } cases[] = {{100, grey, green, green}, {0, grey, grey, grey}, {50, grey, grey, yellow}};
  for (const Case& c : cases) {
    smart_ptr<Picture> picture(new Picture);
    Create_ImageDrawer()->DrawQualityBar(picture, c.quality);
    EXPECT_EQ(picture->At(470, 57), c.top) << c.quality;
    EXPECT_EQ(picture->At(470, 257), c.middle) << c.quality;
    EXPECT_EQ(picture->At(470, 465), c.bottom) << "both rows of the rectangle's ends are filled";
    EXPECT_EQ(picture->At(462, 450), c.bottom);
    EXPECT_EQ(picture->At(481, 450), c.bottom);
    EXPECT_EQ(picture->At(482, 450), untouched) << "the right end is excluded";
    EXPECT_EQ(picture->At(470, 466), untouched) << "gap between segments";
    EXPECT_EQ(picture->At(461, 450), untouched);
  }
  smart_ptr<Picture> picture(new Picture);
  Create_ImageDrawer()->DrawQualityBar(picture, 50);
  EXPECT_EQ(picture->At(470, 257), grey) << "level 206: segment at 250 stays empty";
  EXPECT_EQ(picture->At(470, 277), yellow) << "segment at 270 is filled";

  // The canvas stretches over other sizes: 2 pixels a unit across, half a unit down.
  smart_ptr<Picture> wide(new Picture(1024, 256));
  Create_ImageDrawer()->DrawQualityBar(wide, 100);
  for (int y : {225, 228, 232}) EXPECT_EQ(wide->At(940, y), green) << y;
  EXPECT_EQ(wide->At(924, 228), green);
  EXPECT_EQ(wide->At(963, 228), green);
  EXPECT_EQ(wide->At(964, 228), untouched);
  EXPECT_EQ(wide->At(940, 233), untouched);
}

TEST(ImageDrawer, GridGroupsLinesAndStopsAtTheCanvasEdge) {
  smart_ptr<Picture> picture(new Picture);
  smart_ptr<vela::render::ImageDrawer> drawer = Create_ImageDrawer();
  drawer->DrawGrid(picture, 100, 2);
  for (int x : {0, 1, 100, 101, 500, 501}) EXPECT_EQ(picture->At(x, 33), gridGrey) << x;
  for (int x : {2, 99, 102, 502, 511}) EXPECT_EQ(picture->At(x, 33), untouched) << x;
  for (int y : {100, 101, 500, 501}) EXPECT_EQ(picture->At(33, y), gridGrey) << y;
  for (int y : {0, 1, 102}) EXPECT_EQ(picture->At(33, y), untouched) << y;

  // A spacing below 1 would never advance: nothing is drawn.
  smart_ptr<Picture> blank(new Picture);
  drawer->DrawGrid(blank, 0, 2);
  drawer->DrawGrid(blank, -5, 2);
  for (int i : {0, 100, 300}) EXPECT_EQ(blank->At(i, i), untouched);

  // A negative thickness is refused before anything is drawn: the walk would otherwise go on
  // two billion steps beyond the canvas.
  for (int32_t thickness : {-1, std::numeric_limits<int32_t>::min()}) {
    EXPECT_THROW(drawer->DrawGrid(blank, 1, thickness), vela::base::exceptions::invalid_argument) << thickness;
  }
  for (int i : {0, 1, 100, 300}) EXPECT_EQ(blank->At(i, i), untouched);

  // A huge thickness draws no vertical group and cuts the horizontal ones at
  // the edge instead of walking two billion lines.
  drawer->DrawGrid(blank, 300, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(blank->At(20, 299), untouched);
  EXPECT_EQ(blank->At(20, 300), gridGrey);
  EXPECT_EQ(blank->At(20, 511), gridGrey);
}

TEST(ImageDrawer, MinutiaeAreCirclesWithDirectionStrokes) {
  smart_ptr<Picture> picture(new Picture);
  smart_ptr<vela::render::ImageDrawer> drawer = Create_ImageDrawer();
  // Position (y, x), direction (dy, dx).
  drawer->DrawMinutiae(picture, smart_ptr<vela::math::MinutiaeView>(new Minutiae({{{100, 200}, {0, 1}}})));
  EXPECT_EQ(picture->At(200, 100), red) << "the stroke starts at the minutia";
  EXPECT_EQ(picture->At(223, 100), red) << "and runs 23 units along the direction";
  EXPECT_EQ(picture->At(224, 100), untouched);
  EXPECT_EQ(picture->At(185, 100), red) << "circle point at 180 degrees";
  EXPECT_EQ(picture->At(200, 92), untouched) << "inside the circle";

  // The rectangle maps template coordinates to pixels.
  smart_ptr<Picture> mapped(new Picture);
  drawer->SetRect({10, 20, 2, 0.5f});
  drawer->DrawMinutiae(mapped, smart_ptr<vela::math::MinutiaeView>(new Minutiae({{{100, 100}, {1, 0}}})));
  EXPECT_EQ(mapped->At(210, 70), red);
  EXPECT_EQ(mapped->At(210, 93), red) << "a stroke downwards";
  EXPECT_EQ(mapped->At(225, 70), red);
}

TEST(ImageDrawer, BrokenCoordinatesDrawNothingOrTheVisiblePartOnly) {
  smart_ptr<Picture> picture(new Picture);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  Create_ImageDrawer()->DrawMinutiae(
      picture, smart_ptr<vela::math::MinutiaeView>(new Minutiae(
                   {{{nan, 10}, {0, 1}}, {{10, inf}, {0, 1}}, {{10, 10}, {nan, nan}}, {{3e9f, -3e9f}, {1, 1}},
                    {{256, -2e9f}, {0, 1}}})));
  EXPECT_EQ(picture->At(25, 10), red) << "the circle of a minutia whose direction is broken still shows";
}

TEST(ImageDrawer, DirectionFieldStrokesBlocksThatHaveADirection) {
  smart_ptr<Picture> picture(new Picture);
  Create_ImageDrawer()->DrawDirectionField(picture, smart_ptr<vela::math::DirectionFieldView>(new Field));
  // Block (1, 0) spans x 16..32, y 0..16: a stroke through its centre (24, 8), 8 pixels each way.
  for (int x : {16, 24, 32}) EXPECT_EQ(picture->At(x, 8), blue) << x;
  EXPECT_EQ(picture->At(15, 8), untouched);
  EXPECT_EQ(picture->At(33, 8), untouched);
  EXPECT_EQ(picture->At(8, 8), untouched) << "no direction in block (0, 0)";
  EXPECT_EQ(picture->At(8, 24), untouched) << "a vector shorter than the threshold is skipped";
}

TEST(ImageDrawer, QualityPanelShowsHistogramGaugeNeedleAndBar) {
  smart_ptr<Picture> picture(new Picture);
  Create_ImageDrawer()->DrawQualityPanel(picture, smart_ptr<vela::math::ImageInfoView>(new Info(100, 50)));
  EXPECT_EQ(picture->At(100, 427), halfPanel) << "panel frame, blended";
  EXPECT_EQ(picture->At(51, 429), (Bytes{155, 87, 64})) << "frame side, drawn plainly";
  // Every pixel was black: the counters 0 and 1 hold all of them, so the
  // first bar (column 51) is nearly 60 high; empty counters show no bar.
  EXPECT_EQ(picture->At(51, 431), (Bytes{154, 86, 64})) << "bar blended over the frame side";
  EXPECT_EQ(picture->At(60, 470), untouched);
  EXPECT_EQ(picture->At(425, 154), halfPanel) << "ring at 31 degrees";
  EXPECT_EQ(picture->At(217, 163), (Bytes{0, 204, 204})) << "tilt 50: sector at 112 degrees, yellow at 0.8";
  EXPECT_EQ(picture->At(298, 165), untouched) << "no sector on the other side of the needle";
  EXPECT_EQ(picture->At(256, 150), red) << "needle";
  EXPECT_EQ(picture->At(470, 257), green) << "quality bar of P1";
}

TEST(ImageDrawer, QualityPanelCopesWithTinyImagesAndWildTilts) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (float tilt : {nan, 1e30f, -1e30f}) {
    smart_ptr<Picture> picture(new Picture);
    Create_ImageDrawer()->DrawQualityPanel(picture, smart_ptr<vela::math::ImageInfoView>(new Info(nan, tilt)));
    EXPECT_EQ(picture->At(256, 150), red) << tilt;
  }
  // Two different pixels: the largest counter is 1, whose logarithm is 0.
  smart_ptr<Picture> small(new Picture(2, 1));
  small->GetData()[0] = 90;
  Create_ImageDrawer()->DrawQualityPanel(small, smart_ptr<vela::math::ImageInfoView>(new Info(50, 0)));
  int32_t histogram[256];
  ASSERT_TRUE(vela::render::Calculate_Histogram(smart_ptr<Picture>(new Picture(0, 0)), histogram));
  for (int32_t count : histogram) EXPECT_EQ(count, 0);
}

TEST(ImageDrawer, HistogramCountsTheMeanOfThreeBytes) {
  smart_ptr<Picture> picture(new Picture(3, 1));
  const uint8_t pixels[9] = {30, 30, 31, 255, 255, 255, 0, 1, 1};
  std::memcpy(picture->GetData(), pixels, 9);
  int32_t histogram[256];
  std::fill(histogram, histogram + 256, 7);
  ASSERT_TRUE(vela::render::Calculate_Histogram(picture, histogram));
  EXPECT_EQ(histogram[30], 1);
  EXPECT_EQ(histogram[255], 1);
  EXPECT_EQ(histogram[0], 1);
  EXPECT_EQ(histogram[1], 0);
  histogram[0] = 7;
  EXPECT_FALSE(vela::render::Calculate_Histogram(smart_ptr<Picture>(new Picture(4, 4, 8)), histogram));
  EXPECT_EQ(histogram[0], 7) << "an 8-bit image leaves the counters alone";
}

TEST(ImageDrawer, RefusesImagesThatAreNotTwentyFourBitsAndLeavesEmptyOnesAlone) {
  smart_ptr<vela::render::ImageDrawer> drawer = Create_ImageDrawer();
  smart_ptr<Picture> grey(new Picture(512, 512, 8));
  EXPECT_THROW(drawer->DrawQualityBar(grey, 50), vela::base::exceptions::invalid_argument);
  EXPECT_THROW(drawer->DrawGrid(grey, 10, 1), vela::base::exceptions::invalid_argument);
  EXPECT_THROW(drawer->DrawMinutiae(grey, smart_ptr<vela::math::MinutiaeView>(new Minutiae({}))),
               vela::base::exceptions::invalid_argument);
  EXPECT_THROW(drawer->DrawDirectionField(grey, smart_ptr<vela::math::DirectionFieldView>(new Field)),
               vela::base::exceptions::invalid_argument);
  EXPECT_THROW(drawer->DrawQualityPanel(grey, smart_ptr<vela::math::ImageInfoView>(new Info(1, 1))),
               vela::base::exceptions::invalid_argument);
  for (uint8_t byte : std::vector<uint8_t>(grey->GetData(), grey->GetData() + 512 * 512)) ASSERT_EQ(byte, 0);

  smart_ptr<Picture> empty(new Picture(0, 0));
  drawer->DrawQualityBar(empty, 50);
  drawer->DrawGrid(empty, 10, 1);
  drawer->DrawMinutiae(empty, smart_ptr<vela::math::MinutiaeView>(new Minutiae({{{1, 1}, {1, 0}}})));
  drawer->DrawDirectionField(empty, smart_ptr<vela::math::DirectionFieldView>(new Field));
  drawer->DrawQualityPanel(empty, smart_ptr<vela::math::ImageInfoView>(new Info(1, 1)));
}
