#pragma once
// The document panel: the window that holds and shows one document. It owns the document's
// roots (layers, schemes, grid), the selection, the ID pool, the undo history, the alpha
// buffer and the reference list of loads; it keeps the scale and scroll model, converts
// between document units and window pixels, and reaches its window only through a port.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "canvas/CanvasTypes.h"
#include "canvas/Region.h"
#include "controls/VexaControl.h"
#include "controls/Rotation.h"
#include "controls/VexaPanel.h"
#include "document/DragObject.h"
#include "paint/AlphaBuffer.h"
#include "panelwindow/PanelWindow.h"
#include "props/PropRefList.h"
#include "textformat/DocumentText.h"

namespace pv::clipboard {
class IClipboard;
}

namespace pv::graphics {

class TVexaGrid;
class TVexaLayers;
class TVexaPanelHistory;
class TVexaCustomScheme;
class TVexaPaintIndex;
class TVexaPaintList;
class TVexaSchemes;
class TVexaPanel;

using TVexaNotifyEvent = std::function<void(TVexaPanel& sender, TVexaControl* control, TVexaNotify notify)>;
using TVexaPanelEvent = std::function<void(TVexaPanel& sender)>;
using TVexaPropEvent = std::function<void(TVexaPanel& sender, TVexaControl& control, TCustomProp& prop)>;
using TVexaPaintSchemeEvent = std::function<void(TVexaPanel& sender, canvas::Canvas& canvas, TVexaControl& scheme)>;
// Before (OnPaintScheme) and after (OnPaintOver) the panel paints a scheme or a control.
using TVexaPaintEvent = std::function<void(TVexaPanel& sender, canvas::Canvas& canvas, TVexaControl* control,
                                           bool childrenOnly, bool selectedOnly)>;
using TVexaProgressNotify = std::function<void(TVexaPanel& sender, int percent, TVexaFilerProcess kind)>;

class TVexaPanel : public IVexaPanel, private panelwindow::IPanelWindowEvents {
 public:
  static constexpr int32_t kMinScale = 1;
  static constexpr int32_t kMaxScale = 50000;
  static constexpr int32_t kScrollLine = 10;

  // editing: the panel is an editor (handles, edit points, mouse selection); fixed for its
  // life. The window stays the caller's and must outlive the panel.
  TVexaPanel(panelwindow::IPanelWindow& window, bool editing);
  ~TVexaPanel() override;
  TVexaPanel(const TVexaPanel&) = delete;
  TVexaPanel& operator=(const TVexaPanel&) = delete;

  bool Editing() const { return editing_; }
  bool Destroying() const { return destroying_; }
  panelwindow::IPanelWindow& Window() const { return window_; }

  // ---- Published settings
  bool AutoDragEnabled = false;
  bool HideSelection = false;
  bool SelectAsFilled = false;
  bool SelectPartialOverlapped = false;
  bool GetAutoNames() const { return autoNames_; }
  void SetAutoNames(bool on) { autoNames_ = on; }
  bool GetAutoNameNumbs() const { return autoNameNumbs_; }
  void SetAutoNameNumbs(bool on) { autoNameNumbs_ = on; }

  bool GetAutoZoom() const { return autoZoom_; }
  void SetAutoZoom(bool on);
  int32_t GetScale() const { return scale_; }
  void SetScale(int32_t scale);
  int32_t GetDocWidth() const { return docWidth_; }
  int32_t GetDocHeight() const { return docHeight_; }
  canvas::TColor GetDocFrameColor() const { return docFrameColor_; }
  void SetDocFrameColor(canvas::TColor color);
  canvas::TColor GetDocShadowColor() const { return docShadowColor_; }
  void SetDocShadowColor(canvas::TColor color);
  const canvas::Brush& GetDocSpaceBrush() const { return docSpaceBrush_; }
  void SetDocSpaceBrush(const canvas::Brush& brush);
  bool GetDocSpaceFill() const { return docSpaceFill_; }
  void SetDocSpaceFill(bool on);
  bool GetDocClipping() const { return docClipping_; }
  void SetDocClipping(bool on);
  int32_t GetHorzExtraSpace() const { return horzExtraSpace_; }
  void SetHorzExtraSpace(int32_t pixels);
  int32_t GetVertExtraSpace() const { return vertExtraSpace_; }
  void SetVertExtraSpace(int32_t pixels);
  bool GetSchemeBkStretch() const { return schemeBkStretch_; }
  void SetSchemeBkStretch(bool on);
  bool GetShowDocFrame() const { return showDocFrame_; }
  void SetShowDocFrame(bool on);
  bool GetShowEditPointGuide() const { return showEditPointGuide_; }
  void SetShowEditPointGuide(bool on);

  // The grid's settings, straight through to the grid.
  bool GetShowGrid() const;
  void SetShowGrid(bool on);
  bool GetShowPixGrid() const;
  void SetShowPixGrid(bool on);
  bool GetSnapToGrid() const;
  void SetSnapToGrid(bool on);
  uint8_t GetSnapStyle() const;
  void SetSnapStyle(uint8_t style);
  int32_t GetGridHorizSize() const;
  void SetGridHorizSize(int32_t size);
  int32_t GetGridVertSize() const;
  void SetGridVertSize(int32_t size);
  canvas::TColor GetGridColor() const;
  void SetGridColor(canvas::TColor color);
  canvas::TColor GetGridPixColor() const;
  void SetGridPixColor(canvas::TColor color);

