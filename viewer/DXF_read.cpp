#include "DXF_read.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdlib>

#include "DXF_blocks.h"
#include "Thinkbox.h"

namespace pv::viewer {

using namespace DXF_Utils;

namespace {

constexpr std::string_view kReading = "Reading DXF file...";
constexpr std::string_view kBinarySignature = "AutoCAD Binary DXF";
const std::string kUndefinedBlock = "Cannot reference an undefined BLOCK\r\n\r\n(File may not have been saved with BLOCKs)\r\n";

bool IsKnownSection(std::string_view name) {
  return name == "HEADER" || name == "TABLES" || name == "BLOCKS" || name == "ENTITIES";
}

// Handles, subclass markers, reactor groups, owner and other pointers, comments and extended
// data: written by later releases, never used by this reader.
bool IsBookkeepingCode(int code) {
  return code == 5 || code == 100 || code == 102 || code == 105 || (code >= 330 && code <= 369) || code >= 999;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
  });
}

// The entities built from one record.
bool IsSimpleEntity(std::string_view name) {
  return name == "POINT" || name == "TEXT" || name == "LINE" || name == "3DFACE" || name == "SOLID" ||
         name == "CIRCLE" || name == "ARC" || name == "ATTDEF" || name == "ATTRIB";
}

std::unique_ptr<Attrib_> MakeAttrib(const abstract_entity& r) {
  return std::make_unique<Attrib_>(r.extrusion, r.colour, r.radius, r.i71to74[1], r.flags, r.s2, r.s1, r.corners[1],
                                   r.corners[0]);
}

int32_t FaceIndex(int32_t vertexNumber) {
  return static_cast<int32_t>(std::llabs(static_cast<long long>(vertexNumber)) - 1);
}

}  // namespace

DXF_Reader::DXF_Reader(const std::filesystem::path& fileName, BusyBox& busy, ReaderPrompts& prompts)
    : DXF_Reader(OpenDxfFile(fileName), busy, prompts) {}

DXF_Reader::DXF_Reader(std::unique_ptr<DxfByteSource> source, BusyBox& busy, ReaderPrompts& prompts)
    : source_(std::move(source)), busy_(busy), prompts_(prompts), groups_(*source_, [this] { busy_.StepBar(); }) {
  busy_.SetBar(0, static_cast<int32_t>(std::min<uint64_t>(source_->Size() / DxfGroupReader::kBlockSize, INT32_MAX)));
}

DXF_Reader::~DXF_Reader() = default;

void DXF_Reader::AddMessage(const std::string& text) {
  if (messages_) messages_->push_back(text);
}

void DXF_Reader::Note(std::string_view text) {
  busy_.ShowThinking(nullptr, text);
  prompts_.Pause(kNotePauseMs);
}

int DXF_Reader::NextUsedGroupCode() {
  int code;
  do {
    code = NextGroupCode();
  } while (code >= 0 && IsBookkeepingCode(code));
  return code;
}

bool DXF_Reader::ReadPoint(Point3D& p) {
  int code;
  do {
    code = NextGroupCode();
    if (code < 0) return false;
  } while (code != 10);
  p.x = groups_.ValueAsFloat();
  if (NextGroupCode() < 0) return false;
  p.y = groups_.ValueAsFloat();
  return true;
}

// ---- The whole file ---------------------------------------------------------------------

bool DXF_Reader::ReadDxfFile() {
  busy_.ShowThinkingWithBar(nullptr, kReading);
  if (!IsDxf()) return false;
  try {
    ReadOptionalSection("HEADER", &DXF_Reader::ReadHeader, "No Header or invalid Header section in DXF file");
    ReadOptionalSection("TABLES", &DXF_Reader::ReadTables, "No Layers or invalid Tables section in DXF file");
    ReadOptionalSection("BLOCKS", &DXF_Reader::ReadBlocks, "No Blocks or invalid Blocks section in DXF file");
    busy_.ShowThinkingWithBar(nullptr, kReading);
    if (!FindSection("ENTITIES") || !ReadEntities()) {
      throw DXF_read_exception("No Entities or invalid Entities section in DXF file", -1);
    }
  } catch (const DXF_read_exception& error) {
    busy_.HideThinking();
    prompts_.ShowReadError(error.what());
  }
  CompleteExtents();
  busy_.HideThinking();
  return true;
}

