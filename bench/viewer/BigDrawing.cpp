#include "BigDrawing.h"

#include <cstdlib>
#include <string>

#include "Thinkbox.h"

namespace pv::viewer {

namespace fs = std::filesystem;

fs::path BigDrawingFile() {
  const fs::path file = fs::path(BENCH_DATA_DIR) / "big_r12.dxf";
  if (fs::exists(file)) return file;
  fs::create_directories(file.parent_path());
  const fs::path partial = file.string() + ".part";
  const std::string command = "/usr/bin/python3 '" + std::string(BENCH_VIEWER_DIR) + "/make_big_r12.py' '" +
                              partial.string() + "' " + std::to_string(kBigEntities);
  if (std::system(command.c_str()) != 0) return {};
  fs::rename(partial, file);
  return file;
}

std::unique_ptr<DXF_Object> ReadBigDrawing() {
  const fs::path file = BigDrawingFile();
  if (file.empty()) return nullptr;
  NullBusyBox busy;
  GoOnPrompts prompts;
  return DXF_Object::CreateFromFile(file, nullptr, busy, prompts);
}

std::vector<Entity_List*> DrawnLists(const DXF_Object& drawing) {
  std::vector<Entity_List*> lists;
  for (int i = 0; i < drawing.LayerCount(); ++i) {
    const DXF_Layer* layer = drawing.Layer(static_cast<size_t>(i));
    for (int j = 0; j < layer->ListCount(); ++j) {
      Entity_List* list = layer->List(static_cast<size_t>(j));
      if (list->Name() != "Block_") lists.push_back(list);
    }
  }
  return lists;
}

size_t EntityCount(const DXF_Object& drawing) {
  size_t n = 0;
  for (const Entity_List* list : DrawnLists(drawing)) n += list->Count();
  return n;
}

}  // namespace pv::viewer
