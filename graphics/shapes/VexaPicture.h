#pragma once
// A picture in the document: one graphic, or one frame of a grid of frames, stretched over the
// control's box. It can size itself to the picture, keep a pre-rendered fast buffer (and then
// always paint through the alpha buffer), and without a picture shows a crossed placeholder
// frame only while editing.

#include "controls/VexaControl.h"
#include "props/PictureProp.h"

namespace pv::graphics {

class TVexaPicture : public TVexaControl {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }

  bool GetAutoSize() const { return autoSize_->GetValue(); }
  void SetAutoSize(bool on) { autoSize_->SetValue(on); }
  TPictureProp& Picture() const { return *picture_; }
  int32_t GetFrameIndex() const { return frameIndex_->GetValue(); }
  void SetFrameIndex(int32_t index) { frameIndex_->SetValue(index); }

  void Paint(canvas::Canvas& canvas, const TRect& rect) override;
  void PaintAll(canvas::Canvas& canvas, int32_t originX, int32_t originY) override;
  bool IsPointInside(int32_t x, int32_t y) const override;
  // Nine points over the picture's own area (its box less one pixel right and bottom).
  TPoint GetLinkPoint(int index) const override;
  int GetLinkPointCount() const override { return 9; }
  int GetCreateCursor() const override { return 11; }

 protected:
  void CreateProperties() override;
  void ControlCreate() override;
  void PropChanged(TCustomProp& prop) override;
  void PropStored(TCustomProp& prop, std::string_view subName, bool& stored) override;

 private:
  bool HasPicture() const { return !picture_->IsEmpty(); }
  void FitToPicture();
  void SetSizeReadOnly(bool readOnly);
  void PaintPlaceholder(canvas::Canvas& canvas, const TRect& rect);

  TBoolProp* autoSize_ = nullptr;
  TPictureProp* picture_ = nullptr;
  TIntProp* frameIndex_ = nullptr;
};

}  // namespace pv::graphics
