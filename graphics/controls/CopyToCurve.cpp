#include "controls/CopyToCurve.h"

#include <memory>
#include <string>

#include "controls/VexaControl.h"
#include "controls/VexaPanel.h"
#include "props/PropRefList.h"
#include "textformat/ObjectText.h"

namespace pv::graphics {

bool CopyControlToCurve(TVexaControl& control, TVexaControl& curve, TVexaFiler* filer) {
  TMemoryStream stream;
  std::unique_ptr<TVexaFiler> own;
  if (!filer) {
    own = std::make_unique<TVexaFiler>(stream);
    filer = own.get();
  }
  // References read from the block wait for the end of the whole copy.
  std::unique_ptr<TLoadingScope> loading;
  if (IVexaPanel* panel = curve.Owner()) loading = std::make_unique<TLoadingScope>(*panel);
  control.SaveToFiler(*filer, "");
  filer->Flush();
  filer->Rewind();
  std::string objectLine;
  filer->ReadLine(objectLine);
  curve.LoadFromFiler(*filer);
  if (loading) loading->Finish();
  return true;
}

}  // namespace pv::graphics
