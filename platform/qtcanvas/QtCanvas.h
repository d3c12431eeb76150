#pragma once
// The Qt backend of Canvas: QPainter on a QImage in RGB32 with antialiasing off, drawing with
// the semantics the Canvas interface promises (see canvas/Canvas.h). Where Qt and the
// platform's graphics interface differ, this class bridges:
//  - outlines: Qt strokes a w x h rectangle one pixel wider and higher than the platform, so
//    shapes are outlined on the box shrunk by one pixel on the right and bottom;
//  - lines leave their end pixel out (flat caps on one-pixel pens), so joined lines and xor
//    drawing touch each pixel once;
//  - arcs: radial points are turned into the parametric angles Qt's arcs take, and equal
//    radials give the whole ellipse;
//  - raster operations map onto Qt's raster composition modes, which work on RGB32 images
//    (on an image with alpha, xor would clear the alpha);
//  - text is placed by its cell top, baseline or bottom as the alignment flags say; Qt
//    places it by the baseline.
// A canvas on another paint device (an SVG generator) draws the same, except that raster
// operations other than copy fall back to copy and GetPixel answers CLR_INVALID. On an image
// with alpha (an off-screen Argb32 bitmap) raster operations fall back to copy as well, since
// they would scramble the alpha bytes; painted pixels come out opaque.

#include <QFont>
#include <QFontMetrics>
#include <QPen>
#include <QImage>
#include <QPainterPath>
#include <memory>
#include <optional>
#include <vector>

#include "canvas/Canvas.h"
#include "qtcanvas/PlainTextGlyphs.h"
#include "qtcanvas/ShapedTextCache.h"

class QPainter;
class QPaintDevice;
class QRegion;

namespace pv::qtcanvas {

using namespace pv::canvas;

// Maps the font names documents and programs ask for onto installed faces (Arial onto its
// metric twin, and so on); other names pass unchanged.
QString FaceFor(std::string_view name);
// The QImage of a Bitmap (its transparent pixels clear when the bitmap is transparent).
QImage ToQImage(const Bitmap& bitmap);
QRegion ToQRegion(const Region& region);
QColor ToQColor(TColor color);
// Registers the factory of off-screen canvases on bitmaps (canvas/BitmapCanvas.h) that paint
// with this backend; the program calls it once at start-up.
void RegisterBitmapCanvasFactory();

class QtCanvas : public Canvas {
 public:
  // Paints on the image for the canvas' lifetime; the image must be in Format_RGB32 (or
  // Format_ARGB32 for an off-screen bitmap with alpha).
  explicit QtCanvas(QImage& image);
  // Paints on any other device of the given size in pixels.
  QtCanvas(QPaintDevice& device, TSize size);
  ~QtCanvas() override;
  QtCanvas(const QtCanvas&) = delete;
  QtCanvas& operator=(const QtCanvas&) = delete;

  TSize Size() const { return size_; }
  // Whether lines, polylines, rectangles and ellipses may go through QPainter's direct calls
  // where those paint the same pixels as the path route (on by default; tests compare both).
  void SetDirectCalls(bool on) { directCalls_ = on; }

  const Pen& GetPen() const override { return state_.pen; }
  void SetPen(const Pen& pen) override;
  const Brush& GetBrush() const override { return state_.brush; }
  void SetBrush(const Brush& brush) override;
  const Font& GetFont() const override { return state_.font; }
  void SetFont(const Font& font) override;
  uint32_t GetTextAlign() const override { return state_.textAlign; }
  void SetTextAlign(uint32_t flags) override { state_.textAlign = flags; }
  BkMode GetBkMode() const override { return state_.bkMode; }
  void SetBkMode(BkMode mode) override { state_.bkMode = mode; }
  TColor GetBkColor() const override { return state_.bkColor; }
  void SetBkColor(TColor color) override { state_.bkColor = color; }
  PolyFillMode GetPolyFillMode() const override { return state_.fillMode; }
  void SetPolyFillMode(PolyFillMode mode) override { state_.fillMode = mode; }
  TPoint GetBrushOrigin() const override { return state_.brushOrigin; }
  void SetBrushOrigin(TPoint origin) override { state_.brushOrigin = origin; }
  TPoint GetPenPos() const override { return state_.penPos; }
  void SaveState() override;
  void RestoreState() override;

