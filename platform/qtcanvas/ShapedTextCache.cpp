#include "qtcanvas/ShapedTextCache.h"

#include <QTextLine>
#include <algorithm>

namespace pv::qtcanvas {

namespace {

// 32 KB of marks: a repaint's texts mostly fit beside each other in the processor's cache, and a
// mark two texts share only keeps one of them a writing early.
constexpr size_t kSeenBits = size_t{1} << 18;
constexpr size_t kSeenWords = kSeenBits / 64;

}  // namespace

// Nothing is allocated before the first text: a canvas made for one paint may write none.
ShapedTextCache::ShapedTextCache(size_t linesPerGeneration)
    : limit_(std::max<size_t>(1, linesPerGeneration)) {}

ShapedTextCache::Entry* ShapedTextCache::Generation::Find(size_t hash, int font, std::string_view text) {
  if (slots_.empty()) return nullptr;
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask; slots_[i].entry != 0; i = (i + 1) & mask) {
    if (slots_[i].hash != hash) continue;
    Entry& e = entries_[slots_[i].entry - 1];
    if (e.font == font && e.text == text) return &e;
  }
  return nullptr;
}

void ShapedTextCache::Generation::Place(size_t hash, uint32_t entry) {
  const size_t mask = slots_.size() - 1;
  size_t i = hash & mask;
  while (slots_[i].entry != 0) i = (i + 1) & mask;
  slots_[i] = {hash, entry};
}

ShapedTextCache::Entry& ShapedTextCache::Generation::Add(Entry entry) {
  // The table grows with the entries, at most half full: a small one stays in the cache, and
  // a generation of few lines does not allocate the table of a full one.
  if (2 * (entries_.size() + 1) > slots_.size()) {
    slots_.assign(std::max<size_t>(16, 2 * slots_.size()), Slot{});
    for (size_t i = 0; i < entries_.size(); ++i) Place(entries_[i].hash, static_cast<uint32_t>(i + 1));
  }
  Place(entry.hash, static_cast<uint32_t>(entries_.size() + 1));
  entries_.push_back(std::move(entry));
  return entries_.back();
}

ShapedTextCache::Line ShapedTextCache::Generation::Take(Entry& entry) {
  entry.moved = true;
  ++moved_;
  return std::move(entry.line);
}

size_t ShapedTextCache::HashOf(int font, std::string_view text) {
  return std::hash<std::string_view>()(text) ^ (static_cast<size_t>(font) * 0x9E3779B97F4A7C15ull);
}

ShapedTextCache::Line ShapedTextCache::Shape(const QFont& font, std::string_view utf8, QPaintDevice* device) {
  Line line;
  const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  auto layout = std::make_unique<QTextLayout>(text, font, device);
  layout->setCacheEnabled(true);  // else ending the layout drops the shaping again
  layout->beginLayout();
  layout->createLine();
  layout->endLayout();
  if (layout->lineCount() != 1 || layout->lineAt(0).textLength() != text.size()) return line;
  line.width = qRound(layout->lineAt(0).horizontalAdvance());
  line.ascent = layout->lineAt(0).ascent();
  line.layout = std::move(layout);
  return line;
}

bool ShapedTextCache::SeenBefore(size_t hash) {
  if (seen_.empty()) seen_.resize(kSeenWords);
  // Three marks in one word: a text counts as seen only when all three are set. With one mark
  // a repaint at a new height of 16,000 texts took one in sixteen for seen and shaped it to
  // keep, which costs more than writing it; three in a word cost one read as one did.
  uint64_t& word = seen_[hash % kSeenWords];
  const size_t rest = hash / kSeenWords;
  const uint64_t mask = (uint64_t{1} << (rest % 64)) | (uint64_t{1} << (rest / 64 % 64)) |
                        (uint64_t{1} << (rest / 4096 % 64));
  const bool seen = (word & mask) == mask;
  word |= mask;
  return seen;
}

ShapedTextCache::Line& ShapedTextCache::Insert(size_t hash, int font, std::string_view text, Line line) {
  if (newer_.Count() >= limit_) {
    older_ = std::move(newer_);
    newer_ = Generation();
    // The marks start afresh with the generation, so that they do not fill up over a session.
    std::fill(seen_.begin(), seen_.end(), 0);
  }
  return newer_.Add({hash, font, std::string(text), std::move(line)}).line;
}

const ShapedTextCache::Line* ShapedTextCache::Get(int fontId, const QFont& font, std::string_view utf8,
                                                  QPaintDevice* device) {
  const size_t hash = HashOf(fontId, utf8);
  if (Entry* e = newer_.Find(hash, fontId, utf8)) return &e->line;
  // A line carried into the newer generation was found there; its husk here is passed over.
  if (Entry* e = older_.Find(hash, fontId, utf8); e && !e->moved) return &Insert(hash, fontId, utf8, older_.Take(*e));
  if (!SeenBefore(hash)) return nullptr;
  return &Insert(hash, fontId, utf8, Shape(font, utf8, device));
}

void ShapedTextCache::Clear() {
  newer_ = Generation();
  older_ = Generation();
  seen_.clear();
}

}  // namespace pv::qtcanvas
