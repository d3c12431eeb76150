#pragma once
// The DXF reader: ASCII DXF files (R12 and the later releases that keep its entities) read
// into layers of entity lists. Sections HEADER (extents), TABLES (layers), BLOCKS and
// ENTITIES are read; other sections, tables, group codes and entities are skipped, the names
// of skipped entities noted in the messages. Problems are told to the user through
// ReaderPrompts and the busy box.

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "DXF_groups.h"
#include "DXF_model.h"
#include "DXF_polylines.h"

namespace pv::viewer {

class Insert_;
class Block_;
class BusyBox;

inline constexpr std::string_view kReadWarningTitle = "DXF read error warning";
inline constexpr std::string_view kReadErrorTitle = "DXF Read Error";
inline constexpr int kNotePauseMs = 1500;

// How the reader talks to the user; the viewer shows message boxes, tests record.
class ReaderPrompts {
 public:
  virtual ~ReaderPrompts() = default;
  // The pause after each note in the busy box.
  virtual void Pause(int milliseconds) = 0;
  // A box titled kReadWarningTitle with OK and Cancel; true for OK (go on reading).
  virtual bool ConfirmReadWarning(const std::string& text) = 0;
  // A box titled kReadErrorTitle with the exclamation icon.
  virtual void ShowReadError(const std::string& text) = 0;
  // A plain message box.
  virtual void ShowMessage(const std::string& text) = 0;
};

// Reading with nobody to ask: every warning is answered "go on" and nothing is shown.
class GoOnPrompts : public ReaderPrompts {
 public:
  void Pause(int) override {}
  bool ConfirmReadWarning(const std::string&) override { return true; }
  void ShowReadError(const std::string&) override {}
  void ShowMessage(const std::string&) override {}
};

// The user chose Cancel in the warning box: reading stops.
class DXF_user_abort : public DXF_read_exception {
 public:
  DXF_user_abort() : DXF_read_exception("User aborted", -1) {}
};

// One record's groups, as the reader keeps them.
struct abstract_entity {
  std::string s1, s2, s3;
  std::string layer = "0";  // the format's default layer, for records without code 8
  std::array<Point3D, 4> corners{};  // codes 10, 11, 12, 13 (and their 20s and 30s)
  double elevation = 0.0, thickness = 0.0, radius = 0.0;
  Point3D scale;                     // 41, 42, 43
  double angle1 = 0.0, angle2 = 0.0;  // 50, 51
  int32_t colour = 0, attribsFollow = 0, flags = 0;
  std::array<int32_t, 4> i71to74{};  // 71, 72, 73, 74
  Point3D extrusion = WCS_Z_Axis;    // 210, 220, 230
};

class DXF_Reader {
 public:
  static constexpr size_t kMaxVertices = 8192;
  static constexpr size_t kMaxFaces = 4096;
  static constexpr size_t kMaxAttribBuffer = 256;

  // Opening a file that cannot be read throws std::system_error.
  DXF_Reader(const std::filesystem::path& fileName, BusyBox& busy, ReaderPrompts& prompts);
  DXF_Reader(std::unique_ptr<DxfByteSource> source, BusyBox& busy, ReaderPrompts& prompts);
  ~DXF_Reader();

  void SetMessages(std::vector<std::string>* messages) { messages_ = messages; }
  // Reads the whole file; false only when it is not an ASCII DXF file at all.
  bool ReadDxfFile();
  std::vector<std::unique_ptr<DXF_Layer>> TakeLayers() { return std::move(layers_); }
  const Point3D& ExtMin() const { return extMin_; }
  const Point3D& ExtMax() const { return extMax_; }

 private:
  enum class RecordState { Read, EndOfFile, BadExtrusion };
  using SectionReader = bool (DXF_Reader::*)();

  void AddMessage(const std::string& text);
  void Note(std::string_view text);
  bool IsDxf();
  void ReadOptionalSection(std::string_view name, SectionReader reader, std::string_view note);
  bool SkipToEndOfSection();

  int NextGroupCode() { return groups_.NextGroupCode(); }
  int NextUsedGroupCode();  // skips handles, subclass markers, owners and extended data
  bool ReadPoint(Point3D& p);

  bool FindSection(std::string_view name);
  bool ReadHeader();
  bool ReadTables();
  bool ReadLayerTable();
  bool ReadVportTable();
  bool ReadBlocks();
  bool ReadBlock();
  void ResolveBlockInserts();
  bool ReadEntities();
  void HandleEntityError(const DXF_read_exception& error);

  // The first "Block_" list over all layers; kept until a block is read.
  Entity_List* FindBlockList();
  int LayerIndex(std::string_view name) const;
  int LayerIndexOrNew(const std::string& name);
  RecordState ReadGroupRecord(abstract_entity& record);
  RecordState ReadEntityRecord(abstract_entity& record, int& layerIndex);
  bool BuildEntity(std::string_view name, int& layerIndex, std::unique_ptr<DXF_Entity>& entity);
  bool ReadInsertEntity(int& layerIndex, std::unique_ptr<DXF_Entity>& entity);
  bool ReadPolylineEntity(int& layerIndex, std::unique_ptr<DXF_Entity>& entity);
  bool ReadEntityByName(const std::string& name, std::string_view endName, int& layerIndex,
                        std::unique_ptr<DXF_Entity>& entity);
  void CompleteExtents();

  std::unique_ptr<DxfByteSource> source_;
  BusyBox& busy_;
  ReaderPrompts& prompts_;
  DxfGroupReader groups_;
  std::vector<std::unique_ptr<DXF_Layer>> layers_;
  NameIndex layerIndex_;
  Point3D extMin_ = WCS_Origin;
  Point3D extMax_ = WCS_Origin;
  std::vector<std::string>* messages_ = nullptr;

  // Inserts read inside BLOCKS find their blocks once the whole section is read, so that a
  // block may insert one defined after it.
  struct PendingInsert {
    Insert_* insert;
    Block_* container;
    int lineNumber;
  };
  bool inBlocks_ = false;
  std::vector<PendingInsert> pendingInserts_;
  Entity_List* blockList_ = nullptr;
  bool blockListKnown_ = false;
  // Scratch buffers of the polyline reader, kept between polylines.
  std::vector<Point3D> vertices_;
  std::vector<Polyface_mesh_::Face> faces_;
};

}  // namespace pv::viewer
