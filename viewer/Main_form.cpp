#include "Main_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>

#include "DXF_write.h"
#include "VexaDxfImport.h"
#include "panel/VexaPanel.h"
#include "forms/Clipboard.h"
#include "forms/Handlers.h"
#include "forms/Hourglass.h"

namespace pv::viewer {

namespace {

enum ItemRole { kKindRole = Qt::UserRole, kObjectRole };
enum ItemKind { kDrawingItem, kLayerItem, kListItem };

QString Q(const std::string& s) { return QString::fromStdString(s); }

Entity_List* ListOf(const QListWidgetItem* item) {
  if (item->data(kKindRole).toInt() != kListItem) return nullptr;
  return reinterpret_cast<Entity_List*>(item->data(kObjectRole).value<quintptr>());
}

QCheckBox* Check(QWidget* parent, const char* name, const char* caption, bool checked) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
  box->setObjectName(QString::fromUtf8(name));
  box->setChecked(checked);
  return box;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(QString::fromUtf8(name));
  return button;
}

// A caption and its value label in one row of a grid.
QLabel* Counter(QGridLayout* grid, int row, const char* caption, const char* name) {
  grid->addWidget(new QLabel(QString::fromUtf8(caption)), row, 0);
  auto* value = new QLabel(QStringLiteral("0"));
  value->setObjectName(QString::fromUtf8(name));
  value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  grid->addWidget(value, row, 1);
  return value;
}

// Any insert among the entity (or inside it, for a block) that takes its blocks from the list.
bool UsesBlockList(const DXF_Entity& entity, const Entity_List& blocks) {
  if (const auto* insert = dynamic_cast<const Insert_*>(&entity)) return insert->BlockList() == &blocks;
  if (const auto* block = dynamic_cast<const Block_*>(&entity)) {
    for (const auto& e : block->Entities()) {
      if (UsesBlockList(*e, blocks)) return true;
    }
  }
  return false;
}

}  // namespace

TCAD_Demo_Form::TCAD_Demo_Form(TThinking_box& busy, QWidget* parent) : QWidget(parent), busy_(busy) {
  setObjectName(QStringLiteral("CAD_Demo_Form"));
  setWindowTitle(QStringLiteral("Planview"));
  BuildComponents();
  forms::Guarded(this, [&] { FormCreate(); });
}

TCAD_Demo_Form::~TCAD_Demo_Form() {
  Track_timer.SetEnabled(false);
  selection_.lists.clear();
  DestroyDocumentView();
}

