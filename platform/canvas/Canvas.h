#pragma once
// The drawing surface that model code paints on. It keeps the semantics of the Windows
// graphics device interface that the programs were written against, so that model code reads
// as it was designed and every backend answers the same:
//  - integer pixels; rectangles exclude their right and bottom edges, so a shape drawn with a
//    one-pixel pen covers exactly its rectangle (an inside-frame pen keeps wider outlines
//    inside it too);
//  - the current pen (style, width 0 = cosmetic, inside-frame, one of 16 raster operations),
//    brush (solid, clear, hatched, bitmap, with an origin) and font (negative height = em
//    pixels, positive = cell height, escapement) are state of the canvas;
//  - arcs, chords and pies are given by a bounding box and two radial points and run
//    counter-clockwise as seen on the screen; equal radials give the whole ellipse;
//  - between BeginPath and EndPath, the drawing operations build the path instead of drawing;
//  - text is placed by the text alignment flags (cell top, baseline or cell bottom) and
//    written in the font colour, with the background filled when the mode is opaque;
//  - choosing a brush sets that mode as the programs expect of their canvas: a clear brush
//    writes text on a transparent background, a solid one on an opaque one (BkModeOfBrush).
// Text is UTF-8. Backends: the Qt painter backend for windows and bitmaps, and the recording
// canvas (RecordingCanvas.h) for tests and metafiles.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "canvas/Bitmap.h"
#include "canvas/CanvasTypes.h"
#include "canvas/Region.h"

namespace pv::canvas {

// The background mode a brush brings with it. The programs clear the brush before they write
// text so that it leaves what is under it, and fill a text's cell by choosing a solid brush;
// a hatched brush leaves the mode as it was, so its gaps are filled as before.
inline std::optional<BkMode> BkModeOfBrush(const Brush& brush) {
  switch (brush.style) {
    case BrushStyle::Clear: return BkMode::Transparent;
    case BrushStyle::Solid: return BkMode::Opaque;
    default: return std::nullopt;
  }
}

class Canvas {
 public:
  virtual ~Canvas() = default;

  // ---- State --------------------------------------------------------------------------
  virtual const Pen& GetPen() const = 0;
  virtual void SetPen(const Pen& pen) = 0;
  virtual const Brush& GetBrush() const = 0;
  // Also sets the background mode that the brush brings (BkModeOfBrush).
  virtual void SetBrush(const Brush& brush) = 0;
  virtual const Font& GetFont() const = 0;
  virtual void SetFont(const Font& font) = 0;
  virtual uint32_t GetTextAlign() const = 0;
  virtual void SetTextAlign(uint32_t flags) = 0;
  virtual BkMode GetBkMode() const = 0;
  virtual void SetBkMode(BkMode mode) = 0;
  virtual TColor GetBkColor() const = 0;
  virtual void SetBkColor(TColor color) = 0;
  virtual PolyFillMode GetPolyFillMode() const = 0;
  virtual void SetPolyFillMode(PolyFillMode mode) = 0;
  virtual TPoint GetBrushOrigin() const = 0;
  virtual void SetBrushOrigin(TPoint origin) = 0;
  virtual TPoint GetPenPos() const = 0;
  // Saves every piece of state above and the clip; RestoreState takes back the latest save.
  virtual void SaveState() = 0;
  virtual void RestoreState() = 0;

  // Each of these changes one attribute of the current pen, brush or font.
  void SetPenColor(TColor color);
  void SetPenStyle(PenStyle style);
  void SetPenWidth(int32_t width);
  void SetPenMode(PenMode mode);
  void SetBrushColor(TColor color);
  void SetBrushStyle(BrushStyle style);
  void SetFontColor(TColor color);
  void SetFontHeight(int32_t height);
  void SetFontName(std::string_view name);

  // ---- Lines and shapes ---------------------------------------------------------------
  virtual void MoveTo(int32_t x, int32_t y) = 0;
  virtual void LineTo(int32_t x, int32_t y) = 0;  // the end pixel is not drawn
  virtual void Polyline(std::span<const TPoint> points) = 0;
  virtual void Polygon(std::span<const TPoint> points) = 0;  // outlined and filled
  virtual void PolyPolygon(std::span<const TPoint> points, std::span<const int32_t> counts) = 0;
  virtual void PolyBezier(std::span<const TPoint> points) = 0;    // 1 + 3n points
  virtual void PolyBezierTo(std::span<const TPoint> points) = 0;  // 3n points from the pen position
  virtual void Rectangle(const TRect& rect) = 0;
  virtual void RoundRect(const TRect& rect, int32_t cornerWidth, int32_t cornerHeight) = 0;
  virtual void Ellipse(const TRect& rect) = 0;
  virtual void Arc(const TRect& box, TPoint start, TPoint end) = 0;
  virtual void ArcTo(const TRect& box, TPoint start, TPoint end) = 0;  // joins the pen position
  virtual void Chord(const TRect& box, TPoint start, TPoint end) = 0;
  virtual void Pie(const TRect& box, TPoint start, TPoint end) = 0;
  virtual void SetPixel(int32_t x, int32_t y, TColor color) = 0;
  virtual uint32_t GetPixel(int32_t x, int32_t y) const = 0;  // 0x00BBGGRR or CLR_INVALID
  virtual void FillRect(const TRect& rect) = 0;                // with the brush, no outline
  virtual void FrameRect(const TRect& rect) = 0;               // one pixel, in the brush colour
  virtual void DrawFocusRect(const TRect& rect) = 0;           // dotted, xor: a second call removes it
  virtual void InvertRect(const TRect& rect) = 0;

