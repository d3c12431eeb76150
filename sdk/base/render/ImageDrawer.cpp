// The drawer's operations, each a short list of canvas primitives.
#include "vela/image_drawer.h"

#include <algorithm>
#include <cmath>

#include "render/PixelCanvas.h"
#include "render/QualityColour.h"
#include "vela/base.h"

namespace vela::render {

using vela::base::Image;
using vela::base::smart_ptr;

namespace {

// A tilt beyond a full percentage would only sweep the gauge further round
// (and a far-off value would make the sweep endless).
float GaugePercentage(float value) {
  if (!std::isfinite(value)) return 0;
  return std::clamp(value, -100.0f, 100.0f);
}

class Drawer final : public ImageDrawer {
 public:
  void SetRect(const DrawRect& value) override { rect = value; }

  void DrawQualityBar(smart_ptr<Image> image, float quality) override {
    PixelCanvas canvas(*image);
    opacity = 1.0f;
    canvas.SetOpacity(opacity);
    QualityBar(canvas, quality);
  }

  void DrawQualityPanel(smart_ptr<Image> image, smart_ptr<vela::math::ImageInfoView> result) override {
    PixelCanvas canvas(*image);
    const float percentage = GaugePercentage(result->GetP2());
    const float quality = result->GetP1();
    opacity = 0.5f;
    canvas.SetOpacity(opacity);
    HistogramPanel(canvas, image);
    canvas.FillRingSector(256, 256, 190, 200, 0, 180, panelColour);
    opacity = 0.8f;
    canvas.SetOpacity(opacity);
    canvas.FillRingSector(256, 256, 0, 190, 90, 90 + percentage, QualityColour(1 - std::fabs(percentage) / 100));
    opacity = 1.0f;
    canvas.SetOpacity(opacity);
    canvas.DrawScaledLine(256, 256, 256, 56, minutiaeColour);
    QualityBar(canvas, quality);
  }

  void DrawMinutiae(smart_ptr<Image> image, smart_ptr<vela::math::MinutiaeView> minutiae) override {
    PixelCanvas canvas(*image);
    if (canvas.Empty()) return;
    canvas.SetOpacity(opacity);
    const int32_t count = minutiae->Count();
    for (int32_t i = 0; i < count; ++i) {
      const vela::math::FloatPair position = minutiae->GetPoint(i);
      const vela::math::FloatPair direction = minutiae->GetDirection(i);
      double x, y;
      ToCanvas(canvas, position.second, position.first, x, y);
      canvas.DrawCircle(x, y, 15, minutiaeColour);
      canvas.DrawScaledLine(x, y, x + 23.0 * direction.second, y + 23.0 * direction.first, minutiaeColour);
    }
  }

  void DrawDirectionField(smart_ptr<Image> image, smart_ptr<vela::math::DirectionFieldView> field) override {
    PixelCanvas canvas(*image);
    if (canvas.Empty()) return;
    const int32_t rows = field->GetRows(), columns = field->GetColumns();
    const double blockWidth = field->GetBlockWidth(), blockHeight = field->GetBlockHeight();
    const double half = 0.5 * blockWidth * rect.xScale;
    for (int32_t j = 0; j < rows; ++j) {
      for (int32_t i = 0; i < columns; ++i) {
        const vela::math::FloatPair direction = field->GetDirection(i, j);
        const double dy = direction.first, dx = direction.second;
        if (!(dx * dx + dy * dy >= 0.1)) continue;
        double x1, y1, x2, y2;
        ToCanvas(canvas, i * blockWidth, j * blockHeight, x1, y1);
        ToCanvas(canvas, (i + 1) * blockWidth, (j + 1) * blockHeight, x2, y2);
        const double cx = (x1 + x2) / 2, cy = (y1 + y2) / 2;
        canvas.DrawScaledLine(cx - half * dx, cy - half * dy, cx + half * dx, cy + half * dy, directionColour);
      }
    }
  }

