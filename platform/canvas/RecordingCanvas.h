#pragma once
// A canvas that draws nothing and records every call, in order, with the state it keeps like
// any other canvas (pen, brush, font, alignment, pen position, clip, saved states, the path
// being built). Tests read the record to see what model code drew; a record replays onto any
// other canvas, which makes it the metafile of the platform.
//
// Text is measured with fixed, simple metrics so that layouts are predictable in tests: for a
// font of em height e (a negative height -e, or a positive cell height h with e = h - h / 9),
// the cell is e + e / 8 pixels high (h itself for a positive height), the descent is a fifth
// of the cell, and every character advances by max(1, e / 2) pixels (one more when bold).

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "canvas/BitmapCanvas.h"
#include "canvas/Canvas.h"

namespace pv::canvas {

enum class CanvasOp {
  SetPen, SetBrush, SetFont, SetTextAlign, SetBkMode, SetBkColor, SetPolyFillMode, SetBrushOrigin,
  SaveState, RestoreState,
  MoveTo, LineTo, Polyline, Polygon, PolyPolygon, PolyBezier, PolyBezierTo, Rectangle, RoundRect,
  Ellipse, Arc, ArcTo, Chord, Pie, SetPixel, FillRect, FrameRect, DrawFocusRect, InvertRect,
  BeginPath, EndPath, AbortPath, CloseFigure, StrokePath, FillPath, StrokeAndFillPath, SelectClipPath,
  FillRgn, FrameRgn, SelectClipRgn, ExtSelectClipRgn, IntersectClipRect, ExcludeClipRect,
  TextOut, ExtTextOut, DrawText, Draw, StretchDraw, StretchBlt, SetPixels,
};

const char* CanvasOpName(CanvasOp op);

struct CanvasCommand {
  CanvasOp op = CanvasOp::MoveTo;
  // The integer parameters in the order of the call: coordinates, rectangles as left, top,
  // right, bottom, then radial points, sizes, flags, modes and colours.
  std::vector<int32_t> args;
  std::vector<TPoint> points;
  std::vector<int32_t> counts;  // polygon point counts, or text advances
  std::string text;
  Pen pen;      // SetPen
  Brush brush;  // SetBrush, FillRgn, FrameRgn
  Font font;    // SetFont
  std::optional<Region> region;
  std::shared_ptr<const Bitmap> bitmap;

  // One line such as "LineTo 3,4", "Ellipse 0,0,10,10" or "TextOut 5,6 \"abc\"".
  std::string ToString() const;
};

// Plays a record onto a canvas, call by call.
void Replay(const std::vector<CanvasCommand>& commands, Canvas& target);

class RecordingCanvas : public Canvas {
 public:
  // The size only bounds the clip box of an unclipped canvas.
  explicit RecordingCanvas(TSize size = {1 << 20, 1 << 20});

  const std::vector<CanvasCommand>& Commands() const { return commands_; }
  void Clear() { commands_.clear(); }
  // The commands as lines (ToString), for compact assertions.
  std::vector<std::string> Lines() const;
  size_t Count(CanvasOp op) const;
  bool InPath() const { return inPath_; }

  const Pen& GetPen() const override { return state_.pen; }
  void SetPen(const Pen& pen) override;
  const Brush& GetBrush() const override { return state_.brush; }
  void SetBrush(const Brush& brush) override;
  const Font& GetFont() const override { return state_.font; }
  void SetFont(const Font& font) override;
  uint32_t GetTextAlign() const override { return state_.textAlign; }
  void SetTextAlign(uint32_t flags) override;
  BkMode GetBkMode() const override { return state_.bkMode; }
  void SetBkMode(BkMode mode) override;
  TColor GetBkColor() const override { return state_.bkColor; }
  void SetBkColor(TColor color) override;
  PolyFillMode GetPolyFillMode() const override { return state_.fillMode; }
  void SetPolyFillMode(PolyFillMode mode) override;
  TPoint GetBrushOrigin() const override { return state_.brushOrigin; }
  void SetBrushOrigin(TPoint origin) override;
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
  int32_t GetFontEmSquare() const override { return kEmSquare; }
  static constexpr int32_t kEmSquare = 2048;

  void Draw(int32_t x, int32_t y, const Bitmap& bitmap) override;
  void StretchDraw(const TRect& rect, const Bitmap& bitmap) override;
  void StretchBlt(const TRect& dest, const Bitmap& source, const TRect& sourceRect, Rop3 rop) override;
  // It keeps no pixels: reading answers false; writing is recorded.
  bool GetPixels(const TRect& rect, Bitmap& out) const override;
  void SetPixels(int32_t x, int32_t y, const Bitmap& pixels) override;

 private:
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
  using Figure = std::vector<TPoint>;

  CanvasCommand& Record(CanvasOp op, std::vector<int32_t> args = {});
  void RecordShape(CanvasOp op, const TRect& rect, std::vector<int32_t> extra = {});
  void PathAddPoint(TPoint p);
  void PathAddFigure(Figure figure);
  void CombineClip(const Region& region, RegionMode mode);
  int32_t CharAdvance() const;

  TSize size_;
  State state_;
  std::vector<State> saved_;
  std::vector<CanvasCommand> commands_;
  bool inPath_ = false;
  std::vector<Figure> path_;  // flattened figures of the path being built or last ended
};

// The test double of the off-screen canvas factory (canvas/BitmapCanvas.h): it hands out
// recording canvases of the bitmap's size, which leave the bitmap untouched, and keeps what
// each of them recorded once its owner lets it go.
class RecordingBitmapCanvasFactory : public BitmapCanvasFactory {
 public:
  std::unique_ptr<Canvas> Create(Bitmap& bitmap) override;
  int created = 0;
  std::vector<std::vector<CanvasCommand>> finished;  // in the order the canvases were freed
  // Off: the canvases only measure and paint into nothing, and nothing piles up in finished
  // (a benchmark that makes a canvas per text would otherwise count every log as its own).
  bool keepLogs = true;
};

}  // namespace pv::canvas
