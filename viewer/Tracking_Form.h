#pragma once
// The tracking window (TTrackingForm): a small stay-on-top tool window with the X, Y and Z
// of the tracked point, the vertex count of the tracked entity, the choice of test (nearest
// point or inside polygon) and, with "Extended info", the entity's details.

#include <QWidget>
#include <functional>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QRadioButton;

namespace pv::viewer {

class TTrackingForm : public QWidget {
 public:
  explicit TTrackingForm(QWidget* parent = nullptr);

  QLabel* Tr_X;
  QLabel* Tr_Y;
  QLabel* Tr_Z;
  QLabel* Tr_P;
  QRadioButton* R_nearest;
  QRadioButton* R_inside;
  QCheckBox* T_extended;
  QPlainTextEdit* T_info_box;

  // Runs when the user closes the window (the main window then unticks "Track mouse").
  std::function<void()> OnFormClose;

  void T_extendedClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormShow();
};

}  // namespace pv::viewer
