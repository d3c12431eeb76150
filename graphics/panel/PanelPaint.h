#pragma once
// The paint list of a panel: the panel's paint state (canvas, origin, scale, paint
// rectangle, output, transparency and path flags) saved when a paint begins and put back
// when it ends, so that painting can nest: a control painting another panel's scheme, or a
// host painting the document into a second canvas while the window paints.

#include <cstdint>
#include <memory>
#include <vector>

#include "canvas/Canvas.h"
#include "canvas/CanvasTypes.h"

namespace pv::graphics {

class TVexaPanel;

struct TVexaPaintRecord {
  // The list held exactly this record when it was taken: the paint that began first.
  bool outermost = false;
  canvas::Canvas* canvas = nullptr;
  int32_t originX = 0;
  int32_t originY = 0;
  int32_t scale = 100;
  canvas::TRect paintRect{0, 0, 0, 0};
  int32_t width = 0;
  int32_t height = 0;
  bool output = false;
  bool transparency = false;
  bool pathFlag = false;
};

class TVexaPaintList {
 public:
  explicit TVexaPaintList(TVexaPanel& panel) : panel_(panel) {}
  TVexaPaintList(const TVexaPaintList&) = delete;
  TVexaPaintList& operator=(const TVexaPaintList&) = delete;

  // Saves the panel's paint state; the first record is reused, nested paints append.
  TVexaPaintRecord& BeginPaint(canvas::Canvas* canvas);
  // Puts the state saved in record back into the panel.
  void EndPaint(TVexaPaintRecord& record);
  // Records in use (the depth of nested painting).
  int Depth() const { return static_cast<int>(records_.size()) - 1 + (firstInUse_ ? 1 : 0); }

 private:
  TVexaPanel& panel_;
  // records_[0] is the reusable first record; the rest are nested paints.
  std::vector<std::unique_ptr<TVexaPaintRecord>> records_{};
  bool firstInUse_ = false;
};

}  // namespace pv::graphics