  // ---- Events
  std::function<void(TVexaPanel& sender, TVexaControl& control)> OnControlCreate;
  TVexaPropEvent OnPropBeforeChanged;
  TVexaPropEvent OnPropChanged;
  TVexaNotifyEvent OnNotify;
  TVexaPaintSchemeEvent OnPaintScheme;
  TVexaPaintEvent OnPaintOver;
  TVexaPanelEvent OnBeginSelectionUpdate;
  TVexaPanelEvent OnEndSelectionUpdate;
  TVexaProgressNotify OnProgress;
  TVexaPanelEvent OnToolMode;
  TVexaPanelEvent OnClick;

  // A click at a client point: a viewer in the select mode follows the scheme reference of
  // the control clicked (it becomes the active scheme); then OnClick.
  void Click(TPoint clientPoint);

  // ==== Tool modes, mouse and key editing, hover hints (PanelMouse.cpp, PanelKeys.cpp) ====
  // Modes: 0 select, 1 band selection, 2 zoom, 3 zoom band, 4 over the edit region, 5 moving
  // the selection, 6 over a handle, 7 resizing by a handle, 8 resizing from the bottom-right
  // corner, 9 .. 12 point editing, 14 pan, 15 panning. 0, 2, 9 and 14 are base modes.
  using TMouseButton = panelwindow::TMouseButton;
  using TShiftState = panelwindow::TShiftState;
  int GetToolMode() const { return toolMode_; }
  // The same mode does nothing; otherwise the old mode is finished, the new one started, the
  // cursor updated and OnToolMode fired.
  void SetToolMode(int mode);
  // The mode the user chose; a gesture returns to it.
  int BaseToolMode() const { return baseToolMode_; }
  // Client pixels. Each ends with OnMouseDown / OnMouseMove / OnMouseUp.
  virtual void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
  virtual void MouseMove(TShiftState shift, int32_t x, int32_t y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
  // Arrow keys move the selection, Delete deletes it, Escape cancels a band or a gesture;
  // true when the key was used. A change of Ctrl, Shift or Alt reruns the hover handling.
  virtual bool KeyDown(uint16_t key, TShiftState shift);
  virtual void KeyUp(uint16_t key, TShiftState shift);
  // The selection handle at a client point: 0 none, 1 top-left, 2 top, 3 top-right, 4 left,
  // 5 right, 6 bottom-left, 7 bottom, 8 bottom-right.
  virtual int HandleAtPoint(int32_t x, int32_t y) const;
  // Sets the cursor of the current mode at a client point (OnUpdateCursor may change it).
  virtual void UpdateCursor(int32_t x, int32_t y);
  int Cursor() const { return cursor_; }
  // Creates a control of that class in scheme (default the active one) on layer (default the
  // active one) at the document rectangle; a width or height of 0 keeps the control's own.
  // EPanelError "Scheme must exist", "Layer must exist" or "Can't create control on
  // invisible or disabled layer".
  virtual TVexaControl* CreateControl(const TVexaControlClass& controlClass, int32_t left, int32_t top, int32_t width,
                                      int32_t height, bool snap = false, TVexaControl* layer = nullptr,
                                      TVexaControl* scheme = nullptr);
  // Resizes the selection from the rectangle it had when resizing began (modes 7 and 8) by
  // (dx, dy) document units at a handle.
  virtual void ResizeSelection(int32_t dx, int32_t dy, bool snapCorners, int handle, bool useGrid, bool proportional);
  // The selection rectangle when resizing began, and the handle dragged.
  const TRect& TransformationRect() const { return transformRect_; }
  int HandleUnderMouse() const { return handle_; }
  // The point-editing tool (modes 9 .. 12): its start and finish, its mouse input and its
  // cursor. Mouse positions in client pixels.
  virtual void StartPointEditMode(int mode);
  virtual void FinishPointEditMode(int mode);
  virtual void PointEditMouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
  virtual void PointEditMouseMove(TShiftState shift, int32_t x, int32_t y);
  virtual void PointEditMouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
  virtual int PointEditCursor(int32_t x, int32_t y) const;
  // Whether the pointer is over the marks of the selection (the edit region).
  virtual bool PointerOverEditRegion(int32_t x, int32_t y) const;
  // Whether hints may follow the pointer now (OnNeedHint may refuse).
  virtual bool DoNeedHint();
  // Whether the hint text may show (OnShowHint may change it or refuse).
  virtual bool DoShowHint(std::string& text);
  TPoint MousePos() const { return mousePos_; }
  TShiftState MouseShift() const { return mouseShift_; }
  // The control under the pointer (one level inside the top-most control of the active
  // scheme there), that top-most control, and the control whose hint shows.
  TVexaControl* HoveredControl() const { return hovered_; }
  TVexaControl* HoveredTopControl() const { return hoveredTop_; }
  TVexaControl* HintControl() const { return hintControl_; }
  // Hints follow the pointer (the panel's own switch, before any control's ShowHint).
  bool ShowHint = true;
  // Zoom mode zooms out (Ctrl was held when the cursor was last set).
  bool ZoomingOut() const { return zoomOut_; }
  std::function<void(TVexaPanel& sender, int& cursor)> OnUpdateCursor;
  std::function<void(TVexaPanel& sender, bool& allow)> OnNeedHint;
  std::function<void(TVexaPanel& sender, TVexaControl* hintControl, std::string& text, bool& canShow)> OnShowHint;
  std::function<void(TVexaPanel& sender, TMouseButton button, TShiftState shift, int32_t x, int32_t y)> OnMouseDown;
  std::function<void(TVexaPanel& sender, TShiftState shift, int32_t x, int32_t y)> OnMouseMove;
  std::function<void(TVexaPanel& sender, TMouseButton button, TShiftState shift, int32_t x, int32_t y)> OnMouseUp;
  // ==== end of tool modes

  // ---- Scroll model
  // The pixel position of the document's left-top corner in the window: negative when the
  // document is centred in a larger window.
  TPoint ScrollOrigin() const { return origin_; }
  // The visible part of the document, document units.
  const TRect& VisibleDocRect() const { return visibleDocRect_; }
  void UpdateScrollRange();
  void UpdateOrigin();
  int32_t ScaleValue(int32_t docLength) const;
  int32_t UnscaleValue(int32_t pixels) const;
  // While painting the scroll geometry stays as it is.
  bool Painting() const { return painting_ > 0; }
  void BeginPaint() { ++painting_; }
  void EndPaint() { --painting_; }

  // ---- Painting (PanelPaint.cpp)
  // The window colour: the background of the paint rectangle.
  canvas::TColor Color = canvas::clWindow;
  // Paints the document (or control) into canvas over paintRect (canvas pixels), with the
  // view at scale and origin (the client pixel shown at paintRect's left-top is origin).
  // output: for a printer or a file, no background, frame, space fill or overlays.
  void PaintDocument(canvas::Canvas& canvas, const TRect& paintRect, bool transparency, bool pathFlag, bool output,
                     bool childrenOnly, bool selectedOnly, bool clipToRect, TVexaControl* control, int32_t scale,
                     TPoint origin);
  virtual void PaintScheme(canvas::Canvas& canvas, TVexaControl* control, bool childrenOnly, bool selectedOnly);
  // The markers of the point-edited control's points, its curve handles and the guide of a
  // point about to be inserted (in point editing); otherwise the anchor marks of the selection.
  virtual void PaintEditPoints(canvas::Canvas& canvas);
  virtual void PaintOverlayLines(canvas::Canvas& canvas);
  virtual void PaintHandles(canvas::Canvas& canvas);
  virtual void PaintRubberBand(canvas::Canvas& canvas);
  // The eight handle squares of the selection, client pixels (empty without a selection).
  virtual canvas::Region GetHandlesRegion() const;
  // The union of the selected controls' document rectangles (empty without a selection).
  TRect SelectionDocRect() const;
  void InvalidateDocRect(const TRect& docRect);
  void InvalidateSelection();
  const TRect& RubberBand() const { return rubberBand_; }
  void SetRubberBand(const TRect& docRect);
  // The highlighted link point (document units), index -1 for none.
  void SetHighlightedLinkPoint(int index, TPoint docPoint);
  TVexaPaintList& PaintList() { return *paintList_; }
  canvas::Canvas* PaintCanvas() const { return paintCanvas_; }
  bool PaintingOutput() const { return paintOutput_; }
  bool PaintTransparency() const { return paintTransparency_; }
  bool PaintPathFlag() const { return paintPathFlag_; }
  bool CustomPainting() const { return customPainting_ > 0; }
  // The window's paint handler: the update rectangle (client pixels) painted into canvas,
  // whose pixel (0, 0) is the update rectangle's left-top.
  void WindowPaint(canvas::Canvas& canvas, const TRect& updateRect) override;

  // ---- Document
  TVexaLayers& Layers() const { return *layers_; }
  TVexaSchemes& Schemes() const { return *schemes_; }
  TVexaGrid& Grid() const { return *grid_; }
  TVexaPanelHistory& PanelHistory() const { return *history_; }
  bool Modified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }
  // Nothing when the pool does not hold the ID; otherwise the control with that ID in scope's
  // subtree or, without scope, anywhere in the document.
  TVexaControl* FindControlByID(int32_t id, TVexaControl* scope = nullptr) const;
  // Index in the parentless list, or -1 for a control that may not be listed.
  int AddParentlessControl(TVexaControl* control);
  bool RemoveParentlessControl(TVexaControl* control);
  int CountControls(TVexaControl* root) const;