void TCAD_Demo_Form::BuildComponents() {
  auto* side = new QWidget(this);
  side->setFixedWidth(200);
  auto* column = new QVBoxLayout(side);
  column->setContentsMargins(4, 4, 4, 4);

  LoadButton = Button(side, "LoadButton", "Load Data");
  SaveButton = Button(side, "SaveButton", "Save Data");
  CopyClipButton = Button(side, "CopyClipButton", "Copy to Clipboard");
  for (QPushButton* b : {LoadButton, SaveButton, CopyClipButton}) column->addWidget(b);
  const int convertRow = column->count();

  Files_listbox = new QListWidget(side);
  Files_listbox->setObjectName(QStringLiteral("Files_listbox"));
  Files_listbox->setSelectionMode(QAbstractItemView::ExtendedSelection);
  Files_listbox->installEventFilter(this);
  Files_listbox->viewport()->installEventFilter(this);
  column->addWidget(Files_listbox, 3);

  auto* counts = new QGridLayout;
  vert_lab = Counter(counts, 0, "Vertices", "vert_lab");
  line_lab = Counter(counts, 1, "Lines", "line_lab");
  polyo_lab = Counter(counts, 2, "Polys(open)", "polyo_lab");
  polyc_lab = Counter(counts, 3, "Polys(closed)", "polyc_lab");
  column->addLayout(counts);

  auto* memory = new QGroupBox(QStringLiteral("Memory"), side);
  auto* memoryGrid = new QGridLayout(memory);
  T_entities = Counter(memoryGrid, 0, "Entities", "T_entities");
  T_Lists = Counter(memoryGrid, 1, "E_Lists", "T_Lists");
  T_Layers = Counter(memoryGrid, 2, "Layers", "T_Layers");
  T_Objs = Counter(memoryGrid, 3, "File_objs", "T_Objs");
  column->addWidget(memory);

  delete_ = Button(side, "delete", "Delete");
  Repaint_button = Button(side, "Repaint_button", "Repaint");
  column->addWidget(delete_);
  C_remove_layers = Check(side, "C_remove_layers", "Bin empty layers", true);
  Thick_lines = Check(side, "Thick_lines", "Thick lines", false);
  draw_vertices = Check(side, "draw_vertices", "Draw vertices", false);
  Fill_closed = Check(side, "Fill_closed", "Fill closed", false);
  Track_mouse = Check(side, "Track_mouse", "Track mouse", false);
  block_defs = Check(side, "block_defs", "Hide block defs", true);
  for (QCheckBox* c : {C_remove_layers, Thick_lines, draw_vertices, Fill_closed, Track_mouse, block_defs}) {
    column->addWidget(c);
  }
  column->addWidget(Repaint_button);

  Memo1 = new QPlainTextEdit(side);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setReadOnly(true);
  for (const char* line : {"Some ", "Groupcodes are ", "skipped by this ", "DXF reader code.", "The skipped ",
                           "codes are ", "displayed in the ", "listbox below so ", "that you know ",
                           "what has been ", "missed out."}) {
    Memo1->appendPlainText(QString::fromUtf8(line));
  }
  QTextCursor all(Memo1->document());
  all.select(QTextCursor::Document);
  QTextBlockFormat centred;
  centred.setAlignment(Qt::AlignHCenter);
  all.mergeBlockFormat(centred);
  Memo1->moveCursor(QTextCursor::Start);
  column->addWidget(Memo1, 2);
  Messages = new QListWidget(side);
  Messages->setObjectName(QStringLiteral("Messages"));
  column->addWidget(Messages, 2);

  ZoomBox = new Zoom_panel(this);
  ZoomBox->setObjectName(QStringLiteral("ZoomBox"));
  ZoomBox->SetZoomFactor(1.25);
  ViewSplitter = new QSplitter(Qt::Vertical, this);
  ViewSplitter->addWidget(ZoomBox);
  BuildDocumentView();
  // The drawing keeps the larger part; the document view below it can be dragged larger.
  ViewSplitter->setStretchFactor(0, 3);
  ViewSplitter->setStretchFactor(1, 2);
  ViewSplitter->setSizes({600, 400});
  column->insertWidget(convertRow, ConvertButton);

  auto* main = new QHBoxLayout(this);
  main->setContentsMargins(0, 0, 0, 0);
  main->addWidget(side);
  main->addWidget(ViewSplitter, 1);

  OpenDialog1.filter = kDxfFilter;
  SaveDialog1.filter = kDxfFilter;

  auto guard = [this](auto handler) { return [this, handler] { forms::Guarded(this, handler); }; };
  connect(LoadButton, &QPushButton::clicked, this, guard([this] { LoadButtonClick(); }));
  connect(SaveButton, &QPushButton::clicked, this, guard([this] { SaveButtonClick(); }));
  connect(CopyClipButton, &QPushButton::clicked, this, guard([this] { CopyClipButtonClick(); }));
  connect(Repaint_button, &QPushButton::clicked, this, guard([this] { Repaint_buttonClick(); }));
  connect(delete_, &QPushButton::clicked, this, guard([this] { deleteClick(); }));
  connect(Track_mouse, &QCheckBox::clicked, this, guard([this] { Track_mouseClick(); }));
  // The zoom panel and the timer guard the handlers they call.
  ZoomBox->OnPaint = [this](QObject* sender) { ZoomboxPaint(sender); };
  ZoomBox->OnMouseMove = [this](forms::TShiftState s, int x, int y) { ZoomboxMouseMove(s, x, y); };
  ZoomBox->OnMouseDown = [this](forms::TMouseButton b, forms::TShiftState s, int x, int y) {
    ZoomboxMouseDown(b, s, x, y);
  };
  ZoomBox->OnMouseUp = [this](forms::TMouseButton b, forms::TShiftState s, int x, int y) {
    ZoomboxMouseUp(b, s, x, y);
  };
  Track_timer.OnTimer = [this] { forms::Guarded(this, [&] { Track_timerTimer(); }); };
}