// Binary DXF and files that do not start with a group get one clear error instead of a note
// for every section they lack.
bool DXF_Reader::IsDxf() {
  std::string problem;
  if (groups_.StartsWith(kBinarySignature)) {
    problem = "Binary DXF files cannot be read: save the drawing as ASCII DXF";
  } else {
    const auto start = groups_.Position();
    const int code = NextGroupCode();
    groups_.GoTo(start);
    if (code < 0) problem = "The file is not a DXF file";
  }
  if (problem.empty()) return true;
  busy_.HideThinking();
  prompts_.ShowReadError(problem);
  return false;
}

// A section that is missing or fails gets its note; a failed one is left at its ENDSEC so the
// sections after it are still read, a missing one leaves the position where it was.
void DXF_Reader::ReadOptionalSection(std::string_view name, SectionReader reader, std::string_view note) {
  const auto outer = groups_.Position();
  if (!FindSection(name)) {
    Note(note);
    groups_.GoTo(outer);
    return;
  }
  const auto body = groups_.Position();
  bool ok = false;
  try {
    ok = (this->*reader)();
  } catch (const DXF_user_abort&) {
    throw;
  } catch (const DXF_read_exception& error) {
    busy_.HideThinking();
    prompts_.ShowReadError(error.what());
  }
  if (ok) return;
  Note(note);
  groups_.GoTo(body);
  if (!SkipToEndOfSection()) groups_.GoTo(outer);
}

bool DXF_Reader::SkipToEndOfSection() {
  for (;;) {
    const int code = NextGroupCode();
    if (code < 0) return false;
    if (code == 0 && groups_.ValueIs("ENDSEC")) return true;
  }
}

// Extents of one point (some writers leave $EXTMIN equal to $EXTMAX) say no more than missing
// ones: like inverted ones, they are computed from the entities alone.
void DXF_Reader::CompleteExtents() {
  const bool inverted = extMin_.x > extMax_.x || extMin_.y > extMax_.y || extMin_.z > extMax_.z;
  const bool onePoint = SamePoint(extMin_, extMax_) && !SamePoint(extMin_, WCS_Origin);
  if (!inverted && !onePoint && !SamePoint(extMin_, WCS_Origin) && !SamePoint(extMax_, WCS_Origin)) return;
  Note("File contained no Max/Min extents. Scanning...");
  if (inverted || onePoint) {
    extMax_ = {-DBL_MAX, -DBL_MAX, -DBL_MAX};
    extMin_ = {DBL_MAX, DBL_MAX, DBL_MAX};
  }
  for (const auto& layer : layers_) layer->GrowExtents(extMax_, extMin_);
  double* lows[3] = {&extMin_.x, &extMin_.y, &extMin_.z};
  double* highs[3] = {&extMax_.x, &extMax_.y, &extMax_.z};
  for (int i = 0; i < 3; ++i) {
    if (*lows[i] > *highs[i]) *lows[i] = *highs[i] = 0.0;
  }
}

// ---- Sections ---------------------------------------------------------------------------

// Sections this reader does not know (CLASSES, OBJECTS, THUMBNAILIMAGE, ...) are passed over;
// one of the four it reads, but of another name, ends the search.
bool DXF_Reader::FindSection(std::string_view name) {
  for (;;) {
    int code = NextGroupCode();
    if (code < 0) return false;
    if (code != 0) continue;
    if (!groups_.ValueIs("SECTION")) {
      AddMessage(groups_.Value());
      continue;
    }
    code = NextUsedGroupCode();
    if (code < 0) return false;
    if (code != 2) {
      AddMessage(groups_.Value());
      continue;
    }
    if (groups_.ValueIs(name)) return true;
    if (IsKnownSection(groups_.Value())) return false;
    if (!SkipToEndOfSection()) return false;
  }
}

bool DXF_Reader::ReadHeader() {
  for (;;) {
    const int code = NextGroupCode();
    if (code < 0) return false;
    if (code == 0 && groups_.ValueIs("ENDSEC")) return true;
    if (code != 9) continue;
    if (groups_.ValueIs("$EXTMAX") && !ReadPoint(extMax_)) return false;
    if (groups_.ValueIs("$EXTMIN") && !ReadPoint(extMin_)) return false;
  }
}

