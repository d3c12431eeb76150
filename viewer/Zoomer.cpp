#include "Zoomer.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <stdexcept>

#include "forms/Handlers.h"

namespace pv::viewer {

namespace {

// The four glyphs: minus, plus, an arrow back to the last view, and the whole drawing.
QIcon Glyph(Zoom_panel::Button button) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setPen(QPen(Qt::black, 2));
  switch (button) {
    case Zoom_panel::Button::ZMinus: p.drawLine(3, 8, 13, 8); break;
    case Zoom_panel::Button::ZPlus:
      p.drawLine(3, 8, 13, 8);
      p.drawLine(8, 3, 8, 13);
      break;
    case Zoom_panel::Button::ZLast:
      p.drawLine(3, 8, 13, 8);
      p.drawLine(3, 8, 7, 4);
      p.drawLine(3, 8, 7, 12);
      break;
    case Zoom_panel::Button::ZReset:
      p.drawRect(3, 3, 10, 10);
      p.drawPoint(8, 8);
      break;
  }
  return QIcon(pixmap);
}

QToolButton* MakeButton(QWidget* parent, Zoom_panel::Button button, const char* name) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setIcon(Glyph(button));
  b->setAutoRaise(true);
  return b;
}

}  // namespace

Zoom_panel::Zoom_panel(QWidget* parent) : QWidget(parent) {
  rightPanel_ = new QWidget(this);
  vBar_ = new QScrollBar(Qt::Vertical, rightPanel_);
  bottomPanel_ = new QWidget(this);
  hBar_ = new QScrollBar(Qt::Horizontal, bottomPanel_);
  for (QScrollBar* bar : {hBar_, vBar_}) {
    bar->setRange(0, 1000);
    bar->setValue(500);
    bar->setPageStep(917);
  }
  zMinus_ = MakeButton(bottomPanel_, Button::ZMinus, "Z_MINUS");
  zPlus_ = MakeButton(bottomPanel_, Button::ZPlus, "Z_PLUS");
  zLast_ = MakeButton(bottomPanel_, Button::ZLast, "Z_LAST");
  zReset_ = MakeButton(bottomPanel_, Button::ZReset, "Z_RESET");
  coordLabel_ = new QLabel(QStringLiteral("X= 0.000  Y= 0.000"), bottomPanel_);
  ratioLabel_ = new QLabel(QStringLiteral("1 : 1"), bottomPanel_);
  coordLabel_->setStyleSheet(QStringLiteral("color: #000080"));  // navy
  ratioLabel_->setStyleSheet(QStringLiteral("color: #800000"));  // maroon
  paintBox_ = new forms::TPaintBox(this);
  paintBox_->setCursor(Qt::CrossCursor);

  paintBox_->OnPaint = [this] {
    if (!OnPaint) return;
    try {
      OnPaint(this);
    } catch (...) {
      // A drawing that cannot be painted at this zoom (a pixel beyond the integer range)
      // stops a held zoom button before its error box shows, or the box would come back
      // with every repeat.
      ButtonUp();
      throw;
    }
  };
  paintBox_->OnMouseDown = [this](forms::TMouseButton b, forms::TShiftState s, int x, int y) {
    PaintBoxMouseDown(b, s, x, y);
  };
  paintBox_->OnMouseMove = [this](forms::TShiftState s, int x, int y) { PaintBoxMouseMove(s, x, y); };
  paintBox_->OnMouseUp = [this](forms::TMouseButton b, forms::TShiftState s, int x, int y) {
    PaintBoxMouseUp(b, s, x, y);
  };
  paintBox_->OnDblClick = [this] { PaintBoxDblClick(); };

  // The zoom buttons act on mouse-down and repeat while held.
  connect(zMinus_, &QToolButton::pressed, this, [this] { forms::Guarded(this, [&] { ButtonDown(Button::ZMinus); }); });
  connect(zPlus_, &QToolButton::pressed, this, [this] { forms::Guarded(this, [&] { ButtonDown(Button::ZPlus); }); });
  connect(zMinus_, &QToolButton::released, this, [this] { ButtonUp(); });
  connect(zPlus_, &QToolButton::released, this, [this] { ButtonUp(); });
  connect(zLast_, &QToolButton::clicked, this, [this] { forms::Guarded(this, [&] { RestoreLastView(); }); });
  connect(zReset_, &QToolButton::clicked, this, [this] { forms::Guarded(this, [&] { ResetClick(); }); });
  connect(hBar_, &QScrollBar::valueChanged, this,
          [this](int v) { forms::Guarded(this, [&] { HorizontalScrolled(v); }); });
  connect(vBar_, &QScrollBar::valueChanged, this,
          [this](int v) { forms::Guarded(this, [&] { VerticalScrolled(v); }); });
  repeatTimer_.OnTimer = [this] {
    forms::Guarded(this, [&] {
      repeatTimer_.SetInterval(25);
      ZoomStep();
    });
  };
  LayoutChildren();
}