  // ---- Reading and writing the document text
  // A filer on the stream whose progress reaches OnProgress as this kind of process.
  std::unique_ptr<TVexaFiler> CreateFiler(TByteStream& stream, TVexaFilerProcess kind);
  // The whole document (scope none: every scheme; oneScope false: only scope), or with
  // selectionOnly the selected controls in clipboard framing; false when nothing was
  // written. Saving every scheme clears the modified flag.
  bool SaveDocumentToFiler(TVexaFiler& filer, bool selectionOnly = false, bool oneScope = true,
                           TVexaControl* scope = nullptr);
  // EDataFormatError for data that is no document (or clipboard data in that mode), cut
  // short, or nested too deeply; a failed document load leaves a new, empty document.
  bool LoadDocumentFromFiler(TVexaFiler& filer, TLoadMode mode);
  // The old file survives any failure, which raises EStreamError "Cannot save <file>:
  // <reason>" and leaves the modified flag as it was.
  bool SaveDocumentToFile(const std::string& fileName);
  void LoadDocumentFromFile(const std::string& fileName);
  // The whole document of another panel, copied through the text format.
  void Assign(TVexaPanel& source);

  // ==== Clipboard and drag copies (PanelClipboard.cpp, PanelDrag.cpp) ====
  // The clipboard this panel uses: the program's (clipboard::SystemClipboard) unless the panel
  // was given one (which stays the caller's).
  clipboard::IClipboard& Clipboard() const;
  void SetClipboard(clipboard::IClipboard* clipboard) { clipboard_ = clipboard; }
  // The clipboard holds our own controls, or (unless ownOnly) a picture (PNG, BMP, JPEG, or a
  // drawing the clipboard renders, such as SVG) or plain text.
  virtual bool CanPaste(bool ownOnly) const;
  // Our own controls join the active scheme selected; otherwise a picture becomes a picture
  // control, else plain text a text control, each at its own size in the middle of the visible
  // part. One undo step; false when there was nothing to paste. Data that cannot be read
  // raises EDataFormatError and changes nothing; a clipboard that cannot be opened raises
  // std::runtime_error "Cannot open clipboard".
  virtual bool PasteFromClipboard(bool ownOnly = false);
  // The selection in clipboard framing under our own format, replacing the clipboard's
  // content; false (the clipboard untouched) with nothing selected.
  bool CopyToClipboard();
  // Copies, then deletes the selection (one undo step).
  bool CutToClipboard();

