#pragma once
// An off-screen 32-bit buffer through which a control is painted with a transparency, and in
// which a picture can be kept pre-rendered.
//
// Pixels are 0xAARRGGBB with the alpha byte as the pixel's coverage: a cleared buffer is 0
// everywhere (untouched), and what the canvas paints comes out opaque (255). Raster
// operations other than copy fall back to copy inside the buffer. EndDraw blends the
// painted pixels into the target, or straight into the parent buffer's pixels when the parent
// paints the very same canvas and rect.

#include <functional>
#include <memory>

#include "canvas/Canvas.h"
#include "picture/Graphic.h"

namespace pv::graphics {

using namespace pv::canvas;

// Blends a source colour (0x00RRGGBB) of coverage c (0..255) into a destination pixel
// (0xAARRGGBB, alpha = the destination's coverage; 255 for an opaque device) and returns it.
uint32_t BlendPixel(uint32_t destination, uint32_t source, uint32_t coverage);

class TAlphaBuffer {
 public:
  using DrawRoutine = std::function<void(Canvas& canvas, const picture::Graphic& graphic)>;

  explicit TAlphaBuffer(TAlphaBuffer* parent = nullptr);
  virtual ~TAlphaBuffer();
  TAlphaBuffer(const TAlphaBuffer&) = delete;
  TAlphaBuffer& operator=(const TAlphaBuffer&) = delete;

  // Refused (false) while painting, without a target or for an empty rect, and when no
  // off-screen canvas can be made. Else the buffer covers rect, cleared, and Canvas() paints
  // into it with the target's coordinates.
  virtual bool BeginDraw(Canvas* target, const TRect& rect);
  // Blends what was painted into the target at the transparency percent (0 keeps each pixel's
  // own coverage; 100 or more, or a negative value, draws nothing) and ends the paint.
  virtual void EndDraw(int32_t transparency);

  // Renders the graphic into a buffer of exactly its size (by the routine when one is given)
  // and keeps it; without a graphic the buffer is freed. False while painting.
  bool CreateFromGraphic(const picture::Graphic* graphic, const DrawRoutine& draw = {});
  // Copies the source rect of the kept content into destRect of destination, nearest pixel,
  // whole pixels; untouched pixels leave the destination as it was.
  void PaintTo(TAlphaBuffer& destination, const TRect& destRect, const TRect& sourceRect) const;

  bool Drawing() const { return drawing_; }
  bool HoldsContent() const { return holdsContent_; }
  Canvas* GetCanvas() { return canvas_.get(); }
  const Bitmap& Pixels() const { return pixels_; }
  TSize AllocatedSize() const { return {allocatedWidth_, allocatedHeight_}; }
  const TRect& Rect() const { return rect_; }

 private:
  struct BlendTables;
  static void BlendRun(const BlendTables& tables, const uint32_t* from, uint32_t* to, int32_t count);
  void BlendInto(Bitmap& destination, int32_t transparency) const;
  void Release();

  TAlphaBuffer* parent_;
  Canvas* target_ = nullptr;
  TRect rect_;
  std::unique_ptr<Canvas> canvas_;
  int32_t allocatedWidth_ = 0;
  int32_t allocatedHeight_ = 0;
  Bitmap pixels_;
  Bitmap scratch_;  // the target's pixels while they are blended
  bool drawing_ = false;
  bool holdsContent_ = false;
};

}  // namespace pv::graphics