void TCAD_Demo_Form::SetTrackingForm(TTrackingForm* form) {
  tracking_ = form;
  if (tracking_) {
    tracking_->OnFormClose = [this] {
      Track_mouse->setChecked(false);
      Track_mouseClick();
    };
  }
}

// ---- Life cycle -------------------------------------------------------------------------

void TCAD_Demo_Form::FormCreate() {
  programFolder_ = QCoreApplication::applicationDirPath().toStdString() + "/";
  dataFolder_ = programFolder_ + "data/";
  fileLoaded_ = false;
  selection_.lists.clear();
  formMax_ = {-1e10, -1e10, -1e10};
  formMin_ = {1e10, 1e10, 1e10};
  CreateDocumentView();
}

void TCAD_Demo_Form::showEvent(QShowEvent*) {
  forms::Guarded(this, [&] { FormShow(); });
}

void TCAD_Demo_Form::FormShow() { OpenDialog1.initialDir = dataFolder_; }

bool TCAD_Demo_Form::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Files_listbox && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    forms::Guarded(this, [&] { Files_listboxKeyDown(key); });
  } else if (watched == Files_listbox && event->type() == QEvent::KeyRelease) {
    forms::Guarded(this, [&] { Files_listboxKeyUp(); });
  } else if (watched == Files_listbox->viewport() && event->type() == QEvent::MouseButtonRelease) {
    // The list box handles the click first; the selection is read once it has.
    QMetaObject::invokeMethod(this, [this] { forms::Guarded(this, [&] { Files_listboxMouseUp(); }); },
                              Qt::QueuedConnection);
  }
  return QWidget::eventFilter(watched, event);
}

// ---- Load -------------------------------------------------------------------------------

void TCAD_Demo_Form::LoadButtonClick() {
  const auto chosen = forms::Dialogs().OpenFile(this, OpenDialog1);
  if (!chosen) return;
  LoadFile(chosen->fileName, chosen->filterIndex);
}

void TCAD_Demo_Form::LoadFile(const std::string& fileName, int filterIndex) {
  std::error_code error;
  if (std::filesystem::is_directory(fileName, error)) {
    forms::ShowMessage(fileName + " is a folder, not a file", this);
    return;
  }
  if (!std::filesystem::is_regular_file(fileName, error)) {
    forms::ShowMessage("File not found", this);
    return;
  }
  repaint();
  if (filterIndex == 1) LoadDxfFile(fileName);
  fileLoaded_ = true;
  RebuildEntityList(true);
  ZoomBox->SetWindow(20, 20, {formMin_.x, formMin_.y, formMax_.x, formMax_.y});
  ZoomBox->Repaint();
}

void TCAD_Demo_Form::LoadDxfFile(const std::string& fileName) {
  forms::HourglassCursor hourglass;
  std::vector<std::string> skipped;
  // The skipped names of every load gather in the list, also those of a load that failed.
  struct ShowSkipped {
    std::vector<std::string>& names;
    QListWidget* list;
    ~ShowSkipped() {
      for (const auto& name : names) list->addItem(Q(name));
    }
  } show{skipped, Messages};
  if (!drawing_) {
    drawing_ = DXF_Object::CreateFromFile(fileName, &skipped, busy_, prompts_);
    formMax_ = drawing_->GetMaxExtents();
    formMin_ = drawing_->GetMinExtents();
    return;
  }
  auto other = DXF_Object::CreateFromFile(fileName, &skipped, busy_, prompts_);
  DXF_Utils::MaxPoint(formMax_, other->GetMaxExtents());
  DXF_Utils::MinPoint(formMin_, other->GetMinExtents());
  drawing_->Merge(*other);
}