  // A copy of the selection (selectionOnly: children placed relative to the selection
  // rectangle) or of control, as a group in a drag object of this panel. The group holds no
  // ID; it is named name, else after the control.
  std::unique_ptr<TVexaDragObject> CreateDragGroup(TVexaControl* control, bool oneScope, const std::string& name,
                                                   bool selectionOnly);
  // The same, grabbed at mousePoint (client pixels) of a view at scale and origin.
  std::unique_ptr<TVexaDragObject> CreateDragObject(TVexaControl* control, bool oneScope, const std::string& name,
                                                    int32_t scale, TPoint origin, TPoint mousePoint, bool selectionOnly);
  // The drag object of a drag starting at mousePoint: the host's (OnStartDrag), else a copy
  // of the selection named "DragGroup".
  std::unique_ptr<TVexaDragObject> DoStartDrag(TPoint mousePoint);
  std::function<void(TVexaPanel& sender, std::unique_ptr<TVexaDragObject>& dragObject)> OnStartDrag;
  // Drags a copy of the selection from mousePoint through the window until it is dropped or
  // cancelled. With move, a drop into another panel that takes it as a move deletes the
  // selection here afterwards (its own undo step), and a drop back onto this panel moves the
  // selection itself (IDs and links kept). A cancelled or refused drop changes nothing and
  // leaves the selection as it was; the tool mode goes back to the base mode in every case.
  panelwindow::TDropAction DragSelection(TPoint mousePoint, bool move);
  // A move of the selection has left the client area with AutoDragEnabled: the move gesture
  // ends and the selection is dragged as a move from the last mouse position.
  virtual void StartAutoDrag();
  // A drag object over the panel (none: something that is not ours): shown as dropped at the
  // client point while it is over, taken out again when it leaves. accept: whether a drop
  // here is taken.
  void DragOver(TVexaDragObject* source, int32_t x, int32_t y, panelwindow::TDragState state, bool& accept);
  // Drops it at the client point: its controls join the active scheme with fresh IDs,
  // selected, as one undo step; then OnDragDrop.
  void DragDrop(TVexaDragObject* source, int32_t x, int32_t y);
  std::function<void(TVexaPanel& sender, TVexaDragObject& source, int32_t x, int32_t y)> OnDragDrop;
  // The drag object shown in this panel now, or none.
  TVexaDragObject* ShownDragObject() const { return shownDrag_; }
  // The kind a drag names when it carries a panel's drag object in this process.
  static constexpr const char* kDragObjectKind = "TVexaDragObject";

