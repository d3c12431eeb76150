#include "forms/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace pv::forms {

namespace {

DialogService* installed = nullptr;

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

DialogService& Dialogs() {
  static QtDialogService qtDialogs;
  return installed ? *installed : qtDialogs;
}

void InstallDialogs(DialogService* service) { installed = service; }

std::string ApplicationTitle() {
  const QString name = QCoreApplication::applicationName();
  return name.isEmpty() ? std::string("Application") : name.toStdString();
}

void ShowMessage(std::string_view text, QWidget* parent) {
  Dialogs().MessageBox(parent, ApplicationTitle(), text, MsgType::Plain, MsgButtons::Ok);
}

std::vector<std::string> SplitFilter(std::string_view filter) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= filter.size()) {
    const size_t bar = filter.find('|', start);
    parts.emplace_back(filter.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  std::vector<std::string> out;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string description = parts[i];
    std::string patterns = parts[i + 1];
    for (char& c : patterns) {
      if (c == ';') c = ' ';
    }
    // Qt reads the patterns from the parentheses; a description that names them already
    // keeps its text, else they are added.
    if (description.find('(' + patterns + ')') == std::string::npos) description += " (" + patterns + ")";
    out.push_back(description);
  }
  return out;
}

int FilterIndexOf(std::string_view filter, std::string_view chosenQtFilter) {
  const auto filters = SplitFilter(filter);
  for (size_t i = 0; i < filters.size(); ++i) {
    if (filters[i] == chosenQtFilter) return static_cast<int>(i) + 1;
  }
  return 1;
}

MsgResult QtDialogService::MessageBox(QWidget* parent, std::string_view title, std::string_view text, MsgType type,
                                      MsgButtons buttons) {
  QMessageBox box(parent);
  box.setWindowTitle(Q(title));
  box.setText(Q(text));
  switch (type) {
    case MsgType::Plain: box.setIcon(QMessageBox::NoIcon); break;
    case MsgType::Information: box.setIcon(QMessageBox::Information); break;
    case MsgType::Warning: box.setIcon(QMessageBox::Warning); break;
    case MsgType::Error: box.setIcon(QMessageBox::Critical); break;
    case MsgType::Confirmation: box.setIcon(QMessageBox::Question); break;
  }
  switch (buttons) {
    case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MsgButtons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Ok: return MsgResult::Ok;
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    default: return MsgResult::Cancel;
  }
}

namespace {

std::optional<FileDialogResult> RunFileDialog(QWidget* parent, const FileDialogRequest& request,
                                              QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent, Q(request.title), Q(request.initialDir));
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  QStringList filters;
  for (const auto& f : SplitFilter(request.filter)) filters << Q(f);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    const int index = std::clamp(request.filterIndex, 1, static_cast<int>(filters.size())) - 1;
    dialog.selectNameFilter(filters[index]);
  }
  if (!request.fileName.empty()) dialog.selectFile(Q(request.fileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  FileDialogResult result;
  result.fileName = dialog.selectedFiles().front().toStdString();
  result.filterIndex = FilterIndexOf(request.filter, dialog.selectedNameFilter().toStdString());
  return result;
}

}  // namespace

std::optional<FileDialogResult> QtDialogService::OpenFile(QWidget* parent, const FileDialogRequest& request) {
  return RunFileDialog(parent, request, QFileDialog::AcceptOpen);
}

std::optional<FileDialogResult> QtDialogService::SaveFile(QWidget* parent, const FileDialogRequest& request) {
  return RunFileDialog(parent, request, QFileDialog::AcceptSave);
}

ScriptedDialogs::ScriptedDialogs() : previous_(installed) { InstallDialogs(this); }

ScriptedDialogs::~ScriptedDialogs() { InstallDialogs(previous_); }

MsgResult ScriptedDialogs::MessageBox(QWidget*, std::string_view title, std::string_view text, MsgType type,
                                      MsgButtons buttons) {
  shown.push_back({std::string(title), std::string(text), type, buttons});
  if (onShow) onShow(shown.back());
  if (answers.empty()) return MsgResult::Ok;
  const MsgResult answer = answers.front();
  answers.pop_front();
  return answer;
}

std::optional<FileDialogResult> ScriptedDialogs::OpenFile(QWidget*, const FileDialogRequest& request) {
  openRequests.push_back(request);
  if (openAnswers.empty()) return std::nullopt;
  auto answer = openAnswers.front();
  openAnswers.pop_front();
  return answer;
}

std::optional<FileDialogResult> ScriptedDialogs::SaveFile(QWidget*, const FileDialogRequest& request) {
  saveRequests.push_back(request);
  if (saveAnswers.empty()) return std::nullopt;
  auto answer = saveAnswers.front();
  saveAnswers.pop_front();
  return answer;
}

}  // namespace pv::forms
