#pragma once
// The base of every document object: the common properties, two-phase creation and
// destruction, the children, IDs, names, notifications and the object block of the text
// format. Create through a class's virtual constructor (TVexaControlClass::create or
// TVexaControl::New) and destroy through Free, never by delete.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/NotifyLink.h"
#include "base/VexaFiler.h"
#include "controls/ControlClasses.h"
#include "controls/Rotation.h"
#include "props/PropList.h"
#include "props/SimpleProps.h"
#include "textformat/DocModel.h"

namespace pv::canvas {
class Canvas;
}

namespace pv::graphics {

class IVexaPanel;
class TAlphaBuffer;
class TLayerProp;
class TLinkProp;
struct TPathFigureInfos;
class TSchemeRefProp;

// State flags.
inline constexpr uint8_t csCreating = 0x01;
inline constexpr uint8_t csDestroying = 0x02;
inline constexpr uint8_t csReparenting = 0x04;
inline constexpr uint8_t csExtracting = 0x08;
inline constexpr uint8_t csTransforming = 0x10;
inline constexpr uint8_t csInEndUpdate = 0x20;
inline constexpr uint8_t csHistoryGroup = 0x40;
inline constexpr uint8_t csLoading = 0x80;

class TVexaControl : public IDocControl {
 public:
  static const TVexaControlClass ClassInfo;
  virtual const TVexaControlClass& ClassType() const { return ClassInfo; }
  const char* ClassName() const override { return ClassType().Name(); }
  bool InheritsFrom(const TVexaControlClass& cls) const { return IsClassOrDescendant(&ClassType().ref, &cls.ref); }

  // The virtual constructor of class T: construct, then initialise (which may call virtuals).
  template <class T>
  static T* New(IVexaPanel* panel, TVexaControl* parent, TVexaControl* layer = nullptr) {
    T* control = new T();
    control->Construct(panel, parent, layer);
    return control;
  }
  template <class T>
  static TVexaControl* Creator(IVexaPanel* panel, TVexaControl* parent, TVexaControl* layer) {
    return New<T>(panel, parent, layer);
  }
  // The virtual teardown, then the memory. Nothing when already being destroyed.
  void Free();

  IVexaPanel* Owner() const { return owner_; }
  // IDocControl: the panel (std::logic_error for a control outside any document).
  IDocPanel& Panel() const override;
  uint8_t State() const { return state_; }
  bool HasState(uint8_t flag) const { return (state_ & flag) != 0; }

  // Properties.
  TPropList& Props() override { return props_; }
  std::string GetName() const override { return name_->GetValue(); }
  void SetName(const std::string& name) override { name_->SetValue(name); }
  int32_t GetId() const override { return static_cast<int32_t>(id_->GetValue()); }
  uint32_t GetID() const { return id_->GetValue(); }
  void SetID(uint32_t id) { id_->SetValue(id); }
  int32_t GetLeft() const { return left_->GetValue(); }
  int32_t GetTop() const { return top_->GetValue(); }
  int32_t GetWidth() const { return width_->GetValue(); }
  int32_t GetHeight() const { return height_->GetValue(); }
  void SetLeft(int32_t v) { left_->SetValue(v); }
  void SetTop(int32_t v) { top_->SetValue(v); }
  void SetWidth(int32_t v) { width_->SetValue(v); }
  void SetHeight(int32_t v) { height_->SetValue(v); }
  bool GetVisible() const { return visible_->GetValue(); }
  void SetVisible(bool v) { visible_->SetValue(v); }
  int32_t GetTag() const { return tag_->GetValue(); }
  void SetTag(int32_t v) { tag_->SetValue(v); }
  TStrListProp& Hint() const { return *hint_; }
  bool GetShowHint() const { return showHint_->GetValue(); }
  void SetShowHint(bool v) { showHint_->SetValue(v); }
  int32_t GetTransparency() const { return transparency_->GetValue(); }
  void SetTransparency(int32_t v) { transparency_->SetValue(v); }
  bool GetSelectable() const { return selectable_->GetValue(); }
  void SetSelectable(bool v) { selectable_->SetValue(v); }
  TVexaControl* GetReference() const;
  void SetReference(TVexaControl* scheme);
  TSchemeRefProp& ReferenceProp() const { return *reference_; }
  TLayerProp& LayerProp() const { return *layerProp_; }
  bool IsSelected() const;
  void SetSelected(bool selected);
  // The nearest ancestor that is a scheme; none when the control lies in no scheme.
  TVexaControl* GetScheme() const;

