#include "Tracking_Form.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextOption>

#include "forms/Handlers.h"
#include "qtcanvas/QtCanvas.h"

namespace pv::viewer {

namespace {

constexpr int kNarrowWidth = 128;
constexpr int kWideWidth = 344;
constexpr int kHeight = 140;

QLabel* Caption(QWidget* parent, const char* text, int top) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->move(4, top);
  return label;
}

QLabel* Value(QWidget* parent, const char* name, const char* text, int top) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setObjectName(QString::fromUtf8(name));
  label->setGeometry(44, top, 82, 16);
  return label;
}

}  // namespace

TTrackingForm::TTrackingForm(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("TrackingForm"));
  setWindowTitle(QStringLiteral("TrackingForm"));
  resize(131, kHeight);
  Caption(this, "X", 4);
  Caption(this, "Y", 20);
  Caption(this, "Z", 36);
  Caption(this, "Points", 52);
  Tr_X = Value(this, "Tr_X", "000000.000", 4);
  Tr_Y = Value(this, "Tr_Y", "000000.000", 20);
  Tr_Z = Value(this, "Tr_Z", "000000.000", 36);
  Tr_P = Value(this, "Tr_P", "0", 52);
  R_nearest = new QRadioButton(QStringLiteral("Nearest point test"), this);
  R_nearest->setObjectName(QStringLiteral("R_nearest"));
  R_nearest->setGeometry(4, 70, 124, 18);
  R_nearest->setChecked(true);
  R_inside = new QRadioButton(QStringLiteral("Inside Poly test"), this);
  R_inside->setObjectName(QStringLiteral("R_inside"));
  R_inside->setGeometry(4, 88, 124, 18);
  T_extended = new QCheckBox(QStringLiteral("Extended info"), this);
  T_extended->setObjectName(QStringLiteral("T_extended"));
  T_extended->setGeometry(4, 108, 124, 18);
  T_info_box = new QPlainTextEdit(this);
  T_info_box->setObjectName(QStringLiteral("T_info_box"));
  T_info_box->setReadOnly(true);
  T_info_box->setFrameStyle(QFrame::NoFrame);
  T_info_box->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont mono(qtcanvas::FaceFor("Courier New"));
  mono.setPixelSize(12);
  T_info_box->setFont(mono);
  QPalette palette = T_info_box->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Button));
  T_info_box->setPalette(palette);
  T_info_box->hide();
  connect(T_extended, &QCheckBox::clicked, this, [this] { forms::Guarded(this, [&] { T_extendedClick(); }); });
}

void TTrackingForm::showEvent(QShowEvent*) {
  forms::Guarded(this, [&] { FormShow(); });
}

// Tab stops at 32, 48 and 64 dialog units; a dialog unit is a quarter of the average
// character width.
void TTrackingForm::FormShow() {
  const double unit = QFontMetrics(T_info_box->font()).averageCharWidth() / 4.0;
  QTextOption option = T_info_box->document()->defaultTextOption();
  QList<QTextOption::Tab> tabs;
  for (int stop : {32, 48, 64}) tabs.append(QTextOption::Tab(stop * unit, QTextOption::LeftTab));
  option.setTabs(tabs);
  T_info_box->document()->setDefaultTextOption(option);
}

void TTrackingForm::T_extendedClick() {
  if (T_extended->isChecked()) {
    resize(kWideWidth, height());
    T_info_box->setGeometry(kNarrowWidth + 2, 0, kWideWidth - kNarrowWidth - 2, height());
    T_info_box->show();
  } else {
    resize(kNarrowWidth, kHeight);
    T_info_box->hide();
  }
}

void TTrackingForm::closeEvent(QCloseEvent* event) {
  event->accept();
  if (OnFormClose) forms::Guarded(this, OnFormClose);
}

}  // namespace pv::viewer
