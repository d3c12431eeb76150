#pragma once
// The busy box's window (TThinking_box): borderless, stay on top, never activated, with the
// message in a lowered panel and an optional progress bar in a 24-pixel panel at the bottom.
// Its size follows the message: its character size is that of "8" in its font.
// Also the reader's prompts as message boxes of the platform's dialog service.

#include <QWidget>

#include "DXF_read.h"
#include "Thinkbox.h"

class QLabel;
class QProgressBar;

namespace pv::viewer {

class TThinking_box : public QWidget, public BusyBox {
 public:
  TThinking_box();
  ~TThinking_box() override;

  void ShowThinking(const canvas::TRect* area, std::string_view message) override;
  void ShowThinkingWithBar(const canvas::TRect* area, std::string_view message) override;
  void HideThinking() override;
  void SetBar(int32_t position, int32_t maximum) override;
  void StepBar() override;

  // Centres on a window's client area (in screen coordinates), or on the screen.
  void ShowThinkingOver(QWidget* form, std::string_view message);

  QString Message() const;
  bool BarVisible() const;
  canvas::TSize CharSize() const { return charSize_; }
  QProgressBar* Bar() const { return bar_; }

 private:
  void Place(const canvas::TRect* area, std::string_view message, bool withBar);

  QLabel* thinkMsg_;
  QWidget* barPanel_;
  QProgressBar* bar_;
  canvas::TSize charSize_;
};

// The reader's questions and notes as message boxes (see forms/Dialogs.h); its pauses
// block the thread after letting the busy box paint.
class QtReaderPrompts : public ReaderPrompts {
 public:
  // Tests turn the pauses off; the boxes still show.
  bool pauses = true;

  void Pause(int milliseconds) override;
  bool ConfirmReadWarning(const std::string& text) override;
  void ShowReadError(const std::string& text) override;
  void ShowMessage(const std::string& text) override;
};

}  // namespace pv::viewer