  // Children.
  TVexaControl* GetParent() const { return parent_; }
  IDocControl* Parent() const override { return parent_; }
  int GetCount() const { return static_cast<int>(children_.size()); }
  int ChildCount() const override { return GetCount(); }
  TVexaControl* GetChild(int index) const { return children_[static_cast<size_t>(index)]; }
  IDocControl* Child(int index) const override { return GetChild(index); }
  int IndexOf(const TVexaControl* control) const;
  TVexaControl* FindChildByName(const std::string& name) const;
  // The first control of this subtree, depth-first, with that ID; none for 0.
  TVexaControl* FindByID(uint32_t id);
  // The index of the new child; -1 when refused (the control itself, one of its ancestors,
  // or a class the container does not hold).
  virtual int AddChild(TVexaControl* control);
  virtual void DeleteChild(int index);
  void RemoveChild(TVexaControl* control);
  virtual void ExtractChild(TVexaControl* control);
  // Whether taking a child out makes this control fit itself to the rest: not while it goes
  // away, transforms or loads.
  bool RefitsAfterRemoval() const;
  virtual void ClearChildren();
  void MoveChild(int from, int to) override;
  void SetParent(IDocControl* parent) override;
  bool IsAncestorOf(const TVexaControl* control) const;
  // Moves the control and its subtree to another panel (none: out of any document): it
  // leaves a parent of the old panel, takes its IDs into the new pool where they are free,
  // records into the new history, and is parentless there.
  void MoveToPanel(IVexaPanel* panel);
  // The control itself or one of its properties.
  bool Owns(const TVexaObject* object) const;

  // The layer.
  TVexaControl* GetLayer() const { return layer_; }
  IDocControl* Layer() const override { return layer_; }
  void SetLayer(IDocControl* layer) override;
  void SetLayerControl(TVexaControl* layer);

  // Notifications and updates.
  TNotifyLink* GetNotifyLink();
  virtual void Notify(TVexaNotify code);
  virtual bool BeginUpdate();
  virtual bool EndUpdate();
  int UpdateCount() const { return updateCount_; }
  virtual void BeginPointsUpdate() { ++pointsUpdateCount_; }
  virtual void EndPointsUpdate() {
    if (pointsUpdateCount_ > 0) --pointsUpdateCount_;
  }
  void Loaded() override { Notify(TVexaNotify::fnLoaded); }
  // The load that read this control has read every control and given out the IDs, so the
  // control stands where the whole text puts it, even when an enclosing control's position
  // came after its own block. The load's references are resolved next.
  virtual void LoadEnding() {}

  virtual bool IsUniqueName(bool checkEmpty, bool checkSiblings) const;
  virtual bool IsSelectable() const;
  virtual bool IsGroup() const { return false; }
  virtual bool IsConnector() const { return false; }
  virtual bool IsCustomScheme() const { return false; }
  // A group fits its rectangle to its children when one of them moves or comes and goes.
  virtual void RefitToChildren() {}
  virtual int GetCreateCursor() const { return 7; }