// ---- Lists and selection ----------------------------------------------------------------

void TCAD_Demo_Form::RebuildEntityList(bool selectAll) {
  Files_listbox->clear();
  if (drawing_) {
    if (C_remove_layers->isChecked()) drawing_->RemoveEmptyLayers();
    if (drawing_->LayerCount() > 0) {
      std::vector<ListItem> items;
      drawing_->FillListItems(items);
      for (const ListItem& entry : items) {
        auto* item = new QListWidgetItem(Q(entry.text), Files_listbox);
        if (const auto* layer = std::get_if<DXF_Layer*>(&entry.object)) {
          item->setData(kKindRole, kLayerItem);
          item->setData(kObjectRole, QVariant::fromValue(reinterpret_cast<quintptr>(*layer)));
        } else if (const auto* list = std::get_if<Entity_List*>(&entry.object)) {
          item->setData(kKindRole, kListItem);
          item->setData(kObjectRole, QVariant::fromValue(reinterpret_cast<quintptr>(*list)));
        } else {
          item->setData(kKindRole, kDrawingItem);
        }
      }
    } else {
      selection_.lists.clear();
      trackedEntity_ = dragEntity_ = nullptr;
      drawing_.reset();
    }
  }
  if (selectAll) Files_listbox->selectAll();
  UpdateSelection();
}

void TCAD_Demo_Form::UpdateSelection() {
  selection_.lists.clear();
  int vertices = 0, lines = 0, open = 0, closed = 0;
  for (int i = Files_listbox->count() - 1; i >= 0; --i) {
    QListWidgetItem* item = Files_listbox->item(i);
    if (!item->isSelected()) continue;
    Entity_List* list = ListOf(item);
    if (!list || (list->Name() == "Block_" && block_defs->isChecked())) {
      item->setSelected(false);
      continue;
    }
    selection_.lists.push_back(list);
    vertices += list->VertexCount();
    lines += list->LineCount();
    open += list->OpenPolyCount();
    closed += list->ClosedPolyCount();
  }
  vert_lab->setNum(vertices);
  line_lab->setNum(lines);
  polyo_lab->setNum(open);
  polyc_lab->setNum(closed);
  T_entities->setNum(DXF_Counters::entities.load());
  T_Lists->setNum(DXF_Counters::lists.load());
  T_Layers->setNum(DXF_Counters::layers.load());
  T_Objs->setNum(DXF_Counters::objects.load());
  trackedEntity_ = nullptr;
  trackedPoint_ = WCS_Origin;
}

void TCAD_Demo_Form::Files_listboxKeyDown(int key) {
  if (key == Qt::Key_Delete) deleteClick();
}

void TCAD_Demo_Form::Files_listboxKeyUp() { UpdateSelection(); }

void TCAD_Demo_Form::Files_listboxMouseUp() { UpdateSelection(); }

// ---- Save, paint and clipboard ----------------------------------------------------------

void TCAD_Demo_Form::SaveButtonClick() {
  const auto chosen = forms::Dialogs().SaveFile(this, SaveDialog1);
  if (!chosen) return;
  busy_.ShowThinkingOver(this, "Saving data");
  struct HideAfter {
    TThinking_box& box;
    ~HideAfter() { box.HideThinking(); }
  } hide{busy_};
  forms::HourglassCursor hourglass;
  if (chosen->filterIndex != 1) return;
  std::string name = chosen->fileName;
  std::string extension = std::filesystem::path(name).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  if (extension != ".DXF") name += ".dxf";
  SaveAsDxf(selection_, name);
}

