#include "forms/PaintBox.h"

#include <QMouseEvent>
#include <QPainter>

#include "forms/Handlers.h"

namespace pv::forms {

namespace {

// The picture covers the widget, and is never empty.
QSize PictureSize(const QWidget& widget) { return QSize(std::max(1, widget.width()), std::max(1, widget.height())); }

}  // namespace

std::optional<TMouseButton> ButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return TMouseButton::mbLeft;
    case Qt::RightButton: return TMouseButton::mbRight;
    case Qt::MiddleButton: return TMouseButton::mbMiddle;
    default: return std::nullopt;
  }
}

TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  TShiftState s = 0;
  if (modifiers & Qt::ShiftModifier) s |= ssShift;
  if (modifiers & Qt::AltModifier) s |= ssAlt;
  if (modifiers & Qt::ControlModifier) s |= ssCtrl;
  if (buttons & Qt::LeftButton) s |= ssLeft;
  if (buttons & Qt::RightButton) s |= ssRight;
  if (buttons & Qt::MiddleButton) s |= ssMiddle;
  return s;
}

TPaintBox::TPaintBox(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  Recreate();
}

TPaintBox::~TPaintBox() { canvas_.reset(); }

canvas::Canvas& TPaintBox::Canvas() { return *canvas_; }

void TPaintBox::Recreate() {
  // The canvas keeps its pen, brush and font across a new picture, as a device context does.
  std::optional<canvas::Pen> pen;
  std::optional<canvas::Brush> brush;
  std::optional<canvas::Font> font;
  if (canvas_) {
    pen = canvas_->GetPen();
    brush = canvas_->GetBrush();
    font = canvas_->GetFont();
  }
  canvas_.reset();
  image_ = QImage(PictureSize(*this), QImage::Format_RGB32);
  image_.fill(qtcanvas::ToQColor(color));
  canvas_ = std::make_unique<qtcanvas::QtCanvas>(image_);
  if (pen) canvas_->SetPen(*pen);
  if (brush) canvas_->SetBrush(*brush);
  if (font) canvas_->SetFont(*font);
}

void TPaintBox::Repaint() {
  // A hidden widget hears of its size only when shown; the picture follows it here too.
  if (image_.size() != PictureSize(*this)) Recreate();
  image_.fill(qtcanvas::ToQColor(color));
  if (OnPaint) Guarded(this, OnPaint);
  update();
}

void TPaintBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, image_);
}

void TPaintBox::resizeEvent(QResizeEvent*) {
  if (image_.size() == PictureSize(*this)) return;
  Recreate();
  Repaint();
}

void TPaintBox::mousePressEvent(QMouseEvent* event) {
  const auto button = ButtonOf(event->button());
  if (!button || !OnMouseDown) return;
  const QPoint p = event->position().toPoint();
  Guarded(this, [&] { OnMouseDown(*button, ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y()); });
}

void TPaintBox::mouseReleaseEvent(QMouseEvent* event) {
  const auto button = ButtonOf(event->button());
  if (!button || !OnMouseUp) return;
  const QPoint p = event->position().toPoint();
  Guarded(this, [&] { OnMouseUp(*button, ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y()); });
}

void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
  if (!OnMouseMove) return;
  const QPoint p = event->position().toPoint();
  Guarded(this, [&] { OnMouseMove(ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y()); });
}

void TPaintBox::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double-click: the double-click event, then the press with ssDouble.
  if (OnDblClick && event->button() == Qt::LeftButton) Guarded(this, OnDblClick);
  const auto button = ButtonOf(event->button());
  if (!button || !OnMouseDown) return;
  const QPoint p = event->position().toPoint();
  Guarded(this, [&] {
    OnMouseDown(*button, ShiftStateOf(event->modifiers(), event->buttons()) | ssDouble, p.x(), p.y());
  });
}

}  // namespace pv::forms
