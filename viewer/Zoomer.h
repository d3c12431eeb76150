#pragma once
// Zoom_panel: a paint box showing a world window of the drawing at one scale on both axes,
// with zoom buttons (out, in, last view, reset), a rubber band to zoom to, double-click to
// recentre, two scroll bars to pan, and labels for the world point under the mouse and the
// zoom ratio. The panel draws nothing of the drawing: its owner paints in OnPaint through
// WorldToScreen, which entities receive as their world-to-screen function.

#include <QWidget>
#include <functional>

#include "DXF_entity.h"
#include "Zoom_view.h"
#include "forms/PaintBox.h"
#include "forms/Timer.h"

class QLabel;
class QScrollBar;
class QToolButton;

namespace pv::viewer {

class Zoom_panel : public QWidget {
 public:
  enum class Button { ZMinus, ZPlus, ZLast, ZReset };

  explicit Zoom_panel(QWidget* parent = nullptr);
  ~Zoom_panel() override;

  double ZoomFactor() const { return zoomFactor_; }
  void SetZoomFactor(double f) { zoomFactor_ = f == 0.0 ? 1.25 : f; }

  void SetWindow(int marginX, int marginY, const WorldRect& rect);
  // The world-to-screen function of the entities; the panel is the user data. With a
  // matrix, a pixel beyond the integer range brings the last view back (the point comes out
  // as (0, 0)); without one, the std::range_error goes to the caller.
  static canvas::TPoint WorldToScreen(void* panel, const Point3D& p, const Matrix4x4* matrix);
  Point3D ScreenToWorld(int x, int y) const { return views_.ScreenToWorld(x, y); }
  void ZoomBy(double f);
  void ZoomToRect(const WorldRect& rect);
  void Recentre(int x, int y);
  void RestoreLastView();
  void UpdateScrollBars();

  forms::TPaintBox& PaintBox() { return *paintBox_; }
  const ZoomViews& Views() const { return views_; }
  QString CoordinateCaption() const;
  QString RatioCaption() const;
  QToolButton* ButtonWidget(Button button) const;
  QScrollBar* HorizontalBar() const { return hBar_; }
  QScrollBar* VerticalBar() const { return vBar_; }
  forms::TTimer& RepeatTimer() { return repeatTimer_; }

  std::function<void()> OnZoomin;
  std::function<void()> OnZoomout;
  std::function<void()> OnZoomreset;
  std::function<void(QObject* sender)> OnPaint;
  forms::TMouseEvent OnMouseDown;
  forms::TMouseEvent OnMouseUp;
  forms::TMouseMoveEvent OnMouseMove;
  std::function<void()> OnDblClick;

  // Repaints the paint box (clears it and runs OnPaint).
  void Repaint();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void LayoutChildren();
  void UpdateRatioLabel();
  void AfterViewChange();
  void ZoomStep();
  void ButtonDown(Button button);
  void ButtonUp();
  void ResetClick();
  void HorizontalScrolled(int value);
  void VerticalScrolled(int value);
  void DrawBand(canvas::TPoint from, canvas::TPoint to);
  void PaintBoxMouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y);
  void PaintBoxMouseMove(forms::TShiftState shift, int x, int y);
  void PaintBoxMouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y);
  void PaintBoxDblClick();

  ZoomViews views_;
  double zoomFactor_ = 1.25;
  QWidget* rightPanel_;
  QWidget* bottomPanel_;
  QScrollBar* vBar_;
  QScrollBar* hBar_;
  QToolButton* zMinus_;
  QToolButton* zPlus_;
  QToolButton* zLast_;
  QToolButton* zReset_;
  QLabel* coordLabel_;
  QLabel* ratioLabel_;
  forms::TPaintBox* paintBox_;
  forms::TTimer repeatTimer_{500};
  bool repeatIn_ = false;
  bool repeatOut_ = false;
  bool band_ = false;
  canvas::TPoint bandStart_;
  canvas::TPoint bandEnd_;
  canvas::TPoint lastDown_;
  int hPosition_ = 500;
  int vPosition_ = 500;
  bool settingBars_ = false;
};

}  // namespace pv::viewer
