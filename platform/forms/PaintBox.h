#pragma once
// A paint box: a widget whose picture is kept in an RGB32 image that a Canvas draws on, as
// the platform's paint box keeps its device context. Its owner paints in OnPaint, which
// runs on Repaint (and after a resize); drawing on Canvas() outside OnPaint (xor highlights,
// a rubber band) shows at the next screen update. Mouse events come with the platform's
// button and shift-state arguments.

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "canvas/CanvasTypes.h"
#include "forms/MouseInput.h"
#include "qtcanvas/QtCanvas.h"

namespace pv::forms {

using TMouseEvent = std::function<void(TMouseButton, TShiftState, int x, int y)>;
using TMouseMoveEvent = std::function<void(TShiftState, int x, int y)>;

// The platform's shift state of a Qt event's modifiers and buttons.
TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);
// The platform's button of a Qt event's button; none for the buttons it does not know.
std::optional<TMouseButton> ButtonOf(Qt::MouseButton button);

class TPaintBox : public QWidget {
 public:
  explicit TPaintBox(QWidget* parent = nullptr);
  ~TPaintBox() override;

  canvas::Canvas& Canvas();
  const QImage& Picture() const { return image_; }
  int Width() const { return width(); }
  int Height() const { return height(); }
  // The colour the picture is cleared to before OnPaint.
  canvas::TColor color = canvas::clBtnFace;

  // Clears the picture, runs OnPaint and shows the result.
  void Repaint();

  std::function<void()> OnPaint;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  std::function<void()> OnDblClick;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void Recreate();

  QImage image_;
  std::unique_ptr<qtcanvas::QtCanvas> canvas_;
};

}  // namespace pv::forms