void TCAD_Demo_Form::Repaint_buttonClick() { ZoomBox->Repaint(); }

void TCAD_Demo_Form::CopyClipButtonClick() { ZoomboxPaint(CopyClipButton); }

void TCAD_Demo_Form::PaintOn(canvas::Canvas& canvas) {
  canvas.SetFontName("FF_ROMAN");
  canvas::Pen pen = canvas.GetPen();
  pen.width = Thick_lines->isChecked() ? 3 : 1;
  pen.color = canvas::clBlack;
  canvas.SetPen(pen);
  canvas::Brush brush;
  brush.style = Fill_closed->isChecked() ? canvas::BrushStyle::Solid : canvas::BrushStyle::Clear;
  brush.color = canvas::clBlack;
  canvas.SetBrush(brush);
  for (int i = 0; i < Files_listbox->count(); ++i) {
    const QListWidgetItem* item = Files_listbox->item(i);
    if (!item->isSelected()) continue;
    const Entity_List* list = ListOf(item);
    if (!list) continue;
    list->DrawAll(canvas, nullptr, &Zoom_panel::WorldToScreen, ZoomBox);
    if (draw_vertices->isChecked()) list->DrawAllVertices(canvas, nullptr, &Zoom_panel::WorldToScreen, ZoomBox);
  }
}

void TCAD_Demo_Form::ZoomboxPaint(QObject* sender) {
  if (sender != CopyClipButton) {
    PaintOn(ZoomBox->PaintBox().Canvas());
    return;
  }
  const canvas::TSize size{ZoomBox->PaintBox().Width(), ZoomBox->PaintBox().Height()};
  canvas::RecordingCanvas metafile(size);
  PaintOn(metafile);
  forms::CopyPictureToClipboard(metafile.Commands(), size);
}

// ---- Tracking ---------------------------------------------------------------------------

void TCAD_Demo_Form::Track_mouseClick() {
  const bool on = Track_mouse->isChecked();
  if (tracking_) tracking_->setVisible(on);
  Track_timer.SetEnabled(on);
}

void TCAD_Demo_Form::Track_timerTimer() {
  // One step per mouse move: the timer is off before anything can fail, so that an error
  // box (whose loop keeps the timers running) is not shown again every 100 ms.
  Track_timer.SetEnabled(false);
  if (!Track_mouse->isChecked() || !fileLoaded_ || !tracking_) return;
  DXF_Entity* previous = trackedEntity_;
  const Point3D previousPoint = trackedPoint_;
  Point3D test = ZoomBox->ScreenToWorld(lastMouse_.x, lastMouse_.y);
  test.z = 0.0;
  Point3D point = trackedPoint_;
  if (tracking_->R_nearest->isChecked()) {
    selection_.FindNearestPoint(test, trackedEntity_, point);
  } else if (trackedEntity_ && trackedEntity_->IsInside(test)) {
    point = trackedEntity_->ClosestPoint(test);
  } else {
    selection_.FindContainingEntity(test, trackedEntity_, point);
  }
  trackedPoint_ = point;
  if (!trackedEntity_) return;
  if (trackedEntity_ != previous) {
    canvas::Canvas& canvas = ZoomBox->PaintBox().Canvas();
    if (previous) previous->Draw(canvas, nullptr, &Zoom_panel::WorldToScreen, ZoomBox);
    const canvas::TColor colour = trackedEntity_->Color();
    const int32_t index = trackedEntity_->ColorIndex();
    trackedEntity_->SetColor(colour ^ 0xFFFFFF);
    struct GiveBack {
      DXF_Entity* entity;
      canvas::TColor colour;
      int32_t index;
      ~GiveBack() { entity->RestoreColour(colour, index); }
    } giveBack{trackedEntity_, colour, index};
    trackedEntity_->Draw(canvas, nullptr, &Zoom_panel::WorldToScreen, ZoomBox);
    ZoomBox->PaintBox().update();
  }
  if (!DXF_Utils::SamePoint(trackedPoint_, previousPoint)) {
    tracking_->Tr_X->setText(Q(GeneralText(trackedPoint_.x, 7)));
    tracking_->Tr_Y->setText(Q(GeneralText(trackedPoint_.y, 7)));
    tracking_->Tr_Z->setText(Q(GeneralText(trackedPoint_.z, 7)));
    tracking_->Tr_P->setNum(trackedEntity_->VertexCount());
    if (tracking_->T_extended->isChecked()) {
      tracking_->T_info_box->setPlainText(Q(trackedEntity_->Details()).replace(QStringLiteral("\r\n"), "\n"));
    }
  }
}

