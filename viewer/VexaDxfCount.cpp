#include <typeinfo>

#include "DXF_model.h"
#include "DXF_structs.h"
#include "VexaDxfImport.h"

namespace pv::viewer {

namespace {

// Walks what the import walks and adds up the controls it would make, an upper bound (points
// that do not fit are not looked at); stops adding once total passes limit.
struct ControlCounter {
  uint8_t flags;
  long limit;
  long total = 0;
  long inserted = 0;  // of total, those inside blocks that inserts lead into
  bool inBlock = false;

  bool Full() const { return total > limit; }
  long Group(uint8_t flag) const { return (flags & flag) != 0 ? 1 : 0; }

  void Count(const DXF_Entity& entity) {
    if (Full()) return;
    const std::type_info& type = typeid(entity);
    if (type == typeid(Block_)) {
      const auto& block = static_cast<const Block_&>(entity);
      const Block_::Visit visit(block);
      if (!visit.Entered()) return;
      total += Group(TVexaDxfImport::ifBlockGroups);
      const bool outer = inBlock;
      inBlock = true;
      for (const auto& e : block.Entities()) Count(*e);
      inBlock = outer;
    } else if (type == typeid(Insert_)) {
      const auto& insert = static_cast<const Insert_&>(entity);
      total += Group(TVexaDxfImport::ifInsertGroups) + static_cast<long>(insert.Attribs().size());
      if (insert.BlockName().empty()) return;
      const long before = total;
      Count(*insert.GetBlock());
      if (!inBlock) inserted += total - before;
    } else if (type == typeid(Polygon_mesh_)) {
      const auto& mesh = static_cast<const Polygon_mesh_&>(entity);
      total += Group(TVexaDxfImport::ifPolygonMeshGroups) + std::max(0, mesh.M()) +
               (mesh.M() > 0 && mesh.N() > 0 ? 1 : 0);
    } else if (type == typeid(Polyface_mesh_)) {
      const auto& mesh = static_cast<const Polyface_mesh_&>(entity);
      total += Group(TVexaDxfImport::ifPolyfaceMeshGroups) + static_cast<long>(mesh.Faces().size());
    } else if (type == typeid(Line_) || type == typeid(Polyline_) || type == typeid(Face3D_) ||
               type == typeid(Circle_) || type == typeid(Arc_) || type == typeid(Text_) ||
               type == typeid(Attrib_)) {
      ++total;
    }
  }
};

}  // namespace

long TVexaDxfImport::CountControls(DXF_Object& drawing, long limit, long* inserted) const {
  ControlCounter counter{ImportFlags, limit};
  for (int i = 0; i < drawing.LayerCount() && !counter.Full(); ++i) {
    const DXF_Layer& layer = *drawing.Layer(static_cast<size_t>(i));
    for (int j = 0; j < layer.ListCount(); ++j) {
      for (const auto& owned : layer.List(static_cast<size_t>(j))->Entities()) {
        const DXF_Entity& entity = *owned;
        if (typeid(entity) != typeid(Block_)) counter.Count(entity);
      }
    }
  }
  if (inserted) *inserted = counter.inserted;
  return counter.total;
}

}  // namespace pv::viewer