  // Geometry (document units).
  TRect GetDocRect() const override;
  virtual void SetDocRect(const TRect& rect);
  // Where the parent's corner stands in the document, summed in 64 bits: a control at the edge
  // of the range is placed from there without wrapping to the other side.
  struct TDocOffset {
    int64_t x = 0;
    int64_t y = 0;
  };
  TDocOffset ParentDocOffset() const;
  TRect GetPixelRect() const;
  virtual TRect GetRefreshRect(int32_t x, int32_t y) const;
  virtual void Invalidate();
  bool HasPoints() const override { return GetPointsCount() > 0; }
  virtual int GetPointsCount() const { return 0; }
  void GetPointsEx(std::vector<TPoint>& points, std::vector<uint8_t>& types) const override;
  virtual void SetPointsEx(const std::vector<TPoint>&, const std::vector<uint8_t>&) {}
  void RestoreDocRect(const TRect& rect) override { SetDocRect(rect); }
  void RestorePoints(const TRect& rect, const std::vector<TPoint>& points, const std::vector<uint8_t>& types) override;
  // While transformed, the rectangle from before the transformation: a resize that changes
  // the control several times undoes to where it began.
  void GetPointsForUndo(TRect& rect, std::vector<TPoint>& points, std::vector<uint8_t>& types) const override;
  bool InUpdate() const override { return updateCount_ > 0 || HasState(csInEndUpdate); }
  TRect UpdateRect() const override { return updateRect_; }

  // The transformation bracket: every descendant keeps its rectangle relative to origin, so
  // that a sizing can place each one from where it started.
  virtual void BeginTransformation(TPoint origin);
  virtual void EndTransformation();
  // The document rectangle saved by BeginTransformation, relative to its origin.
  const TRect& SavedRect() const;
  TPoint SavedOrigin() const { return extras_ ? extras_->savedOrigin : TPoint{}; }

  // Rotation and mirroring.
  virtual void Rotate(const TRotateRec& rec);
  virtual void RotatePoints(const TRotateRec& rec);
  // Every descendant, then the control itself.
  virtual void RotateAll(const TRotateRec& rec);
  // Mirrors the saved link points inside the saved rectangle; only in a transformation.
  virtual void Mirror(bool horizontal, bool vertical);
  void BeginRotation() { ++rotationCount_; }
  void EndRotation() {
    if (rotationCount_ > 0) --rotationCount_;
  }

  // Link points: point records (absolute document units) that other objects own and register
  // here; the control rewrites them in place when it moves, sizes or rotates.
  int AddLinkPoint(TPoint* point);
  int IndexOfLinkPoint(const TPoint* point) const;
  // EListError for an index outside the list (or without one).
  void DeleteLinkPoint(int index);
  void RemoveLinkPoint(TPoint* point);
  int GetLinkPointsCount() const { return extras_ ? static_cast<int>(extras_->linkPoints.size()) : 0; }
  TPoint GetLinkPointAt(int index) const;
  void SetLinkPointAt(int index, TPoint point);
  // The control moved by (dx, dy) with an ancestor: its link points follow.
  void FollowAncestorMove(int32_t dx, int32_t dy);
  // Rescales the link points from one rectangle to another (from the saved state while
  // transforming).
  virtual void TransformPoints(const TRect& oldRect, const TRect& newRect);

  // What a connector asks of the ends of a path.
  struct TEndPointsInfo {
    bool hasEndPoints = false;
    int32_t lastEndPoint = 0;
    bool movable = false;  // the answer
    int32_t index = 0;     // the point asked about, filled in by the caller
  };
  virtual void GetEndPointsInfo(TEndPointsInfo& info) const;
  // A curve with this control's look; none for a control that has no outline to give.
  virtual TVexaControl* CreateCurveControl() { return nullptr; }
  // The link properties of a connector's two ends; none for other controls.
  virtual void GetLinkProps(TLinkProp*& start, TLinkProp*& end) const {
    start = nullptr;
    end = nullptr;
  }
  // The class's own link points (a box's edge middles): document units, relative to the control.
  virtual TPoint GetLinkPoint(int) const { return {}; }
  virtual int GetLinkPointCount() const { return 0; }
  // A selection change begins and ends (connectors reroute at the end).
  virtual void BeginSelectionUpdate() { updateRect_ = GetDocRect(); }
  virtual void EndSelectionUpdate() {}
  virtual void MinimalGapChanged() {}

