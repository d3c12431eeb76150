#pragma once
// Planview's main window (TCAD_Demo_Form): loads DXF files into one drawing (later files are
// merged into it), lists its layers and entity lists, draws the chosen lists in the zoom
// panel, tracks the mouse in the tracking window, drags vertices with Shift held, deletes
// and saves lists, and copies the view to the clipboard. Below the zoom panel (a splitter
// between) lies the document view: the drawing converted into a VexaGraphics document, with
// its tool bar, saved as a tgd file by "Convert to TGD".

#include <QWidget>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "DXF_structs.h"
#include "ThinkboxWindow.h"
#include "Tracking_Form.h"
#include "Zoomer.h"
#include "forms/Dialogs.h"
#include "forms/Timer.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QToolBar;
class QToolButton;

namespace pv::graphics {
class TVexaPanel;
}
namespace pv::panelwindow {
class TQtPanelWindow;
}

namespace pv::viewer {

class TVexaDxfImport;

class TCAD_Demo_Form : public QWidget {
 public:
  explicit TCAD_Demo_Form(TThinking_box& busy, QWidget* parent = nullptr);
  ~TCAD_Demo_Form() override;

  // The tracking window, created after the main window.
  void SetTrackingForm(TTrackingForm* form);

  // Components, by the names the handlers use.
  QPushButton* LoadButton;
  QPushButton* SaveButton;
  QPushButton* CopyClipButton;
  QListWidget* Files_listbox;
  QListWidget* Messages;
  QPlainTextEdit* Memo1;
  QLabel* vert_lab;
  QLabel* line_lab;
  QLabel* polyo_lab;
  QLabel* polyc_lab;
  QLabel* T_entities;
  QLabel* T_Lists;
  QLabel* T_Layers;
  QLabel* T_Objs;
  QPushButton* delete_;  // "delete"
  QCheckBox* C_remove_layers;
  QPushButton* Repaint_button;
  QCheckBox* Thick_lines;
  QCheckBox* draw_vertices;
  QCheckBox* Fill_closed;
  QCheckBox* Track_mouse;
  QCheckBox* block_defs;
  Zoom_panel* ZoomBox;
  QSplitter* ViewSplitter;
  forms::FileDialogRequest OpenDialog1;
  forms::FileDialogRequest SaveDialog1;
  forms::TTimer Track_timer{100};

  // The document view.
  QPushButton* ConvertButton;
  QWidget* panVexa;
  QToolBar* tbrVexa;
  QToolButton* tbVexaSelect;
  QToolButton* tbVexaZoom;
  QToolButton* tbVexaPan;
  panelwindow::TQtPanelWindow* fpViewWindow;  // the window of fpView
  forms::FileDialogRequest sd_Vexa;
  graphics::TVexaPanel& fpView() const { return *fpView_; }
  TVexaDxfImport& Importer() const { return *importer_; }

  // Handlers.
  void FormCreate();
  void FormShow();
  void LoadButtonClick();
  void SaveButtonClick();
  void Repaint_buttonClick();
  void CopyClipButtonClick();
  void ZoomboxPaint(QObject* sender);
  void Track_mouseClick();
  void Track_timerTimer();
  void ZoomboxMouseMove(forms::TShiftState shift, int x, int y);
  void ZoomboxMouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y);
  void ZoomboxMouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y);
  void Files_listboxKeyDown(int key);
  void Files_listboxKeyUp();
  void Files_listboxMouseUp();
  void deleteClick();
  void ConvertButtonClick();
  // The conversion without the save dialog: false (and the user told) when there is no
  // drawing or it could not be converted.
  bool ConvertDrawing();
  void tbVexaSelectClick();
  void tbVexaZoomClick();
  void tbVexaPanClick();

  // The load after the open dialog: a file and the filter it was chosen with.
  void LoadFile(const std::string& fileName, int filterIndex);
  void LoadDxfFile(const std::string& fileName);
  void RebuildEntityList(bool selectAll);
  void UpdateSelection();

  DXF_Object* Drawing() const { return drawing_.get(); }
  const selection_lists& Selection() const { return selection_; }
  DXF_Entity* TrackedEntity() const { return trackedEntity_; }
  const Point3D& TrackedPoint() const { return trackedPoint_; }
  const Point3D& FormMax() const { return formMax_; }
  const Point3D& FormMin() const { return formMin_; }
  TTrackingForm* TrackingForm() const { return tracking_; }
  QtReaderPrompts& Prompts() { return prompts_; }

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildComponents();
  void BuildDocumentView();
  // The document view's part of FormCreate and of the window's end.
  void CreateDocumentView();
  void DestroyDocumentView();
  void PaintOn(canvas::Canvas& canvas);
  // Block definitions that inserts outside the given lists still use.
  bool BlocksStillUsed(const Entity_List& blocks, const std::vector<Entity_List*>& goingAway) const;

  TThinking_box& busy_;
  QtReaderPrompts prompts_;
  TTrackingForm* tracking_ = nullptr;
  std::string programFolder_;
  std::string dataFolder_;
  std::unique_ptr<DXF_Object> drawing_;
  bool fileLoaded_ = false;
  selection_lists selection_;
  Point3D formMax_{-1e10, -1e10, -1e10};
  Point3D formMin_{1e10, 1e10, 1e10};
  canvas::TPoint lastMouse_;
  DXF_Entity* trackedEntity_ = nullptr;
  Point3D trackedPoint_;
  DXF_Entity* dragEntity_ = nullptr;
  Point3D dragPoint_;
  std::unique_ptr<graphics::TVexaPanel> fpView_;
  std::unique_ptr<TVexaDxfImport> importer_;
};

// The texts of the window that tests and the program share.
inline constexpr const char* kDxfFilter =
    "DXF databases (*.dxf)|*.dxf|Geomview file (*.off)|*.off|Vertex/Face array offset 1 (*.geo)|*.geo|"
    "PSLG (Trianglulation format) (*.poly)|*.poly|PLY (Simplification format) (*.ply)|*.ply";
inline constexpr const char* kTgdFilter = "Vexa document (*.tgd)|*.tgd|All files (*.*)|*.*";
inline constexpr const char* kNoDrawingToConvert = "No drawing to convert";
inline constexpr const char* kNotConverted = "The drawing could not be converted";
inline constexpr const char* kBlocksInUse = "Block definitions that inserts still use cannot be deleted";

}  // namespace pv::viewer