 private:
  struct TDragSession;
  bool WindowDragOver(const panelwindow::TDragData& data, TPoint point, panelwindow::TDragState state) override;
  bool WindowDragDrop(const panelwindow::TDragData& data, TPoint point, panelwindow::TDropAction action) override;
  // The drag object a drag carries: our own in-process object, or one read from the bytes
  // of our format that another program offered (kept until the drag leaves or drops).
  TVexaDragObject* DragObjectOf(const panelwindow::TDragData& data);
  void TakeOutShownDrag();
  // A drop of this panel's own move-drag onto itself: the selection moves instead.
  bool DropHome(TVexaDragObject& source, int32_t x, int32_t y);
  void RestoreSelection(const std::vector<int32_t>& ids);
  // Reads a drag group from document text (clipboard framing) as CreateDragGroup does.
  std::unique_ptr<TVexaDragObject> LoadDragGroup(TByteStream& stream, const std::string& name);
  void ShowDrag(TVexaDragObject& source);
  // The panel goes while a drag is over it: what it shows goes back to the panel the drag
  // came from, which frees it when its drag ends.
  void ReleaseDrags();
  clipboard::IClipboard* clipboard_ = nullptr;
  TVexaDragObject* shownDrag_ = nullptr;
  // What showing a drag hides: the modified flag and the selection (IDs) from before.
  bool shownModified_ = false;
  std::vector<int32_t> shownSelection_;
  std::shared_ptr<TDragSession> dragSession_;
  std::unique_ptr<TVexaDragObject> foreignDrag_;

 public:
  // ==== end of clipboard and drag copies

  // ---- Commands on the selection; each is one undo step when the history is on.
  // Frees every selected control, last first.
  void DeleteSelected();
  // Moves the selected children of schemes by (dx, dy) document units; sums past the 32-bit
  // range are clamped.
  void MoveSelection(int32_t dx, int32_t dy);
  // Rotates (and mirrors) every selected control whose layer is not read-only, by the
  // rotation's angle rounded to a multiple of 90 degrees.
  void RotateSelection(const TRotateRec& rotation);
  // The angle a selection rotation uses: (angle mod 360) rounded to a multiple of 90, halves
  // to the even multiple; the sign is kept.
  static int32_t QuarterTurnAngle(int32_t angle);
  // Sets the scale and scrolls so that the centre of docRect (document units) or, without
  // one, the document point now in the middle of the window lies in the middle of it.
  void SetScaleAndCenter(int32_t scale, std::optional<TRect> docRect = std::nullopt);

  // ==== Resizing by a handle, grid snapping and point editing (PanelResize.cpp, PanelPoints.cpp,
  // PanelPointTool.cpp; ResizeSelection and the point tool's hooks are declared with the tool
  // modes) ====
  //
  // A handle dragged across the opposite edge mirrors the selection, and the transformation
  // rectangle is then swapped edge for edge on that axis. The new size is never below one
  // unit, so that a selection squeezed flat can grow again.
  //
  // Adjusts delta so that the chosen edges of rect moved by it land on the grid (handle 0: the
  // whole rectangle moves). Exact halves round towards positive infinity on both axes, so the
  // grid behaves the same on either side of the origin.
  virtual void DoSnap(int32_t gridWidth, int32_t gridHeight, int handle, uint8_t snapStyle, TPoint& delta,
                      const TRect& rect);

  // The point-edited control: only a control with points; a change refreshes the markers.
  void SetPointEditControl(TVexaControl* control);
  bool IsPointEditing() const;
  void SelectPoint(int index, bool select);
  void UnselectAllPoints();
  bool IsPointSelected(int index) const;
  int SelectedPointsCount() const { return selectedPoints_; }
  // One flag per point of the point-edited control.
  const std::vector<uint8_t>& PointSelection() const { return pointSelection_; }
  // The 5 x 5 client rectangle of a point's marker; empty without a point-edited control.
  TRect PointRect(int index) const;
  // The first point whose marker holds the last mouse position, or -1.
  int FindPointAtMouse() const;
  // The nodes joined to a node by a segment (across the closing segment of a closed figure);
  // -1 where there is none.
  void GetNeighbourNodes(int node, int& previous, int& next) const;
  // Recomputes the edit region (markers, guide, curve-handle lines) and repaints what changed.
  void RefreshEditPoints();
  const canvas::Region& EditRegion() const { return editRegion_; }
  bool EditRegionPrecise() const { return editRegionPrecise_; }
  // What lies under the mouse, recomputed after every mouse event.
  struct TPointHover {
    bool overEditRegion = false;
    int point = -1;
    bool nearPath = false;
    bool curveSegment = false;
    int segmentFirst = -1;
    int segmentNext = -1;
    double segmentT = 0;
    bool ctrlEditing = false;
  };
  const TPointHover& PointHover() const { return pointHover_; }
  // The link point a dragged connector end would attach to (index -1: none).
  TVexaControl* HighlightedLinkControl() const { return linkControl_; }
  int HighlightedLinkPoint() const { return linkPointIndex_; }
  TPoint HighlightedLinkPosition() const { return linkPoint_; }
  // ==== end of resizing, grid snapping and point editing

