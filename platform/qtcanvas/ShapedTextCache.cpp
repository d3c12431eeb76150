#include "qtcanvas/ShapedTextCache.h"

#include <QTextLine>

namespace pv::qtcanvas {

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

ShapedTextCache::Line& ShapedTextCache::Insert(Key key, Line line) {
  if (newer_.size() >= limit_) {
    older_ = std::move(newer_);
    newer_ = Lines();
  }
  return newer_.emplace(std::move(key), std::move(line)).first->second;
}

const ShapedTextCache::Line& ShapedTextCache::Get(int fontId, const QFont& font, std::string_view utf8,
                                                  QPaintDevice* device) {
  Key key{fontId, utf8};
  if (auto it = newer_.find(key); it != newer_.end()) return it->second;
  if (auto it = older_.find(key); it != older_.end()) {
    Line line = std::move(it->second);
    older_.erase(it);
    return Insert(std::move(key), std::move(line));
  }
  return Insert(std::move(key), Shape(font, utf8, device));
}

void ShapedTextCache::Clear() {
  newer_.clear();
  older_.clear();
}

}  // namespace pv::qtcanvas