bool DXF_Reader::ReadTables() {
  for (;;) {
    int code = NextGroupCode();
    if (code < 0) return false;
    if (code != 0) continue;
    if (groups_.ValueIs("ENDSEC")) return true;
    if (!groups_.ValueIs("TABLE")) continue;
    code = NextUsedGroupCode();
    if (code < 0) return false;
    if (code != 2) continue;
    if (groups_.ValueIs("LAYER")) {
      if (!ReadLayerTable()) return false;
    } else if (groups_.ValueIs("VPORT")) {
      if (!ReadVportTable()) return false;
    } else {
      AddMessage(groups_.Value());
    }
  }
}

// Each LAYER entry makes one layer from its own name (code 2) and colour (code 62), wherever
// they stand in the entry; entries are kept in table order, duplicates included.
bool DXF_Reader::ReadLayerTable() {
  bool inEntry = false;
  std::string name;
  bool named = false;
  int32_t colour = 0;
  auto finishEntry = [&] {
    if (inEntry && named) {
      auto layer = std::make_unique<DXF_Layer>(name);
      layer->SetColour(colour);
      layerIndex_.emplace(name, layers_.size());
      layers_.push_back(std::move(layer));
    }
    inEntry = named = false;
    colour = 0;
  };
  for (;;) {
    const int code = NextGroupCode();
    if (code < 0) return false;
    if (code == 0) {
      finishEntry();
      if (groups_.ValueIs("ENDTAB")) return true;
      if (groups_.ValueIs("LAYER")) {
        inEntry = true;
      } else {
        AddMessage(groups_.Value());
      }
      continue;
    }
    if (!inEntry) continue;
    if (code == 2 && !named) {
      name = groups_.Value();
      named = true;
    } else if (code == 62) {
      colour = groups_.ValueAsInteger();
    }
  }
}

// The viewport table ends at its ENDTAB; names other than the active viewport are noted.
bool DXF_Reader::ReadVportTable() {
  for (;;) {
    int code = NextGroupCode();
    if (code < 0) return false;
    if (code != 0) continue;
    if (groups_.ValueIs("ENDTAB")) return true;
    if (!groups_.ValueIs("VPORT")) {
      AddMessage(groups_.Value());
      continue;
    }
    code = NextUsedGroupCode();
    if (code < 0) return false;
    if (code == 0) {
      groups_.PushBack();
    } else if (code == 2 && !EqualsIgnoringCase(groups_.Value(), "*ACTIVE")) {
      AddMessage(groups_.Value());
    }
  }
}

bool DXF_Reader::ReadBlocks() {
  inBlocks_ = true;
  pendingInserts_.clear();
  bool ok = false;
  try {
    for (;;) {
      const int code = NextGroupCode();
      if (code < 0) break;
      if (code != 0) continue;
      if (groups_.ValueIs("ENDSEC")) {
        ok = true;
        break;
      }
      if (groups_.ValueIs("BLOCK") && !ReadBlock()) break;
    }
  } catch (...) {
    inBlocks_ = false;
    ResolveBlockInserts();
    throw;
  }
  inBlocks_ = false;
  ResolveBlockInserts();
  return ok;
}

bool DXF_Reader::ReadBlock() {
  abstract_entity record;
  int layerIndex = 0;
  if (ReadEntityRecord(record, layerIndex) != RecordState::Read) return false;
  auto block = std::make_unique<Block_>(record.s2, record.corners[0]);
  Block_* target = block.get();
  layers_[static_cast<size_t>(LayerIndexOrNew("0"))]->AddEntity(std::move(block));
  blockListKnown_ = false;
  for (;;) {
    const int code = NextGroupCode();
    if (code < 0) return false;
    if (code != 0) continue;
    const std::string name = groups_.Value();
    std::unique_ptr<DXF_Entity> entity;
    // A read error fails the section; an entity refused for what it holds (an insert with too
    // many attributes) is told as in ENTITIES and left out, and reading goes on after it.
    try {
      if (ReadEntityByName(name, "ENDBLK", layerIndex, entity)) return true;
    } catch (const DXF_read_exception&) {
      throw;
    } catch (const std::exception& error) {
      prompts_.ShowMessage(error.what());
      continue;
    }
    if (!entity) continue;
    if (auto* insert = dynamic_cast<Insert_*>(entity.get())) {
      pendingInserts_.push_back({insert, target, groups_.LineNumber()});
    }
    target->Add(std::move(entity));
  }
}

