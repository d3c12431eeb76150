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

class TVexaControl;
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

// A scheme's controls in paint order with the document rectangles they can paint, bucketed
// in a grid of cells: a repaint of a small rectangle visits only the controls near it. The
// panel rebuilds it after any change to the document.
class TVexaPaintIndex {
 public:
  // The scheme's controls as they paint with the scheme's left-top at document (x, y).
  TVexaPaintIndex(const TVexaControl& scheme, const TVexaControl& layers, int32_t x, int32_t y);
  // The controls whose paint extent meets docRect (edges included), in paint order.
  void Query(const canvas::TRect& docRect, std::vector<TVexaControl*>& out) const;
  struct Entry {
    TVexaControl* control = nullptr;
    int32_t x = 0;  // where the control paints (its document left-top)
    int32_t y = 0;
    canvas::TRect extent{};
  };
  const std::vector<Entry>& Entries() const { return entries_; }
  int32_t X() const { return x_; }
  int32_t Y() const { return y_; }

 private:
  int CellColumn(int64_t x) const;
  int CellRow(int64_t y) const;

  int32_t x_;
  int32_t y_;
  std::vector<Entry> entries_;
  canvas::TRect bounds_{0, 0, 0, 0};
  int64_t cellWidth_ = 1;
  int64_t cellHeight_ = 1;
  int columns_ = 0;
  int rows_ = 0;
  std::vector<std::vector<int32_t>> cells_;
  // Controls spanning many cells are listed once here instead.
  std::vector<int32_t> large_;
  mutable std::vector<uint32_t> seen_;
  mutable uint32_t stamp_ = 0;
};

}  // namespace pv::graphics
