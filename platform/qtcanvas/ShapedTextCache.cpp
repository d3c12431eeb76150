#include "qtcanvas/ShapedTextCache.h"

#include <QTextLine>
#include <algorithm>

namespace pv::qtcanvas {

namespace {

constexpr size_t kSeenBits = size_t{1} << 20;

}  // namespace

ShapedTextCache::ShapedTextCache(size_t linesPerGeneration) : limit_(linesPerGeneration), seen_(kSeenBits / 64) {}

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
  const size_t bit = hash % kSeenBits;
  uint64_t& word = seen_[bit / 64];
  const uint64_t mask = uint64_t{1} << (bit % 64);
  const bool seen = (word & mask) != 0;
  word |= mask;
  return seen;
}

ShapedTextCache::Line& ShapedTextCache::Insert(Key key, Line line) {
  if (newer_.size() >= limit_) {
    older_ = std::move(newer_);
    newer_ = Lines();
    // The marks start afresh with the generation, so that they do not fill up over a session.
    std::fill(seen_.begin(), seen_.end(), 0);
  }
  return newer_.emplace(std::move(key), std::move(line)).first->second;
}

const ShapedTextCache::Line* ShapedTextCache::Get(int fontId, const QFont& font, std::string_view utf8,
                                                  QPaintDevice* device) {
  Key key{fontId, utf8};
  if (auto it = newer_.find(key); it != newer_.end()) return &it->second;
  if (auto it = older_.find(key); it != older_.end()) {
    Line line = std::move(it->second);
    older_.erase(it);
    return &Insert(std::move(key), std::move(line));
  }
  if (!SeenBefore(key.hash)) return nullptr;
  return &Insert(std::move(key), Shape(font, utf8, device));
}

void ShapedTextCache::Clear() {
  newer_.clear();
  older_.clear();
  std::fill(seen_.begin(), seen_.end(), 0);
}

}  // namespace pv::qtcanvas
