#pragma once
// The DXF writer: layers of entity lists written as one ASCII DXF file (HEADER with the
// extents, TABLES with the active viewport and the layers, BLOCKS with the block definitions,
// ENTITIES with everything else, then EOF). Each entity writes its own record.
//
// The writer reads the lists where they are: saving a selection lends no list to another
// drawing, so every list stays in its layer whatever happens while writing.

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "DXF_model.h"

namespace pv::viewer {

// One layer as written: its name, its colour and the lists that go under it.
struct DxfLayerView {
  std::string name;
  int32_t colour = 0;
  std::vector<const Entity_List*> lists;
};

class DXF_Writer {
 public:
  DXF_Writer(std::ostream& out, std::vector<DxfLayerView> layers);

  // Writes the whole file; a failed write throws std::ios_base::failure.
  void WriteDxfFile();

 private:
  void WritePair(int code, std::string_view value);
  void WriteHeader();
  void WriteTables();
  void WriteBlocks();
  void WriteEntities();
  void Check();

  std::ostream& out_;
  std::vector<DxfLayerView> layers_;
};

// Every layer of the drawing with all its lists, in order.
std::vector<DxfLayerView> LayerViews(const DXF_Object& drawing);
// The chosen lists under the names of the layers that own them: one layer per name, in the
// order the names first appear, colour 0 (as a new layer of a drawing has). The block
// definitions that chosen inserts use come along, chosen or not, so that the file reads back
// as the same drawing; block definitions go under layer "0", where the writer looks for them.
std::vector<DxfLayerView> LayerViews(const selection_lists& selection);

// Writes the layers to a file. The file is written beside its final place under a
// temporary name and renamed over it only when complete, so a failed write leaves an
// existing file as it was; the failure is thrown as std::runtime_error naming the file.
void WriteDxfFile(const std::filesystem::path& fileName, const std::vector<DxfLayerView>& layers);

// DXF_Object.SaveToFile: all layers of the drawing.
void SaveToFile(const DXF_Object& drawing, const std::filesystem::path& fileName);
// selection_lists.SaveAsDxf: the chosen lists as one DXF file.
void SaveAsDxf(const selection_lists& selection, const std::filesystem::path& fileName);

}  // namespace pv::viewer
