#include "DXF_write.h"

#include <fstream>
#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <system_error>

#include "DXF_blocks.h"
#include "DXF_numbers.h"

namespace pv::viewer {

DXF_Writer::DXF_Writer(std::ostream& out, std::vector<DxfLayerView> layers)
    : out_(out), layers_(std::move(layers)) {}

void DXF_Writer::Check() {
  if (!out_) throw std::ios_base::failure("Write error");
}

void DXF_Writer::WritePair(int code, std::string_view value) { out_ << code << "\r\n" << value << "\r\n"; }

void DXF_Writer::WriteDxfFile() {
  WriteHeader();
  WriteTables();
  WriteBlocks();
  WriteEntities();
  WritePair(0, "EOF");
  out_.flush();
  Check();
}

void DXF_Writer::WriteHeader() {
  Point3D min{1e10, 1e10, 1e10};
  Point3D max{-1e10, -1e10, -1e10};
  for (const DxfLayerView& layer : layers_) {
    for (const Entity_List* list : layer.lists) list->GrowExtents(max, min);
  }
  auto writeExtent = [&](std::string_view name, const Point3D& p) {
    WritePair(9, name);
    WritePair(10, DxfGeneralText(p.x));
    WritePair(20, DxfGeneralText(p.y));
    WritePair(30, DxfGeneralText(p.z));
  };
  WritePair(0, "SECTION");
  WritePair(2, "HEADER");
  writeExtent("$EXTMIN", min);
  writeExtent("$EXTMAX", max);
  WritePair(0, "ENDSEC");
  Check();
}

void DXF_Writer::WriteTables() {
  WritePair(0, "SECTION");
  WritePair(2, "TABLES");
  WritePair(0, "TABLE");
  WritePair(2, "VPORT");
  WritePair(0, "VPORT");
  WritePair(2, "*ACTIVE");
  WritePair(41, "  1.000000");
  WritePair(0, "ENDTAB");
  WritePair(0, "TABLE");
  WritePair(2, "LAYER");
  for (auto layer = layers_.rbegin(); layer != layers_.rend(); ++layer) {
    WritePair(0, "LAYER");
    WritePair(2, layer->name);
    WritePair(62, std::to_string(layer->colour));
  }
  WritePair(0, "ENDTAB");
  WritePair(0, "ENDSEC");
  Check();
}

void DXF_Writer::WriteBlocks() {
  WritePair(0, "SECTION");
  WritePair(2, "BLOCKS");
  const DxfLayerView* zero = nullptr;
  for (const DxfLayerView& layer : layers_) {
    if (layer.name == "0") zero = &layer;
  }
  if (zero) {
    for (const Entity_List* list : zero->lists) {
      if (list->Name() != "Block_") continue;
      for (const auto& entity : list->Entities()) entity->WriteToDxf(out_, zero->name);
      Check();
    }
  }
  WritePair(0, "ENDSEC");
  Check();
}

void DXF_Writer::WriteEntities() {
  WritePair(0, "SECTION");
  WritePair(2, "ENTITIES");
  for (const DxfLayerView& layer : layers_) {
    for (const Entity_List* list : layer.lists) {
      if (list->Name() == "Block_") continue;
      for (const auto& entity : list->Entities()) entity->WriteToDxf(out_, layer.name);
      Check();
    }
  }
  WritePair(0, "ENDSEC");
  Check();
}

std::vector<DxfLayerView> LayerViews(const DXF_Object& drawing) {
  std::vector<DxfLayerView> views;
  for (int i = 0; i < drawing.LayerCount(); ++i) {
    const DXF_Layer* layer = drawing.Layer(static_cast<size_t>(i));
    DxfLayerView view{layer->Name(), layer->Colour(), {}};
    for (int j = 0; j < layer->ListCount(); ++j) view.lists.push_back(layer->List(static_cast<size_t>(j)));
    views.push_back(std::move(view));
  }
  return views;
}

namespace {

void AddBlockListsUsedBy(const DXF_Entity& entity, std::vector<const Entity_List*>& lists) {
  if (const auto* insert = dynamic_cast<const Insert_*>(&entity)) {
    const Entity_List* blocks = insert->BlockList();
    if (blocks && std::find(lists.begin(), lists.end(), blocks) == lists.end()) lists.push_back(blocks);
  } else if (const auto* block = dynamic_cast<const Block_*>(&entity)) {
    for (const auto& e : block->Entities()) AddBlockListsUsedBy(*e, lists);
  }
}

// The lists and every block list that inserts among them, or inside those blocks, use.
std::vector<const Entity_List*> WithBlocksInUse(const std::vector<Entity_List*>& chosen) {
  std::vector<const Entity_List*> lists(chosen.begin(), chosen.end());
  for (size_t i = 0; i < lists.size(); ++i) {  // block lists added here are walked in turn
    for (const auto& e : lists[i]->Entities()) AddBlockListsUsedBy(*e, lists);
  }
  return lists;
}

}  // namespace

std::vector<DxfLayerView> LayerViews(const selection_lists& selection) {
  std::vector<DxfLayerView> views;
  for (const Entity_List* list : WithBlocksInUse(selection.lists)) {
    const bool blocks = list->Name() == "Block_";
    const std::string name = list->Owner() && !blocks ? list->Owner()->Name() : std::string("0");
    auto view = std::find_if(views.begin(), views.end(), [&](const DxfLayerView& v) { return v.name == name; });
    if (view == views.end()) view = views.insert(views.end(), DxfLayerView{name, 0, {}});
    view->lists.push_back(list);
  }
  return views;
}

namespace {

// "~name.tmp" in the folder of the file, so that the rename stays on one file system.
std::filesystem::path TemporaryBeside(const std::filesystem::path& fileName) {
  return fileName.parent_path() / ("~" + fileName.filename().string() + ".tmp");
}

}  // namespace

void WriteDxfFile(const std::filesystem::path& fileName, const std::vector<DxfLayerView>& layers) {
  const std::filesystem::path temp = TemporaryBeside(fileName);
  try {
    {
      std::ofstream file(temp, std::ios::binary | std::ios::trunc);
      if (!file) throw std::system_error(errno, std::generic_category());
      DXF_Writer writer(file, layers);
      writer.WriteDxfFile();
      file.close();
      if (!file) throw std::ios_base::failure("Write error");
    }
    std::filesystem::rename(temp, fileName);
  } catch (const std::exception& e) {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    throw std::runtime_error("Cannot write " + fileName.string() + ": " + e.what());
  }
}

void SaveToFile(const DXF_Object& drawing, const std::filesystem::path& fileName) {
  WriteDxfFile(fileName, LayerViews(drawing));
}

void SaveAsDxf(const selection_lists& selection, const std::filesystem::path& fileName) {
  WriteDxfFile(fileName, LayerViews(selection));
}

}  // namespace pv::viewer
