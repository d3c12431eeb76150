#pragma once
// The document as the text format and the control history actions see it: a tree of
// controls with property lists, and the panel that creates, finds, selects and groups them.
// The control classes and the document panel implement these.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Geometry.h"
#include "base/VexaObject.h"

namespace pv::graphics {

class IDocPanel;
class THistory;
class TPropList;
class TPropRefList;

class IDocControl : public TVexaObject {
 public:
  virtual IDocPanel& Panel() const = 0;
  virtual const char* ClassName() const = 0;
  virtual std::string GetName() const = 0;
  virtual void SetName(const std::string& name) = 0;
  virtual int32_t GetId() const = 0;
  virtual TPropList& Props() = 0;

  virtual IDocControl* Parent() const = 0;
  virtual int ChildCount() const = 0;
  virtual IDocControl* Child(int index) const = 0;
  // Appended as the parent's last child; none: the control leaves its parent.
  virtual void SetParent(IDocControl* parent) = 0;
  // Moves a child within this control's children (both indexes valid).
  virtual void MoveChild(int from, int to) = 0;
  virtual IDocControl* Layer() const = 0;
  virtual void SetLayer(IDocControl* layer) = 0;
  // The control's whole block has been read (fnLoaded).
  virtual void Loaded() = 0;

  virtual TRect GetDocRect() const = 0;
  virtual bool HasPoints() const = 0;
  virtual void GetPointsEx(std::vector<TPoint>& points, std::vector<uint8_t>& types) const = 0;
  // Geometry put back by the history (a connector is not rerouted by it).
  virtual void RestoreDocRect(const TRect& rect) = 0;
  virtual void RestorePoints(const TRect& rect, const std::vector<TPoint>& points,
                             const std::vector<uint8_t>& types) = 0;
  // Inside an update bracket, or marked as updated by the last one.
  virtual bool InUpdate() const = 0;
  // The rectangle saved when the update bracket began.
  virtual TRect UpdateRect() const = 0;
  // The state that undo of a points change returns to: while the control is transformed,
  // the state from before the transformation.
  virtual void GetPointsForUndo(TRect& rect, std::vector<TPoint>& points, std::vector<uint8_t>& types) const {
    rect = GetDocRect();
    GetPointsEx(points, types);
  }

  // The index among the parent's children; -1 without a parent.
  int IndexInParent() const;
};

class IDocPanel : public TVexaObject {
 public:
  virtual THistory& History() = 0;
  // The deferred references of the load that runs.
  virtual TPropRefList& RefList() = 0;
  // The loading counter: the new value.
  virtual int BeginLoading() = 0;
  virtual int EndLoading() = 0;

  virtual bool HasControlClasses() const = 0;
  // A new control of the registered class of that name (case-insensitive) under parent;
  // none when no class has that name.
  virtual IDocControl* CreateControl(std::string_view className, IDocControl* parent) = 0;
  virtual void FreeControl(IDocControl* control) = 0;
  virtual IDocControl* FindControl(int32_t id) const = 0;
  virtual IDocControl* FindLayer(int32_t id) const = 0;
  virtual IDocControl* LayersRoot() const = 0;
  virtual IDocControl* SchemesRoot() const = 0;
  virtual IDocControl* ActiveScheme() const = 0;
  virtual IDocControl* ActiveLayer() const = 0;
  virtual bool IsLayer(const IDocControl& control) const = 0;
  virtual bool IsScheme(const IDocControl& control) const = 0;
  virtual bool IsGroup(const IDocControl& control) const = 0;

  // Empties the document (no first scheme or layer).
  virtual void ClearDocument() = 0;
  // An empty document with a first scheme and layer.
  virtual void NewDocument() = 0;

  virtual void UnselectAll() = 0;
  virtual void Select(IDocControl& control) = 0;
  virtual std::vector<IDocControl*> Selection() const = 0;
  // Groups the selection into a new group of that class; none when nothing is selected.
  virtual IDocControl* GroupSelection(std::string_view groupClass) = 0;
  virtual void UngroupSelection() = 0;
  // Makes again a group that a history step recorded: of that class, under parent on layer,
  // at the rectangle it had, holding the members in their order, each keeping its place on the
  // page; none when the class is unknown. Unlike grouping the selection it takes what it is
  // given: one member, none, members that may not be selected. This one goes through the
  // selection, for panels that have nothing closer.
  virtual IDocControl* RegroupControls(std::string_view groupClass, IDocControl& parent, IDocControl* layer,
                                       const std::vector<IDocControl*>& members, const TRect& rect);
  // Gives the control an ID through the panel's ID check (a refused ID gets a new one).
  virtual void SetControlId(IDocControl& control, int32_t id) = 0;
  // A control was read from text outside a document load (paste, drop): record its creation.
  virtual void ControlCreatedByLoad(IDocControl& control) = 0;
};

}  // namespace pv::graphics
