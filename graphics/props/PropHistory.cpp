#include "props/PropHistory.h"

#include "history/History.h"
#include "props/PropList.h"

namespace pv::graphics {

const THistoryActionClass TPropHistoryAction::ClassInfo{"TPropHistoryAction", &THistoryStreamAction::ClassInfo,
                                                        &CreateHistoryAction<TPropHistoryAction>, nullptr};
const THistoryActionClass TPropHistoryGroup::ClassInfo{"TPropHistoryGroup", &THistoryGroup::ClassInfo,
                                                       &CreateHistoryAction<TPropHistoryGroup>, nullptr};

void RegisterPropHistoryActions() {
  RegisterHistoryCoreActions();
  RegisterHistoryActionClass(TPropHistoryAction::ClassInfo);
  RegisterHistoryActionClass(TPropHistoryGroup::ClassInfo);
}

void TPropHistoryAction::BeginRecord(TVexaObject* source) {
  recorded_ = source;
  THistoryStreamAction::BeginRecord(source);
}

bool TPropHistoryAction::IsSameAction(const THistoryActionClass& cls, TVexaObject* source) const {
  return &cls == &ClassInfo && source == recorded_;
}

bool TPropHistoryAction::SaveLoad(TByteStream& stream, TVexaObject* source, bool load) {
  auto* prop = dynamic_cast<TCustomProp*>(source);
  if (!prop || !prop->OwnerList()) return false;
  TPropList& list = *prop->OwnerList();
  struct StateScope {
    TPropList& list;
    ~StateScope() { list.SetHistoryState(THistoryState::Idle); }
  } scope{list};
  list.SetHistoryState(History().State());
  TVexaFiler filer(stream);
  if (!load) {
    list.SaveProp(filer, *prop, list.NameOf(prop), {}, true);
    return true;
  }
  std::string line;
  if (!filer.ReadLine(line)) return false;
  return list.LoadProp(filer, line);
}

}  // namespace pv::graphics
