#pragma once
// The containers of the drawing model: a drawing (DXF_Object) owns layers, a layer owns one
// entity list per entity class, a list owns its entities. selection_lists holds the lists the
// user has chosen and answers the viewer's hit tests over them.

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "DXF_entity.h"
#include "DXF_index.h"

namespace pv::viewer {

class Block_;
class BusyBox;
class DXF_Layer;
class ReaderPrompts;

class DXF_exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Name look-ups by string_view without building a string.
struct NameHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
using NameIndex = std::unordered_map<std::string, size_t, NameHash, std::equal_to<>>;

class Entity_List {
 public:
  explicit Entity_List(std::string name);
  ~Entity_List();
  Entity_List(const Entity_List&) = delete;
  Entity_List& operator=(const Entity_List&) = delete;

  const std::string& Name() const { return name_; }
  DXF_Layer* Owner() const { return owner_; }
  void SetOwner(DXF_Layer* owner) { owner_ = owner; }
  // The owner to give back after the list has been lent to another drawing.
  DXF_Layer* SavedOwner() const { return savedOwner_; }
  void SetSavedOwner(DXF_Layer* owner) { savedOwner_ = owner; }

  void Add(std::unique_ptr<DXF_Entity> entity);
  // Takes the last entity out of the list (nothing when empty).
  std::unique_ptr<DXF_Entity> TakeLast();
  size_t Count() const { return entities_.size(); }
  DXF_Entity* Entity(size_t index) const { return entities_[index].get(); }
  const std::vector<std::unique_ptr<DXF_Entity>>& Entities() const { return entities_; }

  void DrawAll(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen, void* userData) const;
  void DrawAllVertices(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen,
                       void* userData) const;
  int VertexCount() const;
  int LineCount() const;
  int OpenPolyCount() const;
  int ClosedPolyCount() const;
  void GrowExtents(Point3D& max, Point3D& min) const;
  // The least Distance, from 1e10; entity changes only for a strictly smaller one.
  double Nearest(const Point3D& p, DXF_Entity*& entity) const;
  DXF_Entity* FirstInside(const Point3D& p) const;
  // Tells indexes over the list (DXF_index.h) that it changed: a new value at every change,
  // and a value no other list ever had.
  using Stamp = uint64_t;
  Stamp StampOf() const { return stamp_; }
  // Entities were moved or changed in place: every index is built again.
  static void NoteGeometryChanged() { geometryGeneration_ = NextStamp(); }
  static Stamp GeometryGeneration() { return geometryGeneration_; }
  // The first Block_ of that name (exact), or none. Kept in an index so that inserts find
  // their blocks in constant time.
  Block_* FindBlock(std::string_view name) const;

 private:
  std::string name_;
  DXF_Layer* owner_ = nullptr;
  DXF_Layer* savedOwner_ = nullptr;
  std::vector<std::unique_ptr<DXF_Entity>> entities_;
  mutable std::unordered_map<std::string, Block_*, NameHash, std::equal_to<>> blocks_;
  mutable bool blocksIndexed_ = false;
  static Stamp NextStamp() { return ++lastStamp_; }
  Stamp stamp_;
  static inline Stamp lastStamp_ = 0;
  static inline Stamp geometryGeneration_ = 0;
};

class DXF_Layer {
 public:
  explicit DXF_Layer(std::string name);
  ~DXF_Layer();
  DXF_Layer(const DXF_Layer&) = delete;
  DXF_Layer& operator=(const DXF_Layer&) = delete;

  const std::string& Name() const { return name_; }
  int32_t Colour() const { return colour_; }
  void SetColour(int32_t colour) { colour_ = colour; }

  int ListCount() const { return static_cast<int>(lists_.size()); }
  Entity_List* List(size_t index) const { return lists_[index].get(); }
  std::vector<std::string> ListNames() const;

  // Files the entity in the list of its class; an entity of colour index 0 or 256 takes the
  // layer's colour.
  void AddEntity(std::unique_ptr<DXF_Entity> entity);
  Entity_List* ListByName(std::string_view name);  // created when absent
  // A list of a name already here is refused ("Attempted to add two lists with same name").
  void AddList(std::unique_ptr<Entity_List> list);
  // Removes every list of that name; when free is false the removed lists are handed back.
  std::vector<std::unique_ptr<Entity_List>> DeleteList(std::string_view name, bool free);
  // Destroys every list without entities.
  void RemoveEmptyLists();
  void GrowExtents(Point3D& max, Point3D& min) const;

