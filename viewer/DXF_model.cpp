#include "DXF_model.h"

#include "DXF_blocks.h"
#include "DXF_read.h"

namespace pv::viewer {

// ---- Entity_List ------------------------------------------------------------------------

Entity_List::Entity_List(std::string name) : name_(std::move(name)), stamp_(NextStamp()) { ++DXF_Counters::lists; }

Entity_List::~Entity_List() { --DXF_Counters::lists; }

void Entity_List::Add(std::unique_ptr<DXF_Entity> entity) {
  if (blocksIndexed_) {
    if (auto* block = dynamic_cast<Block_*>(entity.get())) blocks_.emplace(block->Name(), block);
  }
  entities_.push_back(std::move(entity));
  stamp_ = NextStamp();
}

std::unique_ptr<DXF_Entity> Entity_List::TakeLast() {
  if (entities_.empty()) return nullptr;
  auto entity = std::move(entities_.back());
  entities_.pop_back();
  stamp_ = NextStamp();
  blocks_.clear();
  blocksIndexed_ = false;
  return entity;
}

Block_* Entity_List::FindBlock(std::string_view name) const {
  if (!blocksIndexed_) {
    for (const auto& e : entities_) {
      if (auto* block = dynamic_cast<Block_*>(e.get())) blocks_.emplace(block->Name(), block);
    }
    blocksIndexed_ = true;
  }
  auto it = blocks_.find(name);
  return it == blocks_.end() ? nullptr : it->second;
}

void Entity_List::DrawAll(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen,
                          void* userData) const {
  // Entities lie wherever reading allocated them; in a large drawing most of a repaint went
  // into waiting for each one to come from memory. Asking for a few ahead hides that wait.
  constexpr size_t kAhead = 16;
  const size_t n = entities_.size();
  for (size_t i = 0; i < n; ++i) {
    if (i + kAhead < n) {
      const char* next = reinterpret_cast<const char*>(entities_[i + kAhead].get());
      // The first lines hold the class, colour and object coordinate system, the points follow.
      for (size_t line = 0; line < 4; ++line) __builtin_prefetch(next + 64 * line);
    }
    entities_[i]->Draw(canvas, outer, toScreen, userData);
  }
}

void Entity_List::DrawAllVertices(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen,
                                  void* userData) const {
  for (const auto& e : entities_) e->DrawVertices(canvas, outer, toScreen, userData);
}

int Entity_List::VertexCount() const {
  int sum = 0;
  for (const auto& e : entities_) sum += e->VertexCount();
  return sum;
}

int Entity_List::LineCount() const {
  int sum = 0;
  for (const auto& e : entities_) sum += e->LineCount();
  return sum;
}

int Entity_List::OpenPolyCount() const {
  int sum = 0;
  for (const auto& e : entities_) sum += e->OpenPolyCount();
  return sum;
}

int Entity_List::ClosedPolyCount() const {
  int sum = 0;
  for (const auto& e : entities_) sum += e->ClosedPolyCount();
  return sum;
}

void Entity_List::GrowExtents(Point3D& max, Point3D& min) const {
  for (const auto& e : entities_) e->GrowExtents(max, min);
}

double Entity_List::Nearest(const Point3D& p, DXF_Entity*& entity) const {
  double best = 1e10;
  for (const auto& e : entities_) {
    const double d = e->Distance(p);
    if (d < best) {
      best = d;
      entity = e.get();
    }
  }
  return best;
}

DXF_Entity* Entity_List::FirstInside(const Point3D& p) const {
  for (const auto& e : entities_) {
    if (e->IsInside(p)) return e.get();
  }
  return nullptr;
}

// ---- DXF_Layer --------------------------------------------------------------------------

DXF_Layer::DXF_Layer(std::string name) : name_(std::move(name)) { ++DXF_Counters::layers; }

DXF_Layer::~DXF_Layer() {
  while (!lists_.empty()) lists_.pop_back();
  --DXF_Counters::layers;
}

std::vector<std::string> DXF_Layer::ListNames() const {
  std::vector<std::string> names;
  names.reserve(lists_.size());
  for (const auto& list : lists_) names.push_back(list->Name());
  return names;
}

void DXF_Layer::AddEntity(std::unique_ptr<DXF_Entity> entity) {
  DXF_Entity* e = entity.get();
  ListByName(e->ClassName())->Add(std::move(entity));
  if (e->ColorIndex() == 0 || e->ColorIndex() == 256) e->SetColorIndex(colour_);
}

Entity_List* DXF_Layer::ListByName(std::string_view name) {
  auto it = listIndex_.find(name);
  if (it != listIndex_.end()) return lists_[it->second].get();
  auto list = std::make_unique<Entity_List>(std::string(name));
  list->SetOwner(this);
  listIndex_.emplace(list->Name(), lists_.size());
  lists_.push_back(std::move(list));
  return lists_.back().get();
}

void DXF_Layer::AddList(std::unique_ptr<Entity_List> list) {
  if (listIndex_.contains(list->Name())) throw std::runtime_error("Attempted to add two lists with same name");
  list->SetOwner(this);
  listIndex_.emplace(list->Name(), lists_.size());
  lists_.push_back(std::move(list));
}

std::vector<std::unique_ptr<Entity_List>> DXF_Layer::DeleteList(std::string_view name, bool free) {
  // The name may be a list's own, which goes with the list.
  const std::string wanted(name);
  std::vector<std::unique_ptr<Entity_List>> removed;
  for (size_t i = lists_.size(); i-- > 0;) {
    if (lists_[i]->Name() != wanted) continue;
    if (!free) removed.push_back(std::move(lists_[i]));
    lists_.erase(lists_.begin() + static_cast<std::ptrdiff_t>(i));
  }
  Reindex();
  return removed;
}

void DXF_Layer::RemoveEmptyLists() {
  for (size_t i = lists_.size(); i-- > 0;) {
    if (lists_[i]->Count() == 0) lists_.erase(lists_.begin() + static_cast<std::ptrdiff_t>(i));
  }
  Reindex();
}

void DXF_Layer::Reindex() {
  listIndex_.clear();
  for (size_t i = 0; i < lists_.size(); ++i) listIndex_.emplace(lists_[i]->Name(), i);
}

void DXF_Layer::GrowExtents(Point3D& max, Point3D& min) const {
  for (const auto& list : lists_) list->GrowExtents(max, min);
}

// ---- DXF_Object -------------------------------------------------------------------------

DXF_Object::DXF_Object(std::string name) : name_(std::move(name)) { ++DXF_Counters::objects; }

DXF_Object::~DXF_Object() { --DXF_Counters::objects; }

std::unique_ptr<DXF_Object> DXF_Object::CreateFromFile(const std::filesystem::path& fileName,
                                                       std::vector<std::string>* messages, BusyBox& busy,
                                                       ReaderPrompts& prompts) {
  DXF_Reader reader(fileName, busy, prompts);
  reader.SetMessages(messages);
  reader.ReadDxfFile();
  auto drawing = std::make_unique<DXF_Object>(fileName.filename().string());
  drawing->AdoptLayers(reader.TakeLayers());
  drawing->SetExtents(reader.ExtMax(), reader.ExtMin());
  return drawing;
}

DXF_Layer* DXF_Object::CreateLayer(std::string_view name, bool allowExisting) {
  auto it = layerIndex_.find(name);
  if (it != layerIndex_.end()) {
    if (!allowExisting) throw DXF_exception("Attempted to create layer with existing name");
    return layers_[it->second].get();
  }
  layerIndex_.emplace(std::string(name), layers_.size());
  layers_.push_back(std::make_unique<DXF_Layer>(std::string(name)));
  return layers_.back().get();
}

DXF_Layer* DXF_Object::LayerByName(std::string_view name) { return CreateLayer(name, true); }

void DXF_Object::AdoptLayers(std::vector<std::unique_ptr<DXF_Layer>> layers) {
  for (auto& layer : layers) layers_.push_back(std::move(layer));
  Reindex();
}

void DXF_Object::Merge(DXF_Object& other) {
  Entity_List* blocks = LayerByName("0")->ListByName("Block_");
  for (const auto& sourceLayer : other.layers_) {
    DXF_Layer* target = LayerByName(sourceLayer->Name());
    for (int i = 0; i < sourceLayer->ListCount(); ++i) {
      Entity_List* source = sourceLayer->List(static_cast<size_t>(i));
      Entity_List* destination = target->ListByName(source->Name());
      while (auto entity = source->TakeLast()) {
        auto* insert = dynamic_cast<Insert_*>(entity.get());
        destination->Add(std::move(entity));
        if (insert) insert->SetBlockList(blocks);
      }
    }
  }
}

void DXF_Object::RemoveEmptyLayers() {
  for (size_t i = layers_.size(); i-- > 0;) {
    layers_[i]->RemoveEmptyLists();
    if (layers_[i]->ListCount() == 0) layers_.erase(layers_.begin() + static_cast<std::ptrdiff_t>(i));
  }
  Reindex();
}

void DXF_Object::FillListItems(std::vector<ListItem>& items) const {
  items.push_back({name_, std::monostate{}});
  for (const auto& layer : layers_) {
    items.push_back({"  " + layer->Name(), layer.get()});
    for (int i = 0; i < layer->ListCount(); ++i) {
      Entity_List* list = layer->List(static_cast<size_t>(i));
      items.push_back({"    " + list->Name(), list});
    }
  }
}

void DXF_Object::SetExtents(const Point3D& max, const Point3D& min) {
  maxExtents_ = max;
  minExtents_ = min;
}

void DXF_Object::Reindex() {
  layerIndex_.clear();
  for (size_t i = 0; i < layers_.size(); ++i) layerIndex_.emplace(layers_[i]->Name(), i);
}

// ---- selection_lists --------------------------------------------------------------------

// A few entities are walked: building an index would cost more than it saves.
constexpr size_t kIndexedEntities = 64;

bool selection_lists::IndexFollowsLists() const {
  if (!index_ || indexGeneration_ != Entity_List::GeometryGeneration()) return false;
  // Every query asks: the lists as indexed are told without building anything.
  if (lists.size() == indexed_.size()) {
    size_t i = 0;
    while (i < lists.size() && lists[i]->StampOf() == indexed_[i].stamp) ++i;
    if (i == lists.size()) return true;
  }
  // The lists now must be those indexed, in their order, with some perhaps gone: a list keeps
  // its stamp for as long as its entities stay as they were.
  std::vector<IndexedList> kept;
  std::vector<EntityIndex::Range> gone;
  kept.reserve(lists.size());
  size_t next = 0;
  for (const Entity_List* list : lists) {
    while (next < indexed_.size() && indexed_[next].stamp != list->StampOf()) {
      gone.push_back({indexed_[next].first, indexed_[next].count});
      ++next;
    }
    if (next == indexed_.size()) return false;
    kept.push_back(indexed_[next++]);
  }
  for (; next < indexed_.size(); ++next) gone.push_back({indexed_[next].first, indexed_[next].count});
  if (!gone.empty()) {
    index_->Remove(gone);
    indexed_ = std::move(kept);
  }
  return true;
}

const EntityIndex* selection_lists::QueryIndex() const {
  // One pass over the lists counts their entities and tells whether they are those indexed:
  // every query asks, and a drawing of many layers has thousands of lists.
  size_t count = 0;
  bool same = index_ && indexGeneration_ == Entity_List::GeometryGeneration() && lists.size() == indexed_.size();
  for (size_t i = 0; i < lists.size(); ++i) {
    count += lists[i]->Count();
    same = same && lists[i]->StampOf() == indexed_[i].stamp;
  }
  if (count < kIndexedEntities) return nullptr;
  if (same || IndexFollowsLists()) return index_.get();
  std::vector<DXF_Entity*> entities;
  entities.reserve(count);
  indexed_.clear();
  for (const Entity_List* list : lists) {
    indexed_.push_back({list->StampOf(), static_cast<uint32_t>(entities.size()), static_cast<uint32_t>(list->Count())});
    for (const auto& e : list->Entities()) entities.push_back(e.get());
  }
  index_ = std::make_unique<EntityIndex>(std::move(entities));
  indexGeneration_ = Entity_List::GeometryGeneration();
  return index_.get();
}

void selection_lists::NoteEntityMoved(const DXF_Entity* entity) {
  // An index that no longer follows the lists is built again at the next query anyway.
  if (!IndexFollowsLists() || !index_->Moved(entity)) index_.reset();
}

void selection_lists::FindNearestPoint(const Point3D& p, DXF_Entity*& entity, Point3D& closest) const {
  // The index answers as the walk below: the least distance, the first list and the first
  // position in it on ties.
  if (const EntityIndex* index = QueryIndex()) {
    if (DXF_Entity* nearest = index->Nearest(p, 1e10)) {
      entity = nearest;
      closest = nearest->ClosestPoint(p);
    }
    return;
  }
  double best = 1e10;
  for (const Entity_List* list : lists) {
    DXF_Entity* candidate = nullptr;
    const double d = list->Nearest(p, candidate);
    if (d < best) {
      best = d;
      entity = candidate;
      closest = candidate->ClosestPoint(p);
    }
  }
}

void selection_lists::FindContainingEntity(const Point3D& p, DXF_Entity*& entity, Point3D& closest) const {
  closest = WCS_Origin;
  DXF_Entity* inside = nullptr;
  if (const EntityIndex* index = QueryIndex()) {
    inside = index->FirstInside(p);
  } else {
    for (const Entity_List* list : lists) {
      if ((inside = list->FirstInside(p))) break;
    }
  }
  if (!inside) return;
  entity = inside;
  closest = inside->ClosestPoint(p);
}

}  // namespace pv::viewer
