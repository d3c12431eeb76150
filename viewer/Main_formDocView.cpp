// The main window's document view: a viewer panel under the zoom panel with a tool bar of
// three exclusive tool modes, and "Convert to TGD", which turns the loaded drawing into a
// document in that panel and saves it as a tgd file.

#include <QActionGroup>
#include <QButtonGroup>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <filesystem>

#include "Main_form.h"
#include "VexaDxfImport.h"
#include "document/Grid.h"
#include "document/ServiceControls.h"
#include "document/Schemes.h"
#include "forms/Cursors.h"
#include "forms/Handlers.h"
#include "forms/Hourglass.h"
#include "panel/VexaGraphics.h"
#include "panel/VexaPanel.h"
#include "panelwindow/QtPanelWindow.h"
#include "qtcanvas/QtCanvas.h"

namespace pv::viewer {

namespace {

// The tool modes the view's buttons choose.
constexpr int kSelectMode = 0;
constexpr int kZoomMode = 2;
constexpr int kPanMode = 14;
constexpr canvas::TColor kSilver = 0xC0C0C0;

enum class ToolImage { Select, Zoom, Pan };

// The 24 x 24 images of the tool buttons, drawn rather than loaded so that the program needs
// no image files beside it.
QIcon ToolIcon(ToolImage image) {
  QPixmap pixmap(24, 24);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1.5));
  switch (image) {
    case ToolImage::Select: {
      const QPointF arrow[] = {{7, 3}, {7, 19}, {11, 15}, {14, 21}, {16, 20}, {13, 14}, {18, 14}};
      p.setBrush(Qt::white);
      p.drawPolygon(arrow, 7);
      break;
    }
    case ToolImage::Zoom:
      p.setBrush(Qt::white);
      p.drawEllipse(QPointF(10, 10), 6, 6);
      p.setPen(QPen(Qt::black, 3));
      p.drawLine(QPointF(14.5, 14.5), QPointF(21, 21));
      break;
    case ToolImage::Pan: {
      QPainterPath path;
      path.moveTo(12, 2);
      path.lineTo(12, 22);
      path.moveTo(2, 12);
      path.lineTo(22, 12);
      for (const auto& [tip, a, b] : {std::tuple{QPointF(12, 2), QPointF(9, 5), QPointF(15, 5)},
                                      std::tuple{QPointF(12, 22), QPointF(9, 19), QPointF(15, 19)},
                                      std::tuple{QPointF(2, 12), QPointF(5, 9), QPointF(5, 15)},
                                      std::tuple{QPointF(22, 12), QPointF(19, 9), QPointF(19, 15)}}) {
        path.moveTo(a);
        path.lineTo(tip);
        path.lineTo(b);
      }
      p.drawPath(path);
      break;
    }
  }
  return QIcon(pixmap);
}

QToolButton* ToolButton(QToolBar* bar, QButtonGroup* group, const char* name, const char* caption, ToolImage image) {
  auto* button = new QToolButton(bar);
  button->setObjectName(QString::fromUtf8(name));
  button->setToolTip(QString::fromUtf8(caption));
  button->setText(QString::fromUtf8(caption));
  button->setIcon(ToolIcon(image));
  button->setCheckable(true);
  button->setAutoRaise(true);
  group->addButton(button);
  bar->addWidget(button);
  return button;
}

// A name the user typed without an extension gets ".tgd"; any other extension is kept.
std::string WithTgdExtension(const std::string& name) {
  if (std::filesystem::path(name).extension().empty()) return name + ".tgd";
  return name;
}

}  // namespace

