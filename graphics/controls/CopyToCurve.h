#pragma once
// Gives a new curve the look of a shape: the shape's block of the text format read into the
// curve, so that every property the curve also has takes the shape's value.

namespace pv::graphics {

class TVexaControl;
class TVexaFiler;

// filer: a filer on an empty stream to use; none makes one on a memory stream. True.
bool CopyControlToCurve(TVexaControl& control, TVexaControl& curve, TVexaFiler* filer = nullptr);

}  // namespace pv::graphics