  // The points of a path (curves and connectors have them).
  virtual TPoint GetPoint(int) const { return {}; }
  virtual void SetPoint(int, TPoint) {}
  virtual uint8_t GetPointType(int index) const;
  virtual void SetPointType(int, uint8_t) {}
  virtual bool GetIsPointsClosed() const { return true; }
  virtual void SetIsPointsClosed(bool) {}
  // -1 for a control point, else the number of nodes before index.
  int GetNodeIndex(int index) const;
  // The index of the n-th node; -1 when there is none.
  int GetPointIndex(int node) const;
  int GetNodesCount() const;
  // Points with the default types: nodes, the last one ending the figure.
  void SetPoints(const std::vector<TPoint>& points);
  virtual bool MovePathPoint(int index, TPoint delta, bool symmetric, bool smooth,
                             const std::vector<uint8_t>* selection);
  // Drags the segment from first to last at parameter t (0..1).
  virtual bool MovePathSegment(int first, int last, double t, TPoint delta);
  virtual bool EditPoints(int, const std::vector<uint8_t>*, TPoint) { return false; }
  virtual uint32_t GetEditPointsCaps(const std::vector<uint8_t>*) const { return 0; }
  virtual const TPathFigureInfos* GetPathInfo() const { return nullptr; }
  // The index of the new point; -1 when the control takes none.
  virtual int InsertPoint(int, TPoint) { return -1; }
  virtual int InsertCurvePoint(int, TPoint, TPoint, TPoint) { return -1; }
  virtual int InsertPointAtPos(TPoint) { return -1; }
  virtual void DeletePoint(int) {}
  virtual bool FlattenPoints(double) { return false; }
  virtual bool PathHitTest(TPoint, int32_t) const { return false; }
  virtual bool FindNearestPathPoint(TPoint, int32_t&, int32_t&) const { return false; }
  int AddPoint(TPoint point) { return InsertPoint(GetPointsCount(), point); }
  int AddCurvePoint(TPoint point, TPoint control1, TPoint control2) {
    return InsertCurvePoint(GetPointsCount(), point, control1, control2);
  }
  // The last point that is not a control point ends a closed or an open figure.
  void SetLastPointClosed(bool closed);
  // Every path point for painting at scale, the control's document top-left at pixel (x, y).
  void GetPixelPoints(std::vector<TPoint>& out, int32_t x, int32_t y, int32_t scale) const;
  // The preview of a point inserted on the path while points are edited: the piece of path
  // around the new point (document units, relative to the control), the new one selected.
  struct TEditPointGuide {
    int32_t count = 0;
    TPoint position{};
    std::vector<TPoint> points;
    std::vector<uint8_t> types;
    std::vector<uint8_t> selection;
  };
  virtual void GetEditPointGuide(TPoint pixel, TEditPointGuide& guide) const;
  // The document rectangle's top-left in pixels.
  virtual TPoint GetAnchorPoint() const;

  // Painting and hit testing (pixels).
  virtual void Paint(canvas::Canvas& canvas, const TRect& rect);
  virtual void PaintAll(canvas::Canvas& canvas, int32_t originX, int32_t originY);
  virtual bool IsPointInside(int32_t x, int32_t y) const;
  // The refresh rectangles of the control and all its descendants, at origin (x, y).
  TRect PaintExtent(int32_t x, int32_t y) const;
  virtual TVexaControl* FindControlAt(int32_t x, int32_t y);

  // The text format.
  virtual void SaveToFiler(TVexaFiler& filer, const std::string& indent);
  // Reads the rest of the control's block (its object line already read).
  virtual void LoadFromFiler(TVexaFiler& filer);

  // 0 automatic (composed when the effective transparency is above 0), 1 always composed,
  // any other value never.
  uint8_t TransparencyMode() const { return transparencyMode_; }
  void SetTransparencyMode(uint8_t mode) { transparencyMode_ = mode; }
  // Own transparency combined with the layer's: own x (100 - layer) / 100 + layer.
  int32_t EffectiveTransparency() const;

  bool NoSelfPaint() const { return noSelfPaint_; }
  bool NoClippingTest() const { return noClippingTest_; }

 public:
  // Only the virtual constructor (New) calls this: creation is not complete without it.
  TVexaControl() = default;

 protected:
  ~TVexaControl() override;
  // A panel pixel in the coordinates of the control's points (its own rectangle's corner at
  // 0,0); held within int32 when the control lies far from the pixel. No panel: the pixel.
  TPoint PixelToLocal(TPoint pixel) const;

