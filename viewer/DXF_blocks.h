#pragma once
// Block definitions and their insertions.

#include <memory>
#include <string>
#include <vector>

#include "DXF_points.h"

namespace pv::viewer {

class Block_ : public DXF_Entity {
 public:
  // Blocks nest through their inserts at most this deep; deeper levels are not followed.
  static constexpr int kMaxNesting = 256;
  // One walk from a top-level entity enters at most this many blocks, so that blocks that
  // insert others many times over cannot multiply the work without bound.
  static constexpr long kMaxVisitsPerWalk = 100000;
  // A details text lists at most this many entities of blocks in all, however the blocks
  // insert one another; where it stops, a line says that insertions were not followed.
  static constexpr long kMaxDetailedEntities = 20000;
  static constexpr const char* kNotFollowedLine =
      "Insertions not followed (a block that inserts itself, nesting too deep or too many insertions)";

  // Contents are drawn relative to the base point.
  Block_(std::string name, const Point3D& basePoint);

  void Add(std::unique_ptr<DXF_Entity> entity);
  // Takes an entity out of the block and gives it to the caller (nothing when it is not here).
  std::unique_ptr<DXF_Entity> Remove(const DXF_Entity* entity);
  const std::vector<std::unique_ptr<DXF_Entity>>& Entities() const { return entities_; }
  const std::string& Name() const { return name_; }
  const Point3D& BasePoint() const { return basePoint_; }

  // Hands the list to every insert among its entities.
  void SetBlockList(Entity_List* list) override;
  void Draw(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen, void* userData) override;
  void DrawVertices(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen,
                    void* userData) override;
  void WriteToDxf(std::ostream& out, std::string_view layerName) const override;
  std::string Details() const override;
  void GrowExtents(Point3D&, Point3D&) const override {}
  double Distance(const Point3D&) const override { return 1e9; }
  Point3D ClosestPoint(const Point3D&) const override { return {1e9, 1e9, 1e9}; }
  const char* ClassName() const override { return "Block_"; }

  // Marks a block as being walked for as long as it lives; Entered() is false when the block
  // is already being walked (it inserts itself, directly or through others), the nesting is
  // too deep or the walk has entered too many blocks, and the walk must then not go into it.
  class Visit {
   public:
    explicit Visit(const Block_& block);
    ~Visit();
    Visit(const Visit&) = delete;
    Visit& operator=(const Visit&) = delete;
    bool Entered() const { return entered_; }

   private:
    const Block_& block_;
    bool entered_ = false;
  };

 private:
  std::string name_;
  Point3D basePoint_;
  std::vector<std::unique_ptr<DXF_Entity>> entities_;
  mutable bool visiting_ = false;
};

class Insert_ : public Point_ {
 public:
  static constexpr int kMaxAttribs = 16;

  // The rotation is given in degrees. More than kMaxAttribs attributes are refused with
  // "This version only handles 16 ATTRIBs".
  Insert_(const Point3D& extrusion, std::string blockName, std::vector<std::unique_ptr<Attrib_>> attribs,
          int32_t colorIndex, double rotationDegrees, const Point3D& scale, const Point3D& insertionPoint);

  // The insert's matrix: scale, then rotation, then the move to the insertion point, then the
  // object coordinate system of the extrusion.
  void SetExtrusion(const Point3D& extrusion) override;
  // Stores the list and, for a named block, hands it on to that block's inserts.
  void SetBlockList(Entity_List* list) override;
  // Stores the list and finds the block, without handing the list on.
  void ResolveBlock(Entity_List* list);
  // The block of that name in the block list; "Block reference <name> not found" otherwise.
  Block_* GetBlock() const;

  // Attributes are placed where the insert is (they are not in the block's coordinates).
  void Draw(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen, void* userData) override;
  // The insertion point in the world: the insert's own matrix already moves to it, so only
  // the extrusion's axes place it.
  Point3D WorldPoint() const override { return DXF_Utils::TransformPoint(axes_, point_); }
  // The block and the attributes go along with the insertion point.
  bool MovePoint(const Point3D& oldPoint, const Point3D& newPoint) override;
  void WriteToDxf(std::ostream& out, std::string_view layerName) const override;
  std::string Details() const override;
  const char* ClassName() const override { return "Insert_"; }

  const std::string& BlockName() const { return blockName_; }
  const Point3D& Scale() const { return scale_; }
  double Rotation() const { return rotation_; }  // radians
  const std::vector<std::unique_ptr<Attrib_>>& Attribs() const { return attribs_; }
  Entity_List* BlockList() const { return blockList_; }

 protected:
  std::optional<Point3D> PointFromWorld(const Point3D& world) const override {
    return DXF_Utils::InverseTransformPoint(axes_, world);
  }
  // The vertex mark goes where the block's base point lands.
  const Point3D& MarkedPoint() const override { return WCS_Origin; }

 private:
  std::vector<std::unique_ptr<Attrib_>> attribs_;
  std::string blockName_;
  Point3D scale_;
  double rotation_ = 0.0;
  Matrix4x4 axes_ = Identity_Matrix;  // the extrusion's object coordinate system
  mutable Block_* block_ = nullptr;  // found on first use
  Entity_List* blockList_ = nullptr;
};

}  // namespace pv::viewer
