#pragma once
// A canvas seen through a shifted origin: every coordinate given to it is moved by -origin
// before it reaches the canvas underneath, and every coordinate it answers is moved back. An
// off-screen canvas on a bitmap that stands for the area of another canvas from `origin` on
// is painted with the same coordinates as that canvas.

#include <memory>

#include "canvas/Canvas.h"

namespace pv::canvas {

class OffsetCanvas : public Canvas {
 public:
  OffsetCanvas(std::unique_ptr<Canvas> inner, TPoint origin);

  Canvas& Inner() { return *inner_; }
  TPoint Origin() const { return origin_; }

  const Pen& GetPen() const override { return inner_->GetPen(); }
  void SetPen(const Pen& pen) override { inner_->SetPen(pen); }
  const Brush& GetBrush() const override { return inner_->GetBrush(); }
  void SetBrush(const Brush& brush) override { inner_->SetBrush(brush); }
  const Font& GetFont() const override { return inner_->GetFont(); }
  void SetFont(const Font& font) override { inner_->SetFont(font); }
  uint32_t GetTextAlign() const override { return inner_->GetTextAlign(); }
  void SetTextAlign(uint32_t flags) override { inner_->SetTextAlign(flags); }
  BkMode GetBkMode() const override { return inner_->GetBkMode(); }
  void SetBkMode(BkMode mode) override { inner_->SetBkMode(mode); }
  TColor GetBkColor() const override { return inner_->GetBkColor(); }
  void SetBkColor(TColor color) override { inner_->SetBkColor(color); }
  PolyFillMode GetPolyFillMode() const override { return inner_->GetPolyFillMode(); }
  void SetPolyFillMode(PolyFillMode mode) override { inner_->SetPolyFillMode(mode); }
  TPoint GetBrushOrigin() const override { return Out(inner_->GetBrushOrigin()); }
  void SetBrushOrigin(TPoint origin) override { inner_->SetBrushOrigin(In(origin)); }
  TPoint GetPenPos() const override { return Out(inner_->GetPenPos()); }
  void SaveState() override { inner_->SaveState(); }
  void RestoreState() override { inner_->RestoreState(); }

  void MoveTo(int32_t x, int32_t y) override { inner_->MoveTo(x - origin_.x, y - origin_.y); }
  void LineTo(int32_t x, int32_t y) override { inner_->LineTo(x - origin_.x, y - origin_.y); }
  void Polyline(std::span<const TPoint> points) override { inner_->Polyline(In(points)); }
  void Polygon(std::span<const TPoint> points) override { inner_->Polygon(In(points)); }
  void PolyPolygon(std::span<const TPoint> points, std::span<const int32_t> counts) override {
    inner_->PolyPolygon(In(points), counts);
  }
  void PolyBezier(std::span<const TPoint> points) override { inner_->PolyBezier(In(points)); }
  void PolyBezierTo(std::span<const TPoint> points) override { inner_->PolyBezierTo(In(points)); }
  void Rectangle(const TRect& rect) override { inner_->Rectangle(In(rect)); }
  void RoundRect(const TRect& rect, int32_t w, int32_t h) override { inner_->RoundRect(In(rect), w, h); }
  void Ellipse(const TRect& rect) override { inner_->Ellipse(In(rect)); }
  void Arc(const TRect& box, TPoint start, TPoint end) override { inner_->Arc(In(box), In(start), In(end)); }
  void ArcTo(const TRect& box, TPoint start, TPoint end) override { inner_->ArcTo(In(box), In(start), In(end)); }
  void Chord(const TRect& box, TPoint start, TPoint end) override { inner_->Chord(In(box), In(start), In(end)); }
  void Pie(const TRect& box, TPoint start, TPoint end) override { inner_->Pie(In(box), In(start), In(end)); }
  void SetPixel(int32_t x, int32_t y, TColor color) override { inner_->SetPixel(x - origin_.x, y - origin_.y, color); }
  uint32_t GetPixel(int32_t x, int32_t y) const override { return inner_->GetPixel(x - origin_.x, y - origin_.y); }
  void FillRect(const TRect& rect) override { inner_->FillRect(In(rect)); }
  void FrameRect(const TRect& rect) override { inner_->FrameRect(In(rect)); }
  void DrawFocusRect(const TRect& rect) override { inner_->DrawFocusRect(In(rect)); }
  void InvertRect(const TRect& rect) override { inner_->InvertRect(In(rect)); }