// An insert inside a block whose block does not exist is taken out of its block and reported
// like an entity error.
void DXF_Reader::ResolveBlockInserts() {
  Entity_List* blocks = FindBlockList();
  const auto pending = std::move(pendingInserts_);
  pendingInserts_.clear();
  for (const PendingInsert& p : pending) {
    try {
      p.insert->ResolveBlock(blocks);
    } catch (const std::runtime_error&) {
      p.container->Remove(p.insert);
      HandleEntityError(DXF_read_exception(kUndefinedBlock, p.lineNumber));
    }
  }
}

bool DXF_Reader::ReadEntities() {
  for (;;) {
    const int code = NextGroupCode();
    if (code < 0) return false;
    if (code != 0) continue;
    const std::string name = groups_.Value();
    try {
      std::unique_ptr<DXF_Entity> entity;
      int layerIndex = 0;
      if (ReadEntityByName(name, "ENDSEC", layerIndex, entity)) return true;
      if (entity) layers_[static_cast<size_t>(layerIndex)]->AddEntity(std::move(entity));
    } catch (const DXF_read_exception& error) {
      HandleEntityError(error);
    } catch (const std::exception& error) {
      prompts_.ShowMessage(error.what());
    }
  }
}

void DXF_Reader::HandleEntityError(const DXF_read_exception& error) {
  busy_.HideThinking();
  if (!prompts_.ConfirmReadWarning(error.what())) throw DXF_user_abort();
  busy_.ShowThinkingWithBar(nullptr, kReading);
}

// ---- Layers -----------------------------------------------------------------------------

Entity_List* DXF_Reader::FindBlockList() {
  if (blockListKnown_) return blockList_;
  blockList_ = nullptr;
  for (const auto& layer : layers_) {
    for (int i = 0; i < layer->ListCount() && !blockList_; ++i) {
      Entity_List* list = layer->List(static_cast<size_t>(i));
      if (list->Name() == "Block_") blockList_ = list;
    }
    if (blockList_) break;
  }
  blockListKnown_ = true;
  return blockList_;
}

int DXF_Reader::LayerIndex(std::string_view name) const {
  auto it = layerIndex_.find(name);
  return it == layerIndex_.end() ? -1 : static_cast<int>(it->second);
}

int DXF_Reader::LayerIndexOrNew(const std::string& name) {
  const int index = LayerIndex(name);
  if (index >= 0) return index;
  layerIndex_.emplace(name, layers_.size());
  layers_.push_back(std::make_unique<DXF_Layer>(name));
  return static_cast<int>(layers_.size()) - 1;
}

// ---- Records ----------------------------------------------------------------------------

DXF_Reader::RecordState DXF_Reader::ReadGroupRecord(abstract_entity& r) {
  r.extrusion = WCS_Z_Axis;
  // An embedded object (a multi-line attribute's text in later releases) runs from code 101
  // to the end of the record; its codes mean other things there and are not the record's.
  bool embedded = false;
  for (;;) {
    const int code = NextGroupCode();
    if (code < 0) return RecordState::EndOfFile;
    if (code == 101) embedded = true;
    if (embedded && code != 0) continue;
    switch (code) {
      case 0: groups_.PushBack(); return RecordState::Read;
      case 1: r.s1 = groups_.Value(); break;
      case 2: r.s2 = groups_.Value(); break;
      case 3: r.s3 = groups_.Value(); break;
      case 8: r.layer = groups_.Value(); break;
      case 10: case 11: case 12: case 13: r.corners[code - 10].x = groups_.ValueAsFloat(); break;
      case 20: case 21: case 22: case 23: r.corners[code - 20].y = groups_.ValueAsFloat(); break;
      case 30: case 31: case 32: case 33: r.corners[code - 30].z = groups_.ValueAsFloat(); break;
      case 38: r.elevation = groups_.ValueAsFloat(); break;
      case 39: r.thickness = groups_.ValueAsFloat(); break;
      case 40: r.radius = groups_.ValueAsFloat(); break;
      case 41: r.scale.x = groups_.ValueAsFloat(); break;
      case 42: r.scale.y = groups_.ValueAsFloat(); break;
      case 43: r.scale.z = groups_.ValueAsFloat(); break;
      case 50: r.angle1 = groups_.ValueAsFloat(); break;
      case 51: r.angle2 = groups_.ValueAsFloat(); break;
      case 62: r.colour = groups_.ValueAsInteger(); break;
      case 66: r.attribsFollow = groups_.ValueAsInteger(); break;
      case 70: r.flags = groups_.ValueAsInteger(); break;
      case 71: case 72: case 73: case 74: r.i71to74[code - 71] = groups_.ValueAsInteger(); break;
      case 210: r.extrusion.x = groups_.ValueAsFloat(); break;
      case 220: r.extrusion.y = groups_.ValueAsFloat(); break;
      case 230: r.extrusion.z = groups_.ValueAsFloat(); break;
      default: break;
    }
  }
}