Zoom_panel::~Zoom_panel() = default;

QToolButton* Zoom_panel::ButtonWidget(Button button) const {
  switch (button) {
    case Button::ZMinus: return zMinus_;
    case Button::ZPlus: return zPlus_;
    case Button::ZLast: return zLast_;
    case Button::ZReset: return zReset_;
  }
  return nullptr;
}

QString Zoom_panel::CoordinateCaption() const { return coordLabel_->text(); }
QString Zoom_panel::RatioCaption() const { return ratioLabel_->text(); }

void Zoom_panel::resizeEvent(QResizeEvent*) { LayoutChildren(); }

void Zoom_panel::LayoutChildren() {
  const int h = style()->pixelMetric(QStyle::PM_ScrollBarExtent);  // horizontal bar height
  const int v = h;                                                 // vertical bar width
  const int bottomHeight = 2 * h;
  bottomPanel_->setGeometry(0, height() - bottomHeight, width(), bottomHeight);
  rightPanel_->setGeometry(width() - v, 0, v, height() - bottomHeight);
  paintBox_->setGeometry(0, 0, std::max(1, width() - v), std::max(1, height() - bottomHeight));
  const int barHeight = bottomHeight / 2;
  const int barWidth = std::max(0, width() - 8 * v);
  hBar_->setGeometry(0, 0, barWidth, barHeight);
  vBar_->setGeometry(0, 0, v, rightPanel_->height());
  const int buttonWidth = 2 * v;
  int left = barWidth;
  for (QToolButton* b : {zMinus_, zPlus_, zLast_, zReset_}) {
    b->setGeometry(left, 0, buttonWidth, 2 * barHeight);
    left += buttonWidth;
  }
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(std::max(1, barHeight - 1));
  for (QLabel* label : {coordLabel_, ratioLabel_}) {
    label->setFont(font);
    label->adjustSize();
  }
  coordLabel_->move(8, barHeight + 1);
  ratioLabel_->move(zMinus_->x() - 2 * buttonWidth, barHeight + 1);
}

void Zoom_panel::SetWindow(int marginX, int marginY, const WorldRect& rect) {
  views_.SetWindow(marginX, marginY, rect, paintBox_->Width(), paintBox_->Height());
}

canvas::TPoint Zoom_panel::WorldToScreen(void* panel, const Point3D& p, const Matrix4x4* matrix) {
  auto* self = static_cast<Zoom_panel*>(panel);
  if (!matrix) return self->views_.WorldToScreen(p, nullptr);
  try {
    return self->views_.WorldToScreen(p, matrix);
  } catch (const std::exception&) {
    self->views_.RestoreLastView();
    return {0, 0};
  }
}

void Zoom_panel::UpdateRatioLabel() {
  ratioLabel_->setText(QString::fromStdString(views_.RatioText()));
  ratioLabel_->adjustSize();
}

void Zoom_panel::UpdateScrollBars() {
  const ZoomScrollBars bars = views_.ScrollBars();
  settingBars_ = true;
  hBar_->setPageStep(bars.hPage);
  hBar_->setValue(bars.hPosition);
  vBar_->setPageStep(bars.vPage);
  vBar_->setValue(bars.vPosition);
  settingBars_ = false;
  hPosition_ = hBar_->value();
  vPosition_ = vBar_->value();
}

void Zoom_panel::AfterViewChange() {
  UpdateRatioLabel();
  UpdateScrollBars();
  Repaint();
}

void Zoom_panel::Repaint() { paintBox_->Repaint(); }

void Zoom_panel::ZoomBy(double f) {
  if (!views_.WindowSet()) return;
  views_.ZoomBy(f);
  AfterViewChange();
}

void Zoom_panel::ZoomToRect(const WorldRect& rect) {
  views_.ZoomToRect(rect, paintBox_->Width(), paintBox_->Height());
  UpdateRatioLabel();
  UpdateScrollBars();
}