  // ---- Paths --------------------------------------------------------------------------
  virtual void BeginPath() = 0;
  virtual void EndPath() = 0;
  virtual void AbortPath() = 0;
  virtual void CloseFigure() = 0;
  virtual void StrokePath() = 0;
  virtual void FillPath() = 0;
  virtual void StrokeAndFillPath() = 0;
  virtual void SelectClipPath(RegionMode mode) = 0;
  virtual Region PathToRegion() = 0;

  // ---- Regions and clipping -----------------------------------------------------------
  virtual void FillRgn(const Region& region, const Brush& brush) = 0;
  virtual void FrameRgn(const Region& region, const Brush& brush, int32_t width, int32_t height) = 0;
  // Sets the clip; no region removes clipping.
  virtual void SelectClipRgn(const std::optional<Region>& region) = 0;
  virtual void ExtSelectClipRgn(const Region& region, RegionMode mode) = 0;
  virtual void IntersectClipRect(const TRect& rect) = 0;
  virtual void ExcludeClipRect(const TRect& rect) = 0;
  virtual std::optional<Region> GetClipRgn() const = 0;  // none when the canvas is not clipped
  virtual TRect GetClipBox() const = 0;

  // ---- Text ---------------------------------------------------------------------------
  virtual void TextOut(int32_t x, int32_t y, std::string_view text) = 0;
  // advances, when given, hold one distance to the next character per character.
  virtual void ExtTextOut(int32_t x, int32_t y, uint32_t options, const TRect* rect, std::string_view text,
                          std::span<const int32_t> advances) = 0;
  // Draws (or with DT_CALCRECT measures, widening or lowering rect) and returns the height.
  virtual int32_t DrawText(std::string_view text, TRect& rect, uint32_t format) = 0;
  virtual TSize GetTextExtent(std::string_view text) const = 0;
  virtual TextMetric GetTextMetrics() const = 0;
  virtual std::vector<ABC> GetCharABCWidths(uint32_t first, uint32_t last) const = 0;
  // The em square of the current font's design, in design units (2048 for most outline faces).
  virtual int32_t GetFontEmSquare() const = 0;
  int32_t TextWidth(std::string_view text) const { return GetTextExtent(text).cx; }
  int32_t TextHeight(std::string_view text) const { return GetTextExtent(text).cy; }

  // ---- Bitmaps ------------------------------------------------------------------------
  virtual void Draw(int32_t x, int32_t y, const Bitmap& bitmap) = 0;  // honours transparency
  virtual void StretchDraw(const TRect& rect, const Bitmap& bitmap) = 0;
  virtual void StretchBlt(const TRect& dest, const Bitmap& source, const TRect& sourceRect, Rop3 rop) = 0;

  // ---- Pixel blocks -------------------------------------------------------------------
  // Reads the pixels of rect into out, which becomes an Argb32 bitmap of the rect's size: a
  // device without alpha reads as opaque (alpha 255), pixels outside the device as 0. False,
  // and out untouched, when the canvas keeps no pixels.
  virtual bool GetPixels(const TRect& rect, Bitmap& out) const = 0;
  // Writes the pixels of the bitmap with its top-left at (x, y), unchanged (no raster
  // operation, no transparency), wherever the clip lets them through. A device with alpha
  // takes the alpha bytes of an Argb32 bitmap too (opaque for an Rgb32 one).
  virtual void SetPixels(int32_t x, int32_t y, const Bitmap& pixels) = 0;
  // Edits the pixels of rect in place, as GetPixels followed by SetPixels would but without
  // the two copies: edit gets each run of the device's pixels inside rect that the clip lets
  // through, as Argb32 (alpha 255 on a device without alpha), with the run's position relative
  // to rect's top-left. False, and edit never called, when the canvas keeps no pixels.
  using PixelRunEdit = std::function<void(uint32_t* run, int32_t x, int32_t y, int32_t count)>;
  virtual bool EditPixels(const TRect& rect, const PixelRunEdit& edit) {
    (void)rect;
    (void)edit;
    return false;
  }
};

}  // namespace pv::canvas