  void Construct(IVexaPanel* panel, TVexaControl* parent, TVexaControl* layer);
  virtual void InitControl(TVexaControl* parent, TVexaControl* layer);
  virtual void DoDestroy();
  virtual void CreateProperties();
  virtual void ControlCreate();
  virtual void ControlDestroy();
  virtual void PropBeforeChanged(TCustomProp& prop);
  virtual void PropChanged(TCustomProp& prop);
  virtual void PropStored(TCustomProp& prop, std::string_view subName, bool& stored);
  virtual void PropReadOnly(TCustomProp& prop, bool& readOnly);

  // Closes (or, on failure, cancels) the creation or destruction group this control opened.
  void CloseHistoryGroup(bool cancel);
  void OpenHistoryGroup(bool creation);
  // Records a TOrderHistoryAction for the control when the panel records.
  void RecordOrder(TVexaControl& control);
  void RecordSizeChange();
  void TakeSizeMoveSnapshot();
  void RecordDescendantSizeMoves(THistory& history);
  bool AncestorRecordsSizeMove() const;
  // The history is undoing or redoing a step of this control or of one of its properties.
  bool IsHistorySource() const;
  // The panel's history is undoing or redoing a step, of this control or another.
  bool HistoryReplays() const;

  // The control is about to leave its panel for another one (or none).
  virtual void LeavePanel() {}
  // The control goes to another panel, and the old panel records the step: what the control
  // hands over to those that stay (a layer: its controls) is recorded there first.
  virtual void HandOverBeforeLeaving() {}
  // Puts the control on another layer whatever the layer it is on allows: that layer is
  // leaving the panel.
  static void TakeOffLeavingLayer(TVexaControl& control, TVexaControl* layer);
  // A child's name changed, or a child that is being freed leaves without DeleteChild (a
  // failed teardown): for containers that index their children by name.
  virtual void ChildRenamed(TVexaControl&) {}
  virtual void ChildGone(const TVexaControl&) {}
  // Forgets the layer without asking it (the layer is leaving, whatever its rules).
  static void DropLayer(TVexaControl& control) { control.layer_ = nullptr; }
  void SetNoSelfPaint(bool on) { noSelfPaint_ = on; }
  // For a rotation that must end in one rectangle notification against the rectangle from
  // before it (groups).
  bool TakePendingRect() {
    const bool pending = pendingRect_;
    pendingRect_ = false;
    return pending;
  }
  void MarkPendingRect(const TRect& updateRect) {
    pendingRect_ = true;
    updateRect_ = updateRect;
  }
  int RotationCount() const { return rotationCount_; }
  void SetNoClippingTest(bool on) { noClippingTest_ = on; }
  bool InTransformation() const { return HasState(csTransforming); }
  // The buffer this control is being composed through while PaintAll paints it; none otherwise.
  TAlphaBuffer* AlphaBufferInUse() const { return alphaInUse_; }

  TLongWordProp* id_ = nullptr;
  TIntProp* tag_ = nullptr;
  TStrProp* name_ = nullptr;
  TIntProp* left_ = nullptr;
  TIntProp* top_ = nullptr;
  TIntProp* width_ = nullptr;
  TIntProp* height_ = nullptr;
  TBoolProp* visible_ = nullptr;
  TStrListProp* hint_ = nullptr;
  TBoolProp* showHint_ = nullptr;
  TLayerProp* layerProp_ = nullptr;
  TSchemeRefProp* reference_ = nullptr;
  TUserDataProp* userData_ = nullptr;
  TIntProp* transparency_ = nullptr;
  TBoolProp* selectable_ = nullptr;