void Zoom_panel::Recentre(int x, int y) {
  if (!views_.WindowSet()) return;
  views_.Recentre(x, y);
  UpdateScrollBars();
  Repaint();
}

void Zoom_panel::RestoreLastView() {
  views_.RestoreLastView();
  AfterViewChange();
}

void Zoom_panel::ZoomStep() {
  if (!views_.WindowSet()) return;
  if (repeatOut_) {
    ZoomBy(zoomFactor_);
    if (OnZoomout) OnZoomout();
  } else if (repeatIn_) {
    ZoomBy(1.0 / zoomFactor_);
    if (OnZoomin) OnZoomin();
  }
}

void Zoom_panel::ButtonDown(Button button) {
  repeatOut_ = button == Button::ZMinus;
  repeatIn_ = button == Button::ZPlus;
  repeatTimer_.SetInterval(500);
  repeatTimer_.SetEnabled(true);
  ZoomStep();
}

void Zoom_panel::ButtonUp() {
  repeatIn_ = repeatOut_ = false;
  repeatTimer_.SetEnabled(false);
}

void Zoom_panel::ResetClick() {
  if (!views_.WindowSet()) return;
  views_.ResetView();
  AfterViewChange();
  if (OnZoomreset) OnZoomreset();
}

void Zoom_panel::HorizontalScrolled(int value) {
  if (settingBars_ || value == hPosition_) return;
  views_.ScrollHorizontal(hPosition_, value, hBar_->pageStep());
  hPosition_ = value;
  UpdateScrollBars();
  Repaint();
}

void Zoom_panel::VerticalScrolled(int value) {
  if (settingBars_ || value == vPosition_) return;
  views_.ScrollVertical(vPosition_, value, vBar_->pageStep());
  vPosition_ = value;
  UpdateScrollBars();
  Repaint();
}

// The band is a red dash-dot-dot rectangle in not-xor mode: drawing it again removes it.
void Zoom_panel::DrawBand(canvas::TPoint from, canvas::TPoint to) {
  canvas::Canvas& c = paintBox_->Canvas();
  c.SaveState();
  c.SetPen(canvas::Pen{canvas::PenStyle::DashDotDot, 1, canvas::clRed, canvas::PenMode::NotXor});
  canvas::Brush clear;
  clear.style = canvas::BrushStyle::Clear;
  c.SetBrush(clear);
  c.Rectangle({from.x, from.y, to.x, to.y});
  c.RestoreState();
  paintBox_->update();
}

void Zoom_panel::PaintBoxMouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
  lastDown_ = {x, y};
  // Shift with a press is the owner's gesture (dragging a vertex): no band, no zoom.
  if (button == forms::TMouseButton::mbLeft && !(shift & forms::ssShift)) {
    band_ = true;
    bandStart_ = bandEnd_ = {x, y};
    DrawBand(bandStart_, bandStart_);
  }
  if (OnMouseDown) OnMouseDown(button, shift, x, y);
}

void Zoom_panel::PaintBoxMouseMove(forms::TShiftState shift, int x, int y) {
  if (views_.WindowSet()) {
    if (band_) {
      DrawBand(bandStart_, bandEnd_);
      DrawBand(bandStart_, {x, y});
      bandEnd_ = {x, y};
    }
    coordLabel_->setText(QString::fromStdString(CoordinateText(views_.ScreenToWorld(x, y))));
    coordLabel_->adjustSize();
  }
  if (OnMouseMove) OnMouseMove(shift, x, y);
}

void Zoom_panel::PaintBoxMouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
  if (button == forms::TMouseButton::mbLeft && band_) {
    band_ = false;
    DrawBand(bandStart_, bandEnd_);
    const int left = std::min(bandStart_.x, bandEnd_.x);
    const int right = std::max(bandStart_.x, bandEnd_.x);
    const int top = std::min(bandStart_.y, bandEnd_.y);
    const int bottom = std::max(bandStart_.y, bandEnd_.y);
    if (right - left > 2 && bottom - top > 2) {
      const Point3D upperLeft = views_.ScreenToWorld(left, top);
      const Point3D lowerRight = views_.ScreenToWorld(right, bottom);
      ZoomToRect({upperLeft.x, lowerRight.y, lowerRight.x, upperLeft.y});
      Repaint();
    }
  }
  if (OnMouseUp) OnMouseUp(button, shift, x, y);
}

void Zoom_panel::PaintBoxDblClick() {
  Recentre(lastDown_.x, lastDown_.y);
  if (OnDblClick) OnDblClick();
}

}  // namespace pv::viewer