  void MoveTo(int32_t x, int32_t y) override;
  void LineTo(int32_t x, int32_t y) override;
  void Polyline(std::span<const TPoint> points) override;
  void Polygon(std::span<const TPoint> points) override;
  void PolyPolygon(std::span<const TPoint> points, std::span<const int32_t> counts) override;
  void PolyBezier(std::span<const TPoint> points) override;
  void PolyBezierTo(std::span<const TPoint> points) override;
  void Rectangle(const TRect& rect) override;
  void RoundRect(const TRect& rect, int32_t cornerWidth, int32_t cornerHeight) override;
  void Ellipse(const TRect& rect) override;
  void Arc(const TRect& box, TPoint start, TPoint end) override;
  void ArcTo(const TRect& box, TPoint start, TPoint end) override;
  void Chord(const TRect& box, TPoint start, TPoint end) override;
  void Pie(const TRect& box, TPoint start, TPoint end) override;
  void SetPixel(int32_t x, int32_t y, TColor color) override;
  uint32_t GetPixel(int32_t x, int32_t y) const override;
  void FillRect(const TRect& rect) override;
  void FrameRect(const TRect& rect) override;
  void DrawFocusRect(const TRect& rect) override;
  void InvertRect(const TRect& rect) override;

  void BeginPath() override;
  void EndPath() override;
  void AbortPath() override;
  void CloseFigure() override;
  void StrokePath() override;
  void FillPath() override;
  void StrokeAndFillPath() override;
  void SelectClipPath(RegionMode mode) override;
  Region PathToRegion() override;

  void FillRgn(const Region& region, const Brush& brush) override;
  void FrameRgn(const Region& region, const Brush& brush, int32_t width, int32_t height) override;
  void SelectClipRgn(const std::optional<Region>& region) override;
  void ExtSelectClipRgn(const Region& region, RegionMode mode) override;
  void IntersectClipRect(const TRect& rect) override;
  void ExcludeClipRect(const TRect& rect) override;
  std::optional<Region> GetClipRgn() const override { return state_.clip; }
  TRect GetClipBox() const override;

  void TextOut(int32_t x, int32_t y, std::string_view text) override;
  void ExtTextOut(int32_t x, int32_t y, uint32_t options, const TRect* rect, std::string_view text,
                  std::span<const int32_t> advances) override;
  int32_t DrawText(std::string_view text, TRect& rect, uint32_t format) override;
  TSize GetTextExtent(std::string_view text) const override;
  TextMetric GetTextMetrics() const override;
  std::vector<ABC> GetCharABCWidths(uint32_t first, uint32_t last) const override;
  int32_t GetFontEmSquare() const override;

  void Draw(int32_t x, int32_t y, const Bitmap& bitmap) override;
  void StretchDraw(const TRect& rect, const Bitmap& bitmap) override;
  void StretchBlt(const TRect& dest, const Bitmap& source, const TRect& sourceRect, Rop3 rop) override;
  bool GetPixels(const TRect& rect, Bitmap& out) const override;
  void SetPixels(int32_t x, int32_t y, const Bitmap& pixels) override;
  bool EditPixels(const TRect& rect, const PixelRunEdit& edit) override;

 private:
  // Writes the from part of pixels with its top-left at (x, y) into the image, through the
  // clip; the alpha bytes only when keepAlpha, else opaque.
  void WriteBlock(const Bitmap& pixels, const TRect& from, int32_t x, int32_t y, bool keepAlpha);
  struct State {
    Pen pen;
    Brush brush;
    Font font;
    uint32_t textAlign = TA_LEFT | TA_TOP;
    BkMode bkMode = BkMode::Opaque;
    TColor bkColor = clWhite;
    PolyFillMode fillMode = PolyFillMode::Alternate;
    TPoint brushOrigin;
    TPoint penPos;
    std::optional<Region> clip;
  };

