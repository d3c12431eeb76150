#pragma once
// The large R12 drawing the viewer benchmarks share: written once by ezdxf into the build
// tree (make_big_r12.py), then read by our reader.

#include <filesystem>
#include <memory>
#include <vector>

#include "DXF_model.h"
#include "DXF_read.h"

namespace pv::viewer {

constexpr int kBigEntities = 200000;

// The file, made on first use; empty when ezdxf could not write it.
std::filesystem::path BigDrawingFile();
// The drawing read from it, or none.
std::unique_ptr<DXF_Object> ReadBigDrawing();
// The lists a viewer shows: every list but the block definitions.
std::vector<Entity_List*> DrawnLists(const DXF_Object& drawing);
size_t EntityCount(const DXF_Object& drawing);


}  // namespace pv::viewer