  void BeginPath() override { inner_->BeginPath(); }
  void EndPath() override { inner_->EndPath(); }
  void AbortPath() override { inner_->AbortPath(); }
  void CloseFigure() override { inner_->CloseFigure(); }
  void StrokePath() override { inner_->StrokePath(); }
  void FillPath() override { inner_->FillPath(); }
  void StrokeAndFillPath() override { inner_->StrokeAndFillPath(); }
  void SelectClipPath(RegionMode mode) override { inner_->SelectClipPath(mode); }
  Region PathToRegion() override { return Out(inner_->PathToRegion()); }

  void FillRgn(const Region& region, const Brush& brush) override { inner_->FillRgn(In(region), brush); }
  void FrameRgn(const Region& region, const Brush& brush, int32_t width, int32_t height) override {
    inner_->FrameRgn(In(region), brush, width, height);
  }
  void SelectClipRgn(const std::optional<Region>& region) override;
  void ExtSelectClipRgn(const Region& region, RegionMode mode) override { inner_->ExtSelectClipRgn(In(region), mode); }
  void IntersectClipRect(const TRect& rect) override { inner_->IntersectClipRect(In(rect)); }
  void ExcludeClipRect(const TRect& rect) override { inner_->ExcludeClipRect(In(rect)); }
  std::optional<Region> GetClipRgn() const override;
  TRect GetClipBox() const override { return Out(inner_->GetClipBox()); }

  void TextOut(int32_t x, int32_t y, std::string_view text) override {
    inner_->TextOut(x - origin_.x, y - origin_.y, text);
  }
  void ExtTextOut(int32_t x, int32_t y, uint32_t options, const TRect* rect, std::string_view text,
                  std::span<const int32_t> advances) override;
  int32_t DrawText(std::string_view text, TRect& rect, uint32_t format) override;
  TSize GetTextExtent(std::string_view text) const override { return inner_->GetTextExtent(text); }
  TextMetric GetTextMetrics() const override { return inner_->GetTextMetrics(); }
  std::vector<ABC> GetCharABCWidths(uint32_t first, uint32_t last) const override {
    return inner_->GetCharABCWidths(first, last);
  }
  int32_t GetFontEmSquare() const override { return inner_->GetFontEmSquare(); }

  void Draw(int32_t x, int32_t y, const Bitmap& bitmap) override { inner_->Draw(x - origin_.x, y - origin_.y, bitmap); }
  void StretchDraw(const TRect& rect, const Bitmap& bitmap) override { inner_->StretchDraw(In(rect), bitmap); }
  void StretchBlt(const TRect& dest, const Bitmap& source, const TRect& sourceRect, Rop3 rop) override {
    inner_->StretchBlt(In(dest), source, sourceRect, rop);
  }
  bool GetPixels(const TRect& rect, Bitmap& out) const override { return inner_->GetPixels(In(rect), out); }
  bool EditPixels(const TRect& rect, const PixelRunEdit& edit) override { return inner_->EditPixels(In(rect), edit); }
  void SetPixels(int32_t x, int32_t y, const Bitmap& pixels) override {
    inner_->SetPixels(x - origin_.x, y - origin_.y, pixels);
  }

 private:
  TPoint In(TPoint p) const { return {p.x - origin_.x, p.y - origin_.y}; }
  TPoint Out(TPoint p) const { return {p.x + origin_.x, p.y + origin_.y}; }
  TRect In(const TRect& r) const { return {r.left - origin_.x, r.top - origin_.y, r.right - origin_.x, r.bottom - origin_.y}; }
  TRect Out(const TRect& r) const { return {r.left + origin_.x, r.top + origin_.y, r.right + origin_.x, r.bottom + origin_.y}; }
  Region In(const Region& region) const;
  Region Out(const Region& region) const;
  std::vector<TPoint> In(std::span<const TPoint> points) const;

  std::unique_ptr<Canvas> inner_;
  TPoint origin_;
};

}  // namespace pv::canvas