  // What a shape paints: its interior with the brush, its outline with the pen.
  void PaintShape(const QPainterPath& interior, const QPainterPath& outline, bool fill);
  // A one-pixel solid outline of a rectangle, filled (pen colour, current raster operation).
  void FillThinFrame(const TRect& r);
  void StrokeOutline(const QPainterPath& outline);
  void FillInterior(const QPainterPath& interior, const QBrush& brush);
  // Whether a shape within the box paints no pixel of the device, whatever its pen.
  bool OffDevice(const TRect& box) const;
  bool OffDevice(int64_t left, int64_t top, int64_t right, int64_t bottom) const;
  bool PenDraws() const;
  // A solid pen of one pixel: QPainter's direct calls stroke it as its paths do.
  bool ThinSolidPen() const;
  // Sets the painter's pen for stroking with the canvas pen (kept between calls).
  void ApplyStrokePen(bool thin);
  bool BrushDraws() const;
  QBrush MakeBrush(const Brush& brush) const;
  // Sets the painter's composition for the pen's raster operation; false for "no operation".
  bool ApplyRop2() const;
  void ApplyCopy() const;
  void ApplyClip() const;
  void CombineClip(const Region& region, RegionMode mode);
  // The box that outlines are stroked on (see the class comment).
  QRectF OutlineBox(const TRect& box) const;
  QPainterPath ArcPath(const TRect& box, TPoint start, TPoint end, bool moveToStart) const;
  void AddArc(QPainterPath& path, const TRect& box, TPoint start, TPoint end, bool moveToStart) const;
  void PathAppend(const QPainterPath& figure);

  void RefreshFont();
  // Sets fontId_ to qfont_'s place in shapedFonts_, adding it there if new.
  void SelectShapedFont();
  // The plain-text glyphs of qfont_, made on its first level text.
  PlainTextGlyphs& PlainGlyphs();
  // Restores the painter's saved state, which may hold another font than qfont_.
  void RestorePainter();
  const QFont& CurrentQFont() const { return qfont_; }
  void DrawTextLine(int32_t x, int32_t y, std::string_view utf8, std::span<const int32_t> advances);

  QPaintDevice* device_;
  QImage* image_ = nullptr;
  bool ropsAsCopy_ = false;  // the image has alpha
  TSize size_;
  std::unique_ptr<QPainter> painter_;
  State state_;
  std::vector<State> saved_;
  QFont qfont_;
  // The metrics of qfont_, kept with it: building them for every text copies the font.
  QFontMetrics qmetrics_{QFont()};
  bool inPath_ = false;
  QPainterPath path_;
  // The outline of the ellipse or arc being stroked: cleared and refilled, it keeps its memory
  // between shapes instead of allocating a path for each.
  QPainterPath scratchPath_;
  bool directCalls_ = true;
  // Whether the painter's font is qfont_ (setting a font copies and resolves it).
  bool painterHasFont_ = false;
  // The QPen last built from the canvas pen, and what it was built from.
  QPen strokePen_;
  std::optional<Pen> strokePenOf_;
  bool strokePenThin_ = false;
  // Lines of text already shaped, by font and text; fontId_ is qfont_'s index in shapedFonts_.
  ShapedTextCache shapedText_;
  std::vector<QFont> shapedFonts_;
  int fontId_ = 0;
  // The glyphs and kerned pairs of plain text learned in each font, by fontId_.
  std::vector<std::shared_ptr<PlainTextGlyphs>> plainGlyphs_;
  // The QPen texts are written with, and the colour it was built from.
  QPen textPen_;
  std::optional<TColor> textPenOf_;
};

}  // namespace pv::qtcanvas