 private:
  void Reindex();

  std::string name_;
  int32_t colour_ = 0;
  std::vector<std::unique_ptr<Entity_List>> lists_;
  NameIndex listIndex_;
};

// One line of the viewer's drawing tree, with the object it stands for.
struct ListItem {
  std::string text;
  std::variant<std::monostate, DXF_Layer*, Entity_List*> object;
};

class DXF_Object {
 public:
  explicit DXF_Object(std::string name = "Untitled");
  ~DXF_Object();
  DXF_Object(const DXF_Object&) = delete;
  DXF_Object& operator=(const DXF_Object&) = delete;

  // Reads a DXF file; the names the reader skips go to messages (when given).
  static std::unique_ptr<DXF_Object> CreateFromFile(const std::filesystem::path& fileName,
                                                    std::vector<std::string>* messages, BusyBox& busy,
                                                    ReaderPrompts& prompts);

  const std::string& Name() const { return name_; }
  int LayerCount() const { return static_cast<int>(layers_.size()); }
  DXF_Layer* Layer(size_t index) const { return layers_[index].get(); }
  // Appends a layer; an existing one of that name is returned when allowed, else refused
  // with DXF_exception "Attempted to create layer with existing name".
  DXF_Layer* CreateLayer(std::string_view name, bool allowExisting);
  DXF_Layer* LayerByName(std::string_view name);  // created when absent
  void AdoptLayers(std::vector<std::unique_ptr<DXF_Layer>> layers);

  // Moves every entity of other into this drawing (each moved list arrives reversed); the
  // other drawing keeps its emptied layers and lists.
  void Merge(DXF_Object& other);
  void RemoveEmptyLayers();
  void FillListItems(std::vector<ListItem>& items) const;

  const Point3D& GetMinExtents() const { return minExtents_; }
  const Point3D& GetMaxExtents() const { return maxExtents_; }
  void SetExtents(const Point3D& max, const Point3D& min);

 private:
  void Reindex();

  std::string name_;
  std::vector<std::unique_ptr<DXF_Layer>> layers_;
  NameIndex layerIndex_;  // the first layer of each name
  Point3D maxExtents_ = WCS_Origin;
  Point3D minExtents_ = WCS_Origin;
};

class selection_lists {
 public:
  // The chosen lists, in the order the viewer adds them; not owned.
  std::vector<Entity_List*> lists;

  // The entity with the least distance over the lists (a later list wins only when strictly
  // nearer) and its closest point; both untouched when nothing is nearer than 1e10.
  void FindNearestPoint(const Point3D& p, DXF_Entity*& entity, Point3D& closest) const;
  // The first entity that contains p, in list order; closest starts at the origin and the
  // entity is left as passed when nothing contains p.
  void FindContainingEntity(const Point3D& p, DXF_Entity*& entity, Point3D& closest) const;

  // An entity was changed in place (a vertex dragged): the queries see it from now on.
  void NoteEntityMoved(const DXF_Entity* entity);

  selection_lists() = default;
  // A copy chooses the same lists and builds its own index when it is first asked.
  selection_lists(const selection_lists& other) : lists(other.lists) {}
  selection_lists& operator=(const selection_lists& other) {
    if (this != &other) {
      lists = other.lists;
      index_.reset();
      indexed_.clear();
    }
    return *this;
  }
  selection_lists(selection_lists&&) = default;
  selection_lists& operator=(selection_lists&&) = default;

 private:
  // An index over the lists' entities in order (see DXF_index.h); none for a few entities.
  // It follows entities moved in place and lists that left the choice; it is built again
  // when a list is added, a list's entities changed or all geometry changed.
  const EntityIndex* QueryIndex() const;
  // Whether the index holds the lists as they are now, after forgetting the lists that left.
  bool IndexFollowsLists() const;
  struct IndexedList {
    Entity_List::Stamp stamp;
    uint32_t first;  // position of its first entity in the index
    uint32_t count;
  };
  mutable std::unique_ptr<EntityIndex> index_;
  mutable std::vector<IndexedList> indexed_;  // the lists the index holds, in order
  mutable Entity_List::Stamp indexGeneration_ = 0;
};

}  // namespace pv::viewer