void TCAD_Demo_Form::BuildDocumentView() {
  // Controls measure their texts on bitmap canvases, and the document text names the
  // library's classes: both must be in place before the first panel.
  qtcanvas::RegisterBitmapCanvasFactory();
  graphics::RegisterVexaGraphics();

  panVexa = new QWidget(this);
  panVexa->setObjectName(QStringLiteral("panVexa"));
  auto* column = new QVBoxLayout(panVexa);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  tbrVexa = new QToolBar(panVexa);
  tbrVexa->setObjectName(QStringLiteral("tbrVexa"));
  tbrVexa->setIconSize(QSize(24, 24));
  tbrVexa->setMovable(false);
  auto* group = new QButtonGroup(tbrVexa);
  group->setExclusive(true);
  tbVexaSelect = ToolButton(tbrVexa, group, "tbVexaSelect", "Select", ToolImage::Select);
  tbVexaZoom = ToolButton(tbrVexa, group, "tbVexaZoom", "Zoom", ToolImage::Zoom);
  tbVexaPan = ToolButton(tbrVexa, group, "tbVexaPan", "Pan", ToolImage::Pan);
  tbVexaSelect->setChecked(true);
  column->addWidget(tbrVexa);

  fpViewWindow = new panelwindow::TQtPanelWindow(panVexa);
  fpViewWindow->setObjectName(QStringLiteral("fpView"));
  column->addWidget(fpViewWindow, 1);
  ViewSplitter->addWidget(panVexa);

  // A viewer, not an editor: it zooms, pans and follows references, and selects nothing.
  fpView_ = std::make_unique<graphics::TVexaPanel>(*fpViewWindow, false);
  graphics::TVexaPanel& view = *fpView_;
  view.SetDocWidth(320000);
  view.SetDocHeight(240000);
  view.SetDocFrameColor(canvas::clBlack);
  view.SetDocShadowColor(canvas::clGray);
  view.SetDocSpaceBrush(canvas::Brush{canvas::BrushStyle::BDiagonal, canvas::clBtnFace, nullptr});
  view.SetDocSpaceFill(false);
  view.Grid().SetGridStyle(graphics::TVexaGridStyle::gsDots);
  view.SetGridColor(canvas::clGray);
  view.SetGridPixColor(kSilver);
  view.SetGridHorizSize(10000);
  view.SetGridVertSize(10000);
  // The buttons follow the mode, also when something other than a click changes it.
  view.OnToolMode = [this](graphics::TVexaPanel& sender) {
    switch (sender.GetToolMode()) {
      case kSelectMode: tbVexaSelect->setChecked(true); break;
      case kZoomMode: tbVexaZoom->setChecked(true); break;
      case kPanMode: tbVexaPan->setChecked(true); break;
      default: break;  // the states of a gesture keep the button of its base mode
    }
  };

  ConvertButton = new QPushButton(QStringLiteral("Convert to TGD"), this);
  ConvertButton->setObjectName(QStringLiteral("ConvertButton"));
  sd_Vexa.filter = kTgdFilter;

  auto guard = [this](auto handler) { return [this, handler] { forms::Guarded(this, handler); }; };
  connect(ConvertButton, &QPushButton::clicked, this, guard([this] { ConvertButtonClick(); }));
  connect(tbVexaSelect, &QToolButton::clicked, this, guard([this] { tbVexaSelectClick(); }));
  connect(tbVexaZoom, &QToolButton::clicked, this, guard([this] { tbVexaZoomClick(); }));
  connect(tbVexaPan, &QToolButton::clicked, this, guard([this] { tbVexaPanClick(); }));
}

void TCAD_Demo_Form::CreateDocumentView() {
  forms::LoadEditorCursors();
  importer_ = std::make_unique<TVexaDxfImport>();
}

void TCAD_Demo_Form::DestroyDocumentView() { importer_.reset(); }

void TCAD_Demo_Form::tbVexaSelectClick() { fpView_->SetToolMode(kSelectMode); }

void TCAD_Demo_Form::tbVexaZoomClick() { fpView_->SetToolMode(kZoomMode); }

void TCAD_Demo_Form::tbVexaPanClick() { fpView_->SetToolMode(kPanMode); }

void TCAD_Demo_Form::ConvertButtonClick() {
  if (!ConvertDrawing()) return;
  const auto chosen = forms::Dialogs().SaveFile(this, sd_Vexa);
  if (!chosen) return;
  forms::HourglassCursor hourglass;
  fpView_->SaveDocumentToFile(WithTgdExtension(chosen->fileName));
}

bool TCAD_Demo_Form::ConvertDrawing() {
  // With nothing loaded there is nothing to convert: an empty document offered for saving
  // would pass for a converted drawing.
  if (!drawing_) {
    forms::ShowMessage(kNoDrawingToConvert, this);
    return false;
  }
  graphics::TVexaPanel& view = *fpView_;
  bool converted = false;
  {
    forms::HourglassCursor hourglass;
    view.UnselectAll();
    if (auto* scheme = view.GetActiveScheme()) scheme->ClearChildren();
    view.Layers().ClearChildren();
    forms::TPaintBox& box = ZoomBox->PaintBox();
    importer_->Fit = ComputeImportFit(box.Width(), box.Height(), 20, formMax_, formMin_);
    converted = importer_->ImportDxfObject(&view, drawing_.get());
    // The layers went with the old document; the drawing's first one becomes the active one.
    if (view.Layers().GetCount() > 0) view.SetActiveLayer(view.Layers().GetChild(0));
  }
  if (!converted) {
    forms::ShowMessage(kNotConverted, this);
    return false;
  }
  // What the import left out, said once for the whole conversion.
  std::string notes;
  for (const std::string& note : importer_->Report().Notes) notes += (notes.empty() ? "" : "\n") + note;
  if (!notes.empty()) forms::ShowMessage(notes, this);
  return true;
}

}  // namespace pv::viewer