void TCAD_Demo_Form::ZoomboxMouseMove(forms::TShiftState, int x, int y) {
  lastMouse_ = {x, y};
  if (Track_mouse->isChecked()) Track_timer.SetEnabled(true);
}

void TCAD_Demo_Form::ZoomboxMouseDown(forms::TMouseButton, forms::TShiftState shift, int, int) {
  if (shift & forms::ssShift) {
    dragEntity_ = trackedEntity_;
    dragPoint_ = trackedPoint_;
  } else {
    dragEntity_ = nullptr;
    dragPoint_ = WCS_Origin;
  }
}

void TCAD_Demo_Form::ZoomboxMouseUp(forms::TMouseButton, forms::TShiftState, int x, int y) {
  if (!dragEntity_) return;
  DXF_Entity* entity = dragEntity_;
  const Point3D from = dragPoint_;
  dragEntity_ = nullptr;
  dragPoint_ = WCS_Origin;
  const Point3D world = ZoomBox->ScreenToWorld(x, y);
  const Point3D to = DXF_Utils::RoundPoint({world.x, world.y, from.z}, 1000);
  if (entity->MovePoint(from, to)) {
    selection_.NoteEntityMoved(entity);
    ZoomBox->Repaint();
  } else {
    forms::ShowMessage("An error occurred moving point", this);
  }
}

// ---- Delete -----------------------------------------------------------------------------

bool TCAD_Demo_Form::BlocksStillUsed(const Entity_List& blocks, const std::vector<Entity_List*>& goingAway) const {
  if (!drawing_) return false;
  for (int i = 0; i < drawing_->LayerCount(); ++i) {
    const DXF_Layer* layer = drawing_->Layer(static_cast<size_t>(i));
    for (int j = 0; j < layer->ListCount(); ++j) {
      const Entity_List* list = layer->List(static_cast<size_t>(j));
      if (std::find(goingAway.begin(), goingAway.end(), list) != goingAway.end()) continue;
      for (const auto& entity : list->Entities()) {
        if (UsesBlockList(*entity, blocks)) return true;
      }
    }
  }
  return false;
}

void TCAD_Demo_Form::deleteClick() {
  std::vector<Entity_List*> goingAway = selection_.lists;
  // Inserts keep pointers to the block definitions they draw: a list of blocks that inserts
  // outside the deleted lists still use stays.
  bool refused = false;
  for (auto it = goingAway.begin(); it != goingAway.end();) {
    if ((*it)->Name() == "Block_" && BlocksStillUsed(**it, goingAway)) {
      it = goingAway.erase(it);
      refused = true;
      // Another list kept may use the blocks this one's inserts use: look again from the top.
      it = goingAway.begin();
      continue;
    }
    ++it;
  }
  trackedEntity_ = dragEntity_ = nullptr;
  selection_.lists.clear();
  for (Entity_List* list : goingAway) {
    if (DXF_Layer* owner = list->Owner()) owner->DeleteList(list->Name(), true);
  }
  RebuildEntityList(false);
  ZoomBox->Repaint();
  if (refused) forms::ShowMessage(kBlocksInUse, this);
}

}  // namespace pv::viewer