  void DrawGrid(smart_ptr<Image> image, int32_t spacing, int32_t thickness) override {
    // A group of fewer than no lines has no meaning, and the walk along the canvas would run
    // on for billions of steps past its edge.
    if (thickness < 0) throw vela::base::exceptions::invalid_argument();
    PixelCanvas canvas(*image);
    if (canvas.Empty() || spacing <= 0) return;
    const int32_t size = static_cast<int32_t>(canvasSize);
    // Lines beyond the canvas would fall outside the image: a group is cut
    // at the canvas edge, however thick it was asked to be.
    for (int64_t x = 0; x + thickness < size; x += spacing)
      for (int64_t line = x; line < x + thickness && line < size; ++line)
        canvas.DrawVerticalLine(double(line), 0, size, gridColour);
    for (int64_t y = spacing; y < size; y += spacing)
      for (int64_t line = y; line < y + thickness && line < size; ++line)
        GridRow(canvas, double(line));
  }

 protected:
  ~Drawer() override = default;

 private:
  // A minutia's coordinates as canvas units: the rectangle's mapping gives
  // image pixels, which the canvas then spreads over 512 units.
  void ToCanvas(const PixelCanvas& canvas, double x, double y, double& canvasX, double& canvasY) const {
    canvasX = (x * rect.xScale + rect.xOffset) * canvasSize / canvas.Width();
    canvasY = (y * rect.yScale + rect.yOffset) * canvasSize / canvas.Height();
  }

  static void GridRow(PixelCanvas& canvas, double y) {
    const int32_t imageY = ToPixel(y * canvas.YScale());
    canvas.DrawHorizontalLine(0, ToPixel(canvasSize * canvas.XScale()), imageY, gridColour);
  }

  static void QualityBar(PixelCanvas& canvas, float quality) {
    const Colour colour = QualityColour(quality / 100);
    const float level = (1 - quality / 100) * 412;
    for (int y = 50; y <= 450; y += 20) canvas.FillRect(462, y, 482, y + 15, y - 50 > level ? colour : emptySegmentColour);
  }

  static void HistogramPanel(PixelCanvas& canvas, const smart_ptr<Image>& image) {
    int32_t histogram[256];
    if (!Calculate_Histogram(image, histogram)) return;
    canvas.DrawRectOutline(51, 427, 251, 487, panelColour);
    const int32_t largest = *std::max_element(histogram, histogram + 256);
    // With no counter above 1 (or an empty image) the logarithm scale would
    // be 0 or negative: the bars then use a scale of 1, which still keeps
    // every bar within the panel.
    const double scale = std::max(3 * std::log10(double(largest)), 1.0);
    for (int x = 52; x <= 250; ++x) {
      const int first = static_cast<int>((x - 52) * 1.28), last = static_cast<int>((x - 51) * 1.28);
      double sum = 0;
      for (int i = first; i <= last; ++i) sum += histogram[i];
      const double mean = sum / (last - first + 1);
      const double value = mean >= 1 ? 3 * std::log10(mean) : mean;
      canvas.FillRect(x - 1, 487 - 60 * value / scale, x, 487, panelColour);
    }
  }

  DrawRect rect{0, 0, 1, 1};
  float opacity = 1.0f;
};

}  // namespace

ImageDrawer::~ImageDrawer() = default;

bool Calculate_Histogram(smart_ptr<Image> image, int32_t histogram[256]) {
  if (image->GetBitsPerPixel() != 24) return false;
  std::fill(histogram, histogram + 256, 0);
  const int32_t width = image->GetWidth(), height = image->GetHeight(), rowBytes = image->GetRowBytes();
  if (width <= 0 || height <= 0 || int64_t{rowBytes} < int64_t{width} * 3) return true;
  const uint8_t* data = static_cast<const Image&>(*image).GetData();
  if (!data) return true;
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* pixel = data + size_t(y) * size_t(rowBytes);
    for (int32_t x = 0; x < width; ++x, pixel += 3)
      ++histogram[static_cast<int>((pixel[0] + pixel[1] + pixel[2]) * 0.33333334f)];
  }
  return true;
}

}  // namespace vela::render

vela::base::smart_ptr<vela::render::ImageDrawer> Create_ImageDrawer() {
  return vela::base::smart_ptr<vela::render::ImageDrawer>(new vela::render::Drawer);
}
