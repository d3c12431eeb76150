#pragma once
// Message boxes and file dialogs as the programs call them, behind one replaceable service:
// windows ask Dialogs() and never open a QMessageBox or QFileDialog themselves, so tests
// install a ScriptedDialogs that answers at once and remembers what was asked.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace pv::forms {

enum class MsgType { Plain, Information, Warning, Error, Confirmation };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgResult { Ok, Cancel, Yes, No };

struct FileDialogRequest {
  std::string title;
  // The platform's filter text: "description|patterns|description|patterns...".
  std::string filter;
  int filterIndex = 1;  // 1-based
  std::string initialDir;
  std::string fileName;
};

struct FileDialogResult {
  std::string fileName;
  int filterIndex = 1;  // the filter the user chose, 1-based
};

class DialogService {
 public:
  virtual ~DialogService() = default;
  virtual MsgResult MessageBox(QWidget* parent, std::string_view title, std::string_view text, MsgType type,
                               MsgButtons buttons) = 0;
  // None when the user cancels.
  virtual std::optional<FileDialogResult> OpenFile(QWidget* parent, const FileDialogRequest& request) = 0;
  virtual std::optional<FileDialogResult> SaveFile(QWidget* parent, const FileDialogRequest& request) = 0;
};

// The installed service; the Qt one unless a test installed another.
DialogService& Dialogs();
// Installs a service (not owned); nullptr goes back to the Qt one.
void InstallDialogs(DialogService* service);

// The title of plain message boxes: the application's name.
std::string ApplicationTitle();
// A plain message box with an OK button, titled with the application's name.
void ShowMessage(std::string_view text, QWidget* parent = nullptr);

// The platform's filter text as Qt's name filters, and back from a chosen name filter to
// its 1-based index.
std::vector<std::string> SplitFilter(std::string_view filter);
int FilterIndexOf(std::string_view filter, std::string_view chosenQtFilter);

class QtDialogService : public DialogService {
 public:
  MsgResult MessageBox(QWidget* parent, std::string_view title, std::string_view text, MsgType type,
                       MsgButtons buttons) override;
  std::optional<FileDialogResult> OpenFile(QWidget* parent, const FileDialogRequest& request) override;
  std::optional<FileDialogResult> SaveFile(QWidget* parent, const FileDialogRequest& request) override;
};

// For tests: answers from queues (OK, or cancel for a file dialog, when a queue is empty)
// and records every box and dialog. Installs itself for its lifetime.
class ScriptedDialogs : public DialogService {
 public:
  struct Shown {
    std::string title;
    std::string text;
    MsgType type;
    MsgButtons buttons;
  };

  ScriptedDialogs();
  ~ScriptedDialogs() override;

  std::deque<MsgResult> answers;
  std::deque<std::optional<FileDialogResult>> openAnswers;
  std::deque<std::optional<FileDialogResult>> saveAnswers;
  std::vector<Shown> shown;
  std::vector<FileDialogRequest> openRequests;
  std::vector<FileDialogRequest> saveRequests;
  // Called while a box is "open", as a modal box would run the message loop.
  std::function<void(const Shown&)> onShow;

  MsgResult MessageBox(QWidget* parent, std::string_view title, std::string_view text, MsgType type,
                       MsgButtons buttons) override;
  std::optional<FileDialogResult> OpenFile(QWidget* parent, const FileDialogRequest& request) override;
  std::optional<FileDialogResult> SaveFile(QWidget* parent, const FileDialogRequest& request) override;

 private:
  DialogService* previous_;
};

}  // namespace pv::forms