  // ---- Selection
  int SelectedCount() const { return static_cast<int>(selection_.size()); }
  TVexaControl* Selected(int index) const { return selection_[static_cast<size_t>(index)]; }
  bool IsSelected(const TVexaControl* control) const;
  bool SelectOne(TVexaControl* control);
  // Refused (false) for none, a selected control, one that is not selectable, or one that is
  // not a child of a scheme of this document.
  bool Select(TVexaControl* control) { return SelectOne(control); }
  bool Unselect(TVexaControl* control);
  // groupClass: the panel history group that brackets the update (none: no group).
  void BeginSelectionUpdate(bool notifyControls, const THistoryActionClass* groupClass = nullptr);
  void EndSelectionUpdate(bool notifyControls, const THistoryActionClass* groupClass = nullptr);
  int SelectionUpdateDepth() const { return selectionUpdates_; }
  // The point-edited control (none when no points are edited).
  TVexaControl* PointEditedControl() const { return pointEdited_; }
  void SetPointEditedControl(TVexaControl* control) { pointEdited_ = control; }
  // Repaints the selection's handles (they are drawn from the selection when painted).
  void UpdateSelectionFrames();

  // The central notification handler of every control and of the panel itself.
  void DocNotify(TVexaControl* control, TVexaNotify notify);
  virtual void DoPropBeforeChanged(TVexaControl& control, TCustomProp& prop);
  virtual void DoPropChanged(TVexaControl& control, TCustomProp& prop);

  // ---- IDocPanel
  THistory& History() override;
  TPropRefList& RefList() override { return refs_; }
  int BeginLoading() override { return ++loading_; }
  // Dropping to 0 gives controls read without a usable ID a fresh one.
  int EndLoading() override;
  bool HasControlClasses() const override;
  IDocControl* CreateControl(std::string_view className, IDocControl* parent) override;
  void FreeControl(IDocControl* control) override;
  IDocControl* FindControl(int32_t id) const override { return FindControlByID(id); }
  IDocControl* FindLayer(int32_t id) const override;
  IDocControl* LayersRoot() const override;
  IDocControl* SchemesRoot() const override;
  IDocControl* ActiveScheme() const override { return activeScheme_; }
  IDocControl* ActiveLayer() const override { return activeLayer_; }
  bool IsLayer(const IDocControl& control) const override;
  bool IsScheme(const IDocControl& control) const override;
  bool IsGroup(const IDocControl& control) const override;
  void ClearDocument() override;
  void NewDocument() override;
  void UnselectAll() override;
  void Select(IDocControl& control) override { SelectOne(static_cast<TVexaControl*>(&control)); }
  std::vector<IDocControl*> Selection() const override { return {selection_.begin(), selection_.end()}; }
  IDocControl* GroupSelection(std::string_view groupClass) override;
  void UngroupSelection() override;
  IDocControl* RegroupControls(std::string_view groupClass, IDocControl& parent, IDocControl* layer,
                               const std::vector<IDocControl*>& members, const TRect& rect) override;
  void SetControlId(IDocControl& control, int32_t id) override;
  void ControlCreatedByLoad(IDocControl& control) override;

  // ---- IVexaPanel
  TIdPool& IdPool() override { return ids_; }
  uint32_t AssignControlId(TVexaControl& control, uint32_t wanted) override;
  void ReleaseControlId(TVexaControl& control, uint32_t id) override;
  uint32_t CheckControlId(TVexaControl& control, uint32_t oldId, uint32_t newId) override;
  bool IsLoading() const override { return loading_ > 0; }
  void AddParentless(TVexaControl& control) override { AddParentlessControl(&control); }
  void RemoveParentless(TVexaControl& control) override { RemoveParentlessControl(&control); }
  const std::vector<TVexaControl*>& Parentless() const override { return parentless_; }
  std::vector<TVexaControl*> TopControls() const override;
  bool IsControlSelected(const TVexaControl& control) const override { return IsSelected(&control); }
  void SelectControl(TVexaControl& control, bool select) override;
  void ControlNotify(TVexaControl& control, TVexaNotify notify) override { DocNotify(&control, notify); }
  void ControlPropBeforeChanged(TVexaControl& control, TCustomProp& prop) override { DoPropBeforeChanged(control, prop); }
  void ControlPropChanged(TVexaControl& control, TCustomProp& prop) override { DoPropChanged(control, prop); }
  TVexaControl* GetActiveLayer() const override { return activeLayer_; }
  void SetActiveLayer(TVexaControl* layer) override;
  TVexaControl* GetActiveScheme() const override { return activeScheme_; }
  void SetActiveScheme(TVexaControl* scheme) override;
  TVexaControl* GetLayersRoot() const override;
  TVexaControl* GetSchemesRoot() const override;
  TVexaControl* GetGrid() const override;
  bool AutoNames() const override { return autoNames_; }
  bool AutoNameNumbs() const override { return autoNameNumbs_; }
  int32_t Scale() const override { return scale_; }
  TRect DocToPixelRect(const TRect& docRect) const override;
  TPoint DocToPixelPoint(TPoint docPoint) const override;
  int32_t DocToPixelX(int32_t x) const;
  int32_t DocToPixelY(int32_t y) const;
  TPoint PixelToDocPoint(TPoint pixelPoint) const override;
  int32_t DocWidth() const override { return docWidth_; }
  int32_t DocHeight() const override { return docHeight_; }
  void SetDocWidth(int32_t width) override;
  void SetDocHeight(int32_t height) override;
  int32_t ConnectorsMinGap() const override { return connectorsMinGap_; }
  void SetConnectorsMinGap(int32_t gap) override;
  bool HasWindow() const override { return window_.HasParent(); }
  bool HoldsInvalidation() const override { return invalidationHeld_ > 0; }
  void InvalidatePixelRect(const TRect& rect) override { window_.Invalidate(rect); }
  void InvalidateAll() override { window_.InvalidateAll(); }
  TRect PaintRect() const override { return paintRect_; }
  void SetPaintRect(const TRect& rect) override { paintRect_ = rect; }
  bool ShowsEditingAids() const override { return editing_; }
  bool PaintsSchemeBackgrounds() const override { return true; }
  bool SchemeBkStretch() const override { return schemeBkStretch_; }
  bool ViewCentred() const override { return origin_.x < 0 || origin_.y < 0; }
  TRect ClientRect() const override { return window_.ClientRect(); }
  void PaintSchemeEvent(canvas::Canvas& canvas, TVexaControl& scheme) override;
  bool PaintsOnScreen() const override { return !paintOutput_; }
  bool ShowsDocumentFrame() const override { return showDocFrame_; }
  TAlphaBuffer& AlphaBuffer() override { return alpha_; }
  bool SuppressesTransparency() const override { return false; }

