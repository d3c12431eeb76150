#include "DXF_blocks.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "DXF_model.h"
#include "DXF_numbers.h"

namespace pv::viewer {

using namespace DXF_Utils;

namespace {

thread_local int visitDepth = 0;
thread_local long visitsInWalk = 0;
// Entities a details text has listed, counted from its outermost block on.
thread_local int detailsDepth = 0;
thread_local long detailedEntities = 0;

struct DetailsScope {
  DetailsScope() {
    if (detailsDepth++ == 0) detailedEntities = 0;
  }
  ~DetailsScope() { --detailsDepth; }
  DetailsScope(const DetailsScope&) = delete;
  DetailsScope& operator=(const DetailsScope&) = delete;
};

}  // namespace

// ---- Block_ -----------------------------------------------------------------------------

Block_::Visit::Visit(const Block_& block) : block_(block) {
  if (visitDepth == 0) visitsInWalk = 0;
  if (block_.visiting_ || visitDepth >= kMaxNesting || visitsInWalk >= kMaxVisitsPerWalk) return;
  block_.visiting_ = true;
  ++visitDepth;
  ++visitsInWalk;
  entered_ = true;
}

Block_::Visit::~Visit() {
  if (!entered_) return;
  block_.visiting_ = false;
  --visitDepth;
}

Block_::Block_(std::string name, const Point3D& basePoint) : name_(std::move(name)), basePoint_(basePoint) {
  if (!SamePoint(basePoint_, WCS_Origin)) ocs_ = TranslationMatrix(SubPoints(WCS_Origin, basePoint_));
}

void Block_::Add(std::unique_ptr<DXF_Entity> entity) { entities_.push_back(std::move(entity)); }

std::unique_ptr<DXF_Entity> Block_::Remove(const DXF_Entity* entity) {
  auto it = std::find_if(entities_.begin(), entities_.end(), [&](const auto& e) { return e.get() == entity; });
  if (it == entities_.end()) return nullptr;
  auto taken = std::move(*it);
  entities_.erase(it);
  return taken;
}

void Block_::SetBlockList(Entity_List* list) {
  const Visit visit(*this);
  if (!visit.Entered()) return;
  for (const auto& e : entities_) {
    if (auto* insert = dynamic_cast<Insert_*>(e.get())) insert->SetBlockList(list);
  }
}

void Block_::Draw(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen, void* userData) {
  const Visit visit(*this);
  if (!visit.Entered()) return;
  const auto m = Combined(outer);
  for (const auto& e : entities_) e->Draw(canvas, m ? &*m : nullptr, toScreen, userData);
}

void Block_::DrawVertices(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen,
                          void* userData) {
  const Visit visit(*this);
  if (!visit.Entered()) return;
  const auto m = Combined(outer);
  for (const auto& e : entities_) e->DrawVertices(canvas, m ? &*m : nullptr, toScreen, userData);
}

void Block_::WriteToDxf(std::ostream& out, std::string_view layerName) const {
  WritePair(out, 0, "BLOCK");
  WritePair(out, 8, layerName);
  WritePair(out, 2, name_);
  WritePoint(out, 10, basePoint_);
  for (const auto& e : entities_) e->WriteToDxf(out, layerName);
  WritePair(out, 0, "ENDBLK");
}

std::string Block_::Details() const {
  std::string out = JoinLines({"Name :\t" + name_, "Base :\t" + PointToText(basePoint_)});
  const Visit visit(*this);
  if (!visit.Entered()) return JoinLines({out, "", kNotFollowedLine});
  // Blocks that insert others many times over would otherwise spell out every copy.
  const DetailsScope scope;
  for (const auto& e : entities_) {
    if (detailedEntities >= kMaxDetailedEntities) return JoinLines({out, "", kNotFollowedLine});
    ++detailedEntities;
    out += "\r\n\r\n" + e->Details();
  }
  return out;
}

// ---- Insert_ ----------------------------------------------------------------------------

Insert_::Insert_(const Point3D& extrusion, std::string blockName, std::vector<std::unique_ptr<Attrib_>> attribs,
                 int32_t colorIndex, double rotationDegrees, const Point3D& scale, const Point3D& insertionPoint)
    : Point_(colorIndex, insertionPoint),
      attribs_(std::move(attribs)),
      blockName_(std::move(blockName)),
      scale_(scale),
      rotation_(InsertRadians(rotationDegrees)) {
  if (attribs_.size() > static_cast<size_t>(kMaxAttribs)) {
    throw std::runtime_error("This version only handles " + std::to_string(kMaxAttribs) + " ATTRIBs");
  }
  SetExtrusion(extrusion);
}

void Insert_::SetExtrusion(const Point3D& extrusion) {
  DXF_Entity::SetExtrusion(extrusion);  // validates and stores it
  Point3D ax, ay;
  ArbitraryAxes(extrusion, ax, ay);
  axes_ = MatrixFromAxes(ax, ay, extrusion);
  Matrix4x4 m = ScaleMatrix(scale_);
  m = MatrixMultiply(m, RotationZ(std::cos(-rotation_), std::sin(-rotation_)));
  m = MatrixMultiply(m, TranslationMatrix(point_));
  ocs_ = MatrixMultiply(m, axes_);
}

bool Insert_::MovePoint(const Point3D& oldPoint, const Point3D& newPoint) {
  const Point3D before = WorldPoint();
  if (!Point_::MovePoint(oldPoint, newPoint)) return false;
  SetExtrusion(extrusion_);
  const Point3D offset = SubPoints(WorldPoint(), before);
  for (const auto& a : attribs_) {
    const Point3D at = a->WorldPoint();
    a->MovePoint(at, AddPoints(at, offset));
  }
  return true;
}

Block_* Insert_::GetBlock() const {
  if (block_) return block_;
  Block_* found = blockList_ ? blockList_->FindBlock(blockName_) : nullptr;
  if (!found) throw std::runtime_error("Block reference " + blockName_ + " not found");
  block_ = found;
  return block_;
}

void Insert_::ResolveBlock(Entity_List* list) {
  blockList_ = list;
  GetBlock();
}

void Insert_::SetBlockList(Entity_List* list) {
  // An insert that already found its block in this list has handed it on before.
  if (list == blockList_ && block_ != nullptr) return;
  blockList_ = list;
  if (!blockName_.empty()) GetBlock()->SetBlockList(list);
}

void Insert_::Draw(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen, void* userData) {
  for (const auto& a : attribs_) a->Draw(canvas, outer, toScreen, userData);
  if (blockName_.empty()) return;
  const auto m = Combined(outer);
  GetBlock()->Draw(canvas, m ? &*m : nullptr, toScreen, userData);
}

void Insert_::WriteToDxf(std::ostream& out, std::string_view layerName) const {
  Point_::WriteToDxf(out, layerName);
  if (!blockName_.empty()) WritePair(out, 2, blockName_);
  if (scale_.x != 1.0 || scale_.y != 1.0 || scale_.z != 1.0) {
    WriteFloat(out, 41, scale_.x);
    WriteFloat(out, 42, scale_.y);
    WriteFloat(out, 43, scale_.z);
  }
  if (rotation_ != 0.0) WriteAngle(out, 50, rotation_, InsertRadians);
  if (attribs_.empty()) {
    WriteInt(out, 66, 0);
    return;
  }
  WriteInt(out, 66, 1);
  for (const auto& a : attribs_) a->WriteToDxf(out, layerName);
  WritePair(out, 0, "SEQEND");
}

std::string Insert_::Details() const {
  std::string out = JoinLines({Point_::Details(), "Block \t" + blockName_, "Scaling\t" + PointToText(scale_),
                               "Rotation\t" + FloatToText(rotation_ * 180.0 / std::numbers::pi),
                               "Attribs \t" + std::to_string(attribs_.size())});
  for (size_t i = 0; i < attribs_.size(); ++i) {
    out += "\r\n\r\n" + std::to_string(i + 1) + " : " + attribs_[i]->Details();
  }
  return JoinLines({out, "", "----BLOCK-----", GetBlock()->Details(), "---ENDBLOCK---"});
}

}  // namespace pv::viewer