// A zero extrusion has no direction; the record is refused rather than drawn from nothing.
DXF_Reader::RecordState DXF_Reader::ReadEntityRecord(abstract_entity& r, int& layerIndex) {
  const RecordState state = ReadGroupRecord(r);
  if (state != RecordState::Read) return state;
  Point3D& e = r.extrusion;
  const double largest = std::max({std::fabs(e.x), std::fabs(e.y), std::fabs(e.z)});
  if (largest == 0.0) return RecordState::BadExtrusion;
  e = Normalize({e.x / largest, e.y / largest, e.z / largest});
  layerIndex = LayerIndexOrNew(r.layer);
  return RecordState::Read;
}

bool DXF_Reader::BuildEntity(std::string_view name, int& layerIndex, std::unique_ptr<DXF_Entity>& entity) {
  abstract_entity r;
  const RecordState state = ReadEntityRecord(r, layerIndex);
  if (state == RecordState::EndOfFile) return true;  // the caller meets the end next
  if (state == RecordState::BadExtrusion) return false;
  const auto& c = r.corners;
  const int corners = SamePoint(c[2], c[3]) ? 3 : 4;
  const int32_t alignment = r.i71to74[1];
  if (name == "POINT") {
    entity = std::make_unique<Point_>(r.extrusion, r.colour, c[0]);
  } else if (name == "TEXT") {
    entity = std::make_unique<Text_>(r.extrusion, alignment, r.colour, r.radius, r.s1, c[1], c[0]);
  } else if (name == "LINE") {
    entity = std::make_unique<Line_>(c[0], r.colour, c[1]);
  } else if (name == "CIRCLE") {
    entity = std::make_unique<Circle_>(r.extrusion, r.colour, r.radius, c[0]);
  } else if (name == "ARC") {
    entity = std::make_unique<Arc_>(r.extrusion, r.colour, r.angle1, r.angle2, r.radius, c[0]);
  } else if (name == "3DFACE") {
    entity = std::make_unique<Face3D_>(corners, r.colour, c);
  } else if (name == "SOLID") {
    entity = std::make_unique<Solid_>(r.extrusion, r.thickness, r.colour, c, corners);
  } else if (name == "ATTDEF") {
    entity = std::make_unique<Attdef_>(r.extrusion, r.colour, r.radius, alignment, r.flags, r.s3, r.s1, r.s2, c[1],
                                       c[0]);
  } else if (name == "ATTRIB") {
    entity = MakeAttrib(r);
  }
  return true;
}