 private:
  friend class TPassControlRec;
  // The property list's events, passed on to the handlers of the list's control: one object
  // serves every control, none is held per control.
  class Events : public TPropListEvents {
   public:
    void PropChanged(TPropList& list, TCustomProp& prop) override {
      TVexaControl& control = Of(list);
      if (&prop == control.name_) control.NameChanged();
      control.PropChanged(prop);
    }
    void PropBeforeChanged(TPropList& list, TCustomProp& prop) override { Of(list).PropBeforeChanged(prop); }
    void PropStored(TPropList& list, TCustomProp& prop, std::string_view subName, bool& stored) override {
      Of(list).PropStored(prop, subName, stored);
    }
    void PropReadOnly(TPropList& list, TCustomProp& prop, bool& readOnly) override {
      Of(list).PropReadOnly(prop, readOnly);
    }

   private:
    static TVexaControl& Of(TPropList& list) { return *static_cast<TVexaControl*>(list.Control()); }
  };
  static Events& ControlEvents();
  void ChangePanel(IVexaPanel* panel);
  // The panel's and the parent's name indexes follow the new name.
  void NameChanged();

  IVexaPanel* owner_ = nullptr;
  TVexaControl* parent_ = nullptr;
  TVexaControl* layer_ = nullptr;
  std::vector<TVexaControl*> children_;
  // Filled by InitControl and emptied by the destructor. It holds the block the properties
  // made at creation are placed in.
  TPropList props_{this};
  uint32_t lastId_ = 0;
  bool noSelfPaint_ = false;
  bool noClippingTest_ = false;
  int updateCount_ = 0;
  int pointsUpdateCount_ = 0;
  std::unique_ptr<TNotifyLink> link_;
  bool pendingLinkPoints_ = false;
  bool pendingRect_ = false;
  bool propertiesCreated_ = false;
  bool checkingId_ = false;
  bool layerLeaving_ = false;
  uint8_t transparencyMode_ = 0;
  // Beside the other flags, where it fills a hole.
  uint8_t state_ = 0;
  TAlphaBuffer* alphaInUse_ = nullptr;
  TRect updateRect_{};
  int rotationCount_ = 0;
  // The descendants' geometry when an update bracket of this control began with the history
  // recording: what undoing the bracket restores them to.
  struct TSizeMoveSnapshot {
    TVexaControl* control;
    TRect rect;
    std::vector<TPoint> points;
    std::vector<uint8_t> types;
  };
  // What only some controls need, made on first use: the link points others registered
  // (with the rectangle they were placed against and their places when a transformation
  // began), the rectangle and origin of the last transformation, and the descendants'
  // geometry of an update bracket.
  struct TExtras {
    TRect savedRect{};
    TPoint savedOrigin{};
    std::vector<TPoint*> linkPoints;
    TRect linkBaseRect{};
    std::vector<TPoint> savedLinkPoints;
    std::vector<TSizeMoveSnapshot> sizeMoveSnapshot;
  };
  TExtras& Extras();
  bool HasLinkPoints() const { return extras_ && !extras_->linkPoints.empty(); }
  bool HasSizeMoveSnapshot() const { return extras_ && !extras_->sizeMoveSnapshot.empty(); }
  // Where the link points were placed against: kept only for a control that has some (it is
  // read only then, and set again when the first one comes).
  void SetLinkBaseRect(const TRect& rect) {
    if (extras_) extras_->linkBaseRect = rect;
  }
  std::unique_ptr<TExtras> extras_;
};

// Depth-first walk over a control and all its descendants; never leaves the first control's
// subtree.
class TPassControlRec {
 public:
  TVexaControl* PassFirst(TVexaControl* control);
  TVexaControl* PassNext();
  void PassEnd();

 private:
  TVexaControl* current_ = nullptr;
  std::vector<int32_t> stack_;
};

inline TVexaControl* AsVexa(IDocControl* control) { return static_cast<TVexaControl*>(control); }

// A control's update bracket for a scope: the changes inside it end in one notification and
// one repaint, and the bracket ends even when setting a property throws.
class TControlUpdate {
 public:
  explicit TControlUpdate(TVexaControl& control) : control_(control) { control_.BeginUpdate(); }
  ~TControlUpdate() { control_.EndUpdate(); }
  TControlUpdate(const TControlUpdate&) = delete;
  TControlUpdate& operator=(const TControlUpdate&) = delete;

 private:
  TVexaControl& control_;
};

}  // namespace pv::graphics
