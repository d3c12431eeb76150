#pragma once
// Undo of a control's document rectangle and of its points.

#include <vector>

#include "actions/IdHistoryAction.h"

namespace pv::graphics {

class TDocRectHistoryAction : public TIdHistoryAction {
 public:
  static const THistoryActionClass ClassInfo;
  using TIdHistoryAction::TIdHistoryAction;
  const THistoryActionClass& ClassType() const override { return ClassInfo; }

  void RecordAction(TVexaObject* source) override;
  void UndoAction(TVexaObject* source) override;
  void RedoAction(TVexaObject* source) override;
  // Moves the recorded rectangle (a parent's move recorded for its children).
  void OffsetRecordedRect(int32_t dx, int32_t dy);
  // Records the rectangle a parent's bracket found before it began.
  void SetRecordedRect(const TRect& rect);

  bool Recorded() const { return hasUndo_; }
  const TRect& UndoRect() const { return undo_; }

 private:
  TRect undo_;
  TRect redo_;
  bool hasUndo_ = false;
  bool hasRedo_ = false;
};

class TPointsHistoryAction : public TIdHistoryAction {
 public:
  static const THistoryActionClass ClassInfo;
  using TIdHistoryAction::TIdHistoryAction;
  const THistoryActionClass& ClassType() const override { return ClassInfo; }

  void RecordAction(TVexaObject* source) override;
  void UndoAction(TVexaObject* source) override;
  void RedoAction(TVexaObject* source) override;
  // The undo rectangle becomes the one saved when the control's update bracket began.
  void TakeUpdateRect(const IDocControl& control);
  void OffsetRecordedRect(int32_t dx, int32_t dy);
  // Records the geometry a parent's bracket found before it began.
  void SetRecorded(const TRect& rect, std::vector<TPoint> points, std::vector<uint8_t> types);

 private:
  struct PointsRecord {
    bool filled = false;
    TRect rect;
    std::vector<TPoint> points;
    std::vector<uint8_t> types;
  };
  static void Fill(PointsRecord& record, const IDocControl& control);
  static void Apply(const PointsRecord& record, IDocControl& control);

  PointsRecord undo_;
  PointsRecord redo_;
};

}  // namespace pv::graphics