bool DXF_Reader::ReadInsertEntity(int& layerIndex, std::unique_ptr<DXF_Entity>& entity) {
  abstract_entity r;
  const RecordState state = ReadEntityRecord(r, layerIndex);
  if (state == RecordState::EndOfFile) return true;
  if (state == RecordState::BadExtrusion) return false;
  std::vector<std::unique_ptr<Attrib_>> attribs;
  if (r.attribsFollow == 1) {
    for (;;) {
      if (NextGroupCode() != 0) return false;
      if (groups_.ValueIs("SEQEND")) break;
      if (!groups_.ValueIs("ATTRIB")) {  // attributes announced but none ended: the next entity
        groups_.PushBack();
        break;
      }
      abstract_entity a;
      int attribLayer = 0;
      if (ReadEntityRecord(a, attribLayer) != RecordState::Read) return false;
      if (attribs.size() < kMaxAttribBuffer) attribs.push_back(MakeAttrib(a));
    }
  }
  Point3D scale = r.scale;
  for (double* s : {&scale.x, &scale.y, &scale.z}) {
    if (*s == 0.0) *s = 1.0;
  }
  auto insert = std::make_unique<Insert_>(r.extrusion, r.s2, std::move(attribs), r.colour, r.angle1, scale,
                                          r.corners[0]);
  if (!inBlocks_) {
    try {
      insert->SetBlockList(FindBlockList());
    } catch (const std::runtime_error&) {
      throw DXF_read_exception(kUndefinedBlock, groups_.LineNumber());
    }
  }
  entity = std::move(insert);
  return true;
}

bool DXF_Reader::ReadPolylineEntity(int& layerIndex, std::unique_ptr<DXF_Entity>& entity) {
  abstract_entity r;
  if (ReadEntityRecord(r, layerIndex) != RecordState::Read) return false;
  const bool mesh = (r.flags & 0x10) != 0;
  const bool polyface = !mesh && (r.flags & 0x40) != 0;
  vertices_.clear();
  faces_.clear();
  auto addVertex = [&](const Point3D& p) {
    if (vertices_.size() == kMaxVertices) {
      throw DXF_read_exception("Polyline contained more than " + std::to_string(kMaxVertices) + " vertices",
                               groups_.LineNumber());
    }
    vertices_.push_back(p);
  };
  auto addFace = [&](const abstract_entity& v) {
    if (faces_.size() == kMaxFaces) {
      throw DXF_read_exception("Polyface contained more than " + std::to_string(kMaxFaces) + " faces",
                               groups_.LineNumber());
    }
    faces_.push_back({FaceIndex(v.i71to74[0]), FaceIndex(v.i71to74[1]), FaceIndex(v.i71to74[2]),
                      FaceIndex(v.i71to74[3])});
  };
  for (;;) {
    const int code = NextGroupCode();
    if (code < 0) return false;
    if (code != 0) continue;
    if (groups_.ValueIs("SEQEND")) break;
    if (!groups_.ValueIs("VERTEX")) {  // no SEQEND: the next entity starts here
      groups_.PushBack();
      break;
    }
    abstract_entity v;
    if (ReadGroupRecord(v) != RecordState::Read) return false;
    if (mesh) {
      if (!(v.flags & 0x40)) return false;
      addVertex(v.corners[0]);
    } else if (polyface) {
      if ((v.flags & 0xC0) == 0xC0) {
        addVertex(v.corners[0]);
      } else if (v.flags & 0x80) {
        addFace(v);
      } else {
        return false;
      }
    } else {
      addVertex(v.corners[0]);
    }
  }
  if (mesh) {
    const int32_t m = r.i71to74[0];
    const int32_t n = r.i71to74[1];
    if (m > 0 && n > 0 && static_cast<long long>(m) * n == static_cast<long long>(vertices_.size())) {
      entity = std::make_unique<Polygon_mesh_>(r.colour, r.flags, vertices_, m, n);
    }
  } else if (polyface) {
    entity = std::make_unique<Polyface_mesh_>(r.colour, faces_, vertices_);
  } else {
    entity = std::make_unique<Polyline_>(r.extrusion, (r.flags & 1) != 0, r.colour, vertices_);
  }
  return true;
}

bool DXF_Reader::ReadEntityByName(const std::string& name, std::string_view endName, int& layerIndex,
                                  std::unique_ptr<DXF_Entity>& entity) {
  entity.reset();
  bool ok = true;
  if (name == "INSERT") {
    ok = ReadInsertEntity(layerIndex, entity);
  } else if (name == "POLYLINE") {
    ok = ReadPolylineEntity(layerIndex, entity);
  } else if (IsSimpleEntity(name)) {
    ok = BuildEntity(name, layerIndex, entity);
  } else if (name == endName) {
    return true;
  } else {
    AddMessage(name);
    return false;
  }
  if (!ok) throw DXF_read_exception("Error reading " + name + " entity", groups_.LineNumber());
  return false;
}

}  // namespace pv::viewer