 private:
  friend class TVexaPaintList;
  void WindowResized() override;
  void WindowScrolled(panelwindow::TScrollBarKind bar) override;
  void Repaint() { window_.InvalidateAll(); }
  void RepaintWhenFramed() {
    if (showDocFrame_) Repaint();
  }
  bool ControlInDocument(const TVexaControl* control) const;
  // The controls the outermost load created and did not free, in creation order.
  std::vector<TVexaControl*> TakeLoadedControls();
  void GiveFreshIds(const std::vector<TVexaControl*>& loaded);
  // A new document whose own properties (name, size, gap) are those of a new panel.
  void RenewDocument();

  panelwindow::IPanelWindow& window_;
  const bool editing_;
  bool destroying_ = false;

  bool autoZoom_ = false;
  int32_t scale_ = 100;
  static constexpr int32_t kNewDocWidth = 320000;
  static constexpr int32_t kNewDocHeight = 240000;
  int32_t docWidth_ = kNewDocWidth;
  int32_t docHeight_ = kNewDocHeight;
  canvas::TColor docFrameColor_ = canvas::clBlack;
  canvas::TColor docShadowColor_ = 0x808080;
  canvas::Brush docSpaceBrush_{canvas::BrushStyle::BDiagonal, canvas::clBtnFace, nullptr};
  bool docSpaceFill_ = false;
  bool docClipping_ = false;
  int32_t horzExtraSpace_ = 0;
  int32_t vertExtraSpace_ = 0;
  bool schemeBkStretch_ = false;
  bool autoNames_ = true;
  int32_t connectorsMinGap_ = 8000;
  bool autoNameNumbs_ = false;
  bool showDocFrame_ = true;
  bool showEditPointGuide_ = true;

  int toolMode_ = 0;
  TVexaFilerProcess progressKind_ = TVexaFilerProcess::ppUnknown;
  int painting_ = 0;
  TPoint origin_{0, 0};
  TRect visibleDocRect_{0, 0, 0, 0};
  TRect paintRect_{0, 0, 0, 0};
  std::unique_ptr<TVexaPaintList> paintList_;
  canvas::Canvas* paintCanvas_ = nullptr;
  bool paintOutput_ = false;
  bool paintTransparency_ = false;
  bool paintPathFlag_ = false;
  int customPainting_ = 0;
  // Paint indexes of the schemes, valid while the document is unchanged since they were made.
  uint64_t docGeneration_ = 0;
  uint64_t indexGeneration_ = 0;
  std::unordered_map<const TVexaControl*, std::unique_ptr<TVexaPaintIndex>> paintIndexes_;
  const TVexaPaintIndex& PaintIndexOf(const TVexaControl& scheme, int32_t x, int32_t y);
  // A scheme's page and those of its controls that can reach the paint rectangle.
  void PaintSchemeControls(canvas::Canvas& canvas, TVexaCustomScheme& scheme);
  TPoint viewOrigin_{0, 0};
  int32_t viewScale_ = 100;
  TRect rubberBand_{0, 0, 0, 0};
  int linkPointIndex_ = -1;
  TPoint linkPoint_{0, 0};

  std::unique_ptr<TVexaPanelHistory> history_;
  TAlphaBuffer alpha_;
  TPropRefList refs_;
  TIdPool ids_;
  // Every control holding an ID of the pool: finding by ID stays constant-time, which keeps
  // undo of large selections linear.
  std::unordered_map<uint32_t, TVexaControl*> byId_;
  // Controls created while loading: those left without an ID get one when loading ends, and
  // all are told that the load has placed them.
  std::unordered_set<TVexaControl*> loadedControls_;
  std::vector<TVexaControl*> loadedOrder_;
  int loading_ = 0;
  int invalidationHeld_ = 0;  // loads under way that repaint as a whole when they end
  bool modified_ = false;

