#pragma once
// What a control asks of the panel that owns it, beyond what the text format and the history
// actions ask (DocModel.h): the ID pool, the parentless controls, selection, notifications,
// the active layer and scheme, default names and the window's invalidation.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/IdPool.h"
#include "base/NotifyLink.h"
#include "textformat/DocModel.h"

namespace pv::canvas {
class Canvas;
}

namespace pv::graphics {

class TAlphaBuffer;
class TCustomProp;
class TVexaControl;

class IVexaPanel : public IDocPanel {
 public:
  virtual TIdPool& IdPool() = 0;
  // A control's ID from the pool: wanted when it is free (not 0), else a new one.
  virtual uint32_t AssignControlId(TVexaControl& control, uint32_t wanted) = 0;
  virtual void ReleaseControlId(TVexaControl& control, uint32_t id) = 0;
  // The ID check: takes the control's new ID into the pool, or gives it a fresh one when the
  // pool refuses it; returns the ID the control is to have (oldId already released).
  virtual uint32_t CheckControlId(TVexaControl& control, uint32_t oldId, uint32_t newId) = 0;
  virtual bool IsLoading() const = 0;

  // Controls without a parent that still belong to the document. The panel refuses the
  // roots, the grid and duplicates.
  virtual void AddParentless(TVexaControl& control) = 0;
  virtual void RemoveParentless(TVexaControl& control) = 0;
  virtual const std::vector<TVexaControl*>& Parentless() const = 0;
  // Every tree of the document: the layers root, the schemes root, the grid, then the
  // parentless controls.
  virtual std::vector<TVexaControl*> TopControls() const = 0;

  virtual bool IsControlSelected(const TVexaControl& control) const = 0;
  virtual void SelectControl(TVexaControl& control, bool select) = 0;

  virtual void ControlNotify(TVexaControl& control, TVexaNotify notify) = 0;
  virtual void ControlPropBeforeChanged(TVexaControl& control, TCustomProp& prop) = 0;
  virtual void ControlPropChanged(TVexaControl& control, TCustomProp& prop) = 0;

  virtual TVexaControl* GetActiveLayer() const = 0;
  virtual void SetActiveLayer(TVexaControl* layer) = 0;
  virtual TVexaControl* GetActiveScheme() const = 0;
  virtual void SetActiveScheme(TVexaControl* scheme) = 0;
  virtual TVexaControl* GetLayersRoot() const = 0;
  virtual TVexaControl* GetSchemesRoot() const = 0;
  virtual TVexaControl* GetGrid() const = 0;

  virtual bool AutoNames() const = 0;
  virtual bool AutoNameNumbs() const = 0;

  // Pixels at the panel's scale (100000 = one document unit a pixel... see Units) and scroll.
  virtual int32_t Scale() const = 0;
  virtual TRect DocToPixelRect(const TRect& docRect) const = 0;
  virtual TPoint DocToPixelPoint(TPoint docPoint) const = 0;
  virtual TPoint PixelToDocPoint(TPoint pixelPoint) const = 0;
  virtual int32_t DocWidth() const = 0;
  virtual int32_t DocHeight() const = 0;
  virtual void SetDocWidth(int32_t width) = 0;
  virtual void SetDocHeight(int32_t height) = 0;
  virtual int32_t ConnectorsMinGap() const = 0;
  virtual void SetConnectorsMinGap(int32_t gap) = 0;

  // The window: none for a panel that only holds a document.
  virtual bool HasWindow() const = 0;
  // Set while the panel reads a text into itself and repaints as a whole afterwards: the
  // controls read invalidate nothing one by one. A clone's refresh rectangle walks all its
  // source shows, and the references resolved once the text is read reach the clones of a
  // deep document one after the other.
  virtual bool HoldsInvalidation() const { return false; }
  virtual void InvalidatePixelRect(const TRect& rect) = 0;
  virtual void InvalidateAll() = 0;
  // The rectangle being painted, in pixels; whether painting goes to the screen.
  virtual TRect PaintRect() const = 0;
  virtual void SetPaintRect(const TRect& rect) = 0;
  // The editor's aids (outlines of empty clones, handles) are drawn.
  virtual bool ShowsEditingAids() const = 0;
  // Pages paint their background when output asks for it too (on screen they always do).
  virtual bool PaintsSchemeBackgrounds() const = 0;
  // A page's background stretches over the whole window while the view is centred.
  virtual bool SchemeBkStretch() const = 0;
  virtual bool ViewCentred() const = 0;
  // The window's client area, pixels.
  virtual TRect ClientRect() const = 0;
  // The host's hook after a page's background is painted.
  virtual void PaintSchemeEvent(canvas::Canvas& canvas, TVexaControl& scheme) = 0;
  virtual bool PaintsOnScreen() const = 0;
  virtual bool ShowsDocumentFrame() const = 0;
  // The buffer through which transparent controls paint; whether transparency is left out
  // (a printer, a quick paint).
  virtual TAlphaBuffer& AlphaBuffer() = 0;
  virtual bool SuppressesTransparency() const = 0;
  // Hit tests take shapes with a clear brush as filled.
  virtual bool SelectAsFilled() const { return false; }

  // Every control of the document, depth-first from each top control. The callback may not
  // add or remove controls.
  void ForEachControl(const std::function<void(TVexaControl&)>& visit) const;
  // The class name without "TVexa", with the smallest number no other control's name of that
  // form uses when withNumber.
  std::string DefaultName(const TVexaControl& control, bool withNumber) const;

  // The index of numbered names ("Layer12": "Layer" and 12) that DefaultName reads instead of
  // walking every control: a drawing of thousands of layers names each new one. The controls
  // file their name on every rename and on joining the panel, and take it out on leaving.
  void FileControlName(const TVexaControl& control);
  void UnfileControlName(const TVexaControl& control);

 private:
  struct TNumberedNames {
    std::unordered_map<int64_t, int> counts;  // number -> controls bearing it
    int64_t lowestFree = 1;                   // every number from 1 below it is borne
  };
  struct TFiledName {
    const std::string* prefix;  // a key of numbered_
    int64_t number;
  };
  mutable std::unordered_map<std::string, TNumberedNames> numbered_;
  std::unordered_map<const TVexaControl*, TFiledName> filed_;
};

}  // namespace pv::graphics
