#pragma once
// A picture of a control: any registered graphic kind, optionally cut into a grid of frames
// (bitmaps, or any graphic once pre-rendered into a fast buffer), optionally linked to a file,
// and optionally held only in its stream form to save memory (buffered).

#include <functional>
#include <memory>
#include <stdexcept>

#include "canvas/Bitmap.h"
#include "paint/AlphaBuffer.h"
#include "picture/Picture.h"
#include "props/Prop.h"

namespace pv::graphics {

// "Can't change buffered picture" and the like.
class EPictureProp : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TPictureProp : public TCustomProp {
 public:
  // May paint the buffer itself: clearing canPaint stops the graphic's own drawing.
  using PaintHook = std::function<void(TPictureProp& prop, TAlphaBuffer& buffer, bool& canPaint,
                                       const picture::Graphic& graphic, canvas::Canvas& canvas)>;

  TPictureProp() { SetKind(TPropKind::SubProperties); }
  const char* ClassName() const override { return "TPictureProp"; }
  std::string GetDisplayValue() const override { return "(Picture)"; }

  const picture::Graphic* GetGraphic() const { return picture_.GetGraphic(); }
  // Takes a copy of the graphic (none clears the picture).
  void SetGraphic(const picture::Graphic* graphic);
  const std::string& GraphicClass() const { return graphicClass_; }
  bool IsEmpty() const { return empty_; }
  int32_t GraphicWidth() const { return width_; }
  int32_t GraphicHeight() const { return height_; }
  bool IsBitmap() const;

  int32_t GetColumns() const { return columns_; }
  void SetColumns(int32_t columns);
  int32_t GetRows() const { return rows_; }
  void SetRows(int32_t rows);
  bool GetMasked() const { return masked_; }
  void SetMasked(bool masked);
  TColor GetMaskColor() const { return maskColor_; }
  void SetMaskColor(TColor color);
  const std::string& GetLinkName() const { return linkName_; }
  void SetLinkName(const std::string& name);
  bool GetFastBuffer() const { return fastBufferOn_; }
  void SetFastBuffer(bool on);
  const TAlphaBuffer* FastBufferObject() const { return fastBuffer_.get(); }
  bool GetBuffered() const { return buffered_; }
  void SetBuffered(bool on);

  TSize GetFrameSize() const;
  TRect GetFrameRect(int32_t index) const;
  // The cell of that index as a bitmap of its own, with the source's transparency; none when
  // the source is not a bitmap.
  virtual std::unique_ptr<Bitmap> CreateFrameBitmap(const Bitmap& bitmap, int32_t index) const;
  void Draw(canvas::Canvas& canvas, const TRect& rect, TAlphaBuffer* target, bool masked, int32_t frameIndex);
  virtual void DrawToBuffer();

  PaintHook OnPaint;

  int PublishedCount() const override { return 7; }
  TPublishedInfo PublishedInfo(int index) const override;
  PropValue GetPublished(int index) const override;
  void SetPublished(int index, const PropValue& value) override;
  bool PublishedStored(int index) const override;

 private:
  void PictureChanged();
  void RequireUnbuffered() const;
  void SetGrid(int32_t& field, int32_t value);
  std::vector<uint8_t> StreamBytes() const;

  picture::Picture picture_;
  std::string graphicClass_;
  bool empty_ = true;
  int32_t width_ = 0;
  int32_t height_ = 0;
  bool buffered_ = false;
  std::vector<uint8_t> buffer_;
  std::unique_ptr<TAlphaBuffer> fastBuffer_;
  int32_t columns_ = 1;
  int32_t rows_ = 1;
  bool masked_ = false;
  TColor maskColor_ = 0;
  std::string linkName_;
  bool fastBufferOn_ = false;
};

}  // namespace pv::graphics
