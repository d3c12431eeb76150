#include "ThinkboxWindow.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QThread>

#include "forms/Dialogs.h"
#include "qtcanvas/QtCanvas.h"

namespace pv::viewer {

namespace {

canvas::TRect ScreenArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect r = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

}  // namespace

TThinking_box::TThinking_box()
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool) {
  setObjectName(QStringLiteral("Thinking_box"));
  setAttribute(Qt::WA_ShowWithoutActivating);
  setEnabled(false);
  QFont font(qtcanvas::FaceFor("Fixedsys"));
  font.setPixelSize(12);
  setFont(font);
  thinkMsg_ = new QLabel(QString::fromUtf8(kThinkingInitialCaption.data(), kThinkingInitialCaption.size()), this);
  thinkMsg_->setObjectName(QStringLiteral("think_msg"));
  thinkMsg_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  thinkMsg_->setLineWidth(1);
  thinkMsg_->setAlignment(Qt::AlignCenter);
  barPanel_ = new QWidget(this);
  barPanel_->setObjectName(QStringLiteral("barpanel"));
  barPanel_->hide();
  bar_ = new QProgressBar(barPanel_);
  bar_->setObjectName(QStringLiteral("bar"));
  bar_->setTextVisible(false);
  const QFontMetrics metrics(font);
  charSize_ = {metrics.horizontalAdvance(QLatin1Char('8')), metrics.height()};
}

TThinking_box::~TThinking_box() = default;

void TThinking_box::Place(const canvas::TRect* area, std::string_view message, bool withBar) {
  const canvas::TRect box = ThinkingBoxBounds(message, charSize_, withBar, area ? *area : ScreenArea());
  setGeometry(box.left, box.top, box.Width(), box.Height());
  thinkMsg_->setText(QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
  if (withBar) {
    const canvas::TRect barBox = ThinkingBarBounds(message, charSize_, box);
    barPanel_->setGeometry(0, box.Height() - 24, box.Width(), 24);
    bar_->setGeometry(barBox.left, 2, std::max(0, barBox.Width()), 20);
    thinkMsg_->setGeometry(0, 0, box.Width(), box.Height() - 24);
    barPanel_->show();
  } else {
    barPanel_->hide();
    thinkMsg_->setGeometry(0, 0, box.Width(), box.Height());
  }
  show();
  raise();
  repaint();
}

void TThinking_box::ShowThinking(const canvas::TRect* area, std::string_view message) { Place(area, message, false); }

void TThinking_box::ShowThinkingWithBar(const canvas::TRect* area, std::string_view message) {
  Place(area, message, true);
}

void TThinking_box::ShowThinkingOver(QWidget* form, std::string_view message) {
  if (!form) {
    ShowThinking(nullptr, message);
    return;
  }
  const QPoint origin = form->mapToGlobal(QPoint(0, 0));
  const canvas::TRect area{origin.x(), origin.y(), origin.x() + form->width(), origin.y() + form->height()};
  ShowThinking(&area, message);
}

void TThinking_box::HideThinking() {
  hide();
  barPanel_->hide();
}

void TThinking_box::SetBar(int32_t position, int32_t maximum) {
  bar_->setRange(0, std::max(0, maximum));
  bar_->setValue(std::clamp(position, 0, std::max(0, maximum)));
}

void TThinking_box::StepBar() {
  if (bar_->value() < bar_->maximum()) bar_->setValue(bar_->value() + 1);
  if (barPanel_->isVisible()) bar_->repaint();
}

QString TThinking_box::Message() const { return thinkMsg_->text(); }

bool TThinking_box::BarVisible() const { return isVisible() && barPanel_->isVisible(); }

void QtReaderPrompts::Pause(int milliseconds) {
  if (!pauses) return;
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  QThread::msleep(static_cast<unsigned long>(std::max(0, milliseconds)));
}

bool QtReaderPrompts::ConfirmReadWarning(const std::string& text) {
  return forms::Dialogs().MessageBox(nullptr, kReadWarningTitle, text, forms::MsgType::Warning,
                                     forms::MsgButtons::OkCancel) == forms::MsgResult::Ok;
}

void QtReaderPrompts::ShowReadError(const std::string& text) {
  forms::Dialogs().MessageBox(nullptr, kReadErrorTitle, text, forms::MsgType::Warning, forms::MsgButtons::Ok);
}

void QtReaderPrompts::ShowMessage(const std::string& text) { forms::ShowMessage(text); }

}  // namespace pv::viewer