  TVexaSchemes* schemes_ = nullptr;
  TVexaLayers* layers_ = nullptr;
  TVexaGrid* grid_ = nullptr;
  TVexaControl* activeScheme_ = nullptr;
  TVexaControl* activeLayer_ = nullptr;
  std::vector<TVexaControl*> parentless_;
  std::vector<TVexaControl*> selection_;
  // The same controls as a set: asking whether a control is selected stays constant-time
  // with a large selection.
  std::unordered_set<const TVexaControl*> selected_;
  int selectionUpdates_ = 0;
  bool selectionFramesStale_ = false;
  TVexaControl* pointEdited_ = nullptr;
  // ==== Resizing, grid snapping and point editing: state and helpers (PanelResize.cpp,
  // PanelPoints.cpp, PanelPointTool.cpp) ====
  bool pointsGroupOpen_ = false;
  std::vector<uint8_t> pointSelection_;
  int selectedPoints_ = 0;
  canvas::Region editRegion_;
  bool editRegionPrecise_ = true;
  TPointHover pointHover_;
  TPoint pointStart_{0, 0};
  TPoint pointGrab_{0, 0};
  TPoint segmentLast_{0, 0};
  TVexaControl* linkControl_ = nullptr;
  TVexaControl::TEditPointGuide editGuide_;
  // The point dragged in mode 11; the segment dragged in mode 12.
  int dragPoint_ = -1;
  int segmentFirst_ = -1;
  int segmentNext_ = -1;
  double segmentT_ = 0;
  bool segmentCurve_ = false;
  // The control whose points update a drag opened (it ends even if the selection changed).
  TVexaControl* pointsUpdated_ = nullptr;
  // Set while a release finishes its drag but still adds to the drag's undo step.
  bool holdPointsGroup_ = false;
  bool PointToolBase() const;
  void UpdatePointHover(bool ctrl);
  // Whether a point of the point-edited control shows a marker (and can be grabbed).
  bool HasMarker(int index) const;
  // The Ctrl-click of the point tool: close a figure at its end, delete a node, or insert one.
  void InsertOrDeleteAtMouse(TVexaControl& edited);
  void RefreshLinkHighlight();
  void HighlightLinkPoint(TVexaControl* control, int index, TPoint docPoint);
  bool CreationGroupOpen() const;
  void ApplyResize(int32_t dx, int32_t dy, int handle, bool proportional);
  // ==== end of resizing and point editing state
  TVexaControl* hovered_ = nullptr;
  TVexaControl* hintControl_ = nullptr;

  // ==== Tool modes and mouse editing: state and helpers (PanelMouse.cpp, PanelKeys.cpp) ====
  void WindowMouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
  void WindowMouseMove(TShiftState shift, int32_t x, int32_t y) override;
  void WindowMouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
  void WindowDoubleClick(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
  bool WindowKeyDown(uint16_t key, TShiftState shift) override;
  void WindowKeyUp(uint16_t key, TShiftState shift) override;
  void WindowFocusLost() override;
  void WindowHidden() override;
  void FinishToolMode(int mode);
  void StartToolMode(int mode);
  // The rest of MouseMove after the position is stored: hints, the mode's work, the cursor.
  void HandleMouseMove(TShiftState shift);
  void SelectOnMouseDown(TShiftState shift);
  void ToggleBandSelection();
  void ZoomToBand();
  void MoveWithMouse(TShiftState shift);
  void PanWithMouse(TShiftState shift);
  void UpdateHover();
  void UpdateHint();
  // A gesture whose release never came (a popup took it) ends as if it had.
  void FinishLostGesture();
  void CancelGesture();
  TPoint MouseDocPoint() const { return PixelToDocPoint(mousePos_); }
  // The top-most control of the active scheme under a client point (the last painted there).
  TVexaControl* ControlAtPixel(int32_t x, int32_t y);
  void UnselectMany(const std::vector<TVexaControl*>& controls);
  void InvalidateSelectionFrame(const TRect& docRect);
  // Band, move, resize, point and pan gestures: they last while a button is held.
  static bool IsGestureMode(int mode);

  int baseToolMode_ = 0;
  int cursor_ = 0;
  TPoint mousePos_{0, 0};
  TShiftState mouseShift_ = 0;
  // The button that began the current gesture, while it is held.
  std::optional<TMouseButton> gestureButton_;
  TPoint startPoint_{0, 0};
  TPoint lastMovedPoint_{0, 0};
  // Where panning and a zoom band began, client pixels.
  TPoint startScrollPos_{0, 0};
  TPoint startMousePos_{0, 0};
  TRect transformRect_{0, 0, 0, 0};
  TRect selectionFrame_{0, 0, 0, 0};
  int handle_ = 0;
  bool zoomOut_ = false;
  // Escape is ending the gesture: a band selects nothing, a zoom band zooms nowhere.
  bool cancelling_ = false;
  // The history's length when a move or a resize began (a cancelled one leaves no step).
  int gestureHistoryCount_ = 0;
  TVexaControl* hoveredTop_ = nullptr;
  // How far past its paint extent a control's hit test may reach, pixels.
  static constexpr int32_t kHitReach = 4;
  std::vector<TVexaControl*> hitCandidates_;
  // ==== end of tool modes state
};

// A panel operation refused for the reason given.
class EPanelError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace pv::graphics
