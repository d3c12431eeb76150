#include "qtcanvas/PlainTextGlyphs.h"

#include <QCoreApplication>
#include <QPaintDevice>
#include <QTextLayout>
#include <QTextLine>
#include <QThread>
#include <cmath>

namespace pv::qtcanvas {

namespace {

// Layout positions are sums of 64ths of a pixel; as reals they convert back exactly.
int32_t To64ths(qreal x) { return static_cast<int32_t>(std::lround(x * 64)); }

// The glyph run of a line shaped as one line in one font, or an empty run.
QGlyphRun OnlyRun(const QTextLayout& layout) {
  if (layout.lineCount() != 1) return {};
  const QList<QGlyphRun> runs = layout.glyphRuns();
  return runs.size() == 1 ? runs.front() : QGlyphRun();
}

// The shared glyphs, by font and the device's kind and resolution (a font is resolved for
// the device's resolution). Few fonts are in use at a time; a long zoom session makes a new
// text height at every step, so the list starts afresh once it is long (canvases keep what
// they use). It is emptied as the application ends, while Qt's fonts are still there.
struct SharedGlyphs {
  QFont font;
  int kind;
  int dpiX;
  int dpiY;
  std::shared_ptr<PlainTextGlyphs> glyphs;
};

std::vector<SharedGlyphs>* SharedList() {
  static std::vector<SharedGlyphs>* list = [] {
    auto* made = new std::vector<SharedGlyphs>();
    qAddPostRoutine([] { SharedList()->clear(); });
    return made;
  }();
  return list;
}

}  // namespace

PlainTextGlyphs::PlainTextGlyphs(const QFont& font)
    : font_(font), pairs_(static_cast<size_t>(kCount * kCount), kUnknown) {
  advance_.fill(kUnknown);
}

std::shared_ptr<PlainTextGlyphs> PlainTextGlyphs::Shared(const QFont& font, QPaintDevice* device) {
  constexpr size_t kMaxFonts = 64;
  const QCoreApplication* app = QCoreApplication::instance();
  if (!app || QThread::currentThread() != app->thread()) return std::make_shared<PlainTextGlyphs>(font);
  std::vector<SharedGlyphs>& list = *SharedList();
  const int kind = device->devType();
  const int dpiX = device->logicalDpiX();
  const int dpiY = device->logicalDpiY();
  for (const SharedGlyphs& e : list) {
    if (e.kind == kind && e.dpiX == dpiX && e.dpiY == dpiY && e.font == font) return e.glyphs;
  }
  if (list.size() >= kMaxFonts) list.clear();
  list.push_back({font, kind, dpiX, dpiY, std::make_shared<PlainTextGlyphs>(font)});
  return list.back().glyphs;
}

int PlainTextGlyphs::IndexOf(char c) {
  const int code = static_cast<unsigned char>(c);
  return code >= kFirst && code < kFirst + kCount ? code - kFirst : -1;
}

bool PlainTextGlyphs::LearnCharacter(int index, QPaintDevice* device) {
  int32_t& advance = advance_[static_cast<size_t>(index)];
  if (advance != kUnknown) return advance != kOdd;
  advance = kOdd;
  QTextLayout layout(QString(QChar(kFirst + index)), font_, device);
  layout.setCacheEnabled(true);
  layout.beginLayout();
  const QTextLine line = layout.createLine();
  layout.endLayout();
  const QGlyphRun run = OnlyRun(layout);
  if (run.glyphIndexes().size() != 1 || run.positions().front().x() != 0) return false;
  // The first plain character names the font; a character Qt takes from another is not plain.
  if (!raw_.isValid()) raw_ = run.rawFont();
  if (!(run.rawFont() == raw_)) return false;
  glyph_[static_cast<size_t>(index)] = run.glyphIndexes().front();
  advance = To64ths(line.horizontalAdvance());
  return true;
}

PlainTextGlyphs::Layout PlainTextGlyphs::Lay(std::string_view utf8, QPaintDevice* device) {
  if (utf8.empty()) return Layout::NotPlain;
  glyphs_.clear();
  positions_.clear();
  int64_t x = 0;
  int previous = -1;
  // A line with a pair not learned yet is read to its end: a character in it may not be plain,
  // and then shaping the line would teach nothing.
  bool unlearned = false;
  for (char c : utf8) {
    const int index = IndexOf(c);
    if (index < 0 || !LearnCharacter(index, device)) return Layout::NotPlain;
    if (previous >= 0) {
      const int32_t kerned = Pair(previous, index);
      if (kerned == kOdd) return Layout::NotPlain;
      unlearned = unlearned || kerned == kUnknown;
      x += kerned;
    }
    glyphs_.push_back(glyph_[static_cast<size_t>(index)]);
    positions_.emplace_back(static_cast<qreal>(x) / 64, 0.0);
    previous = index;
  }
  if (unlearned) return Layout::Unlearned;
  x += advance_[static_cast<size_t>(previous)];
  // Qt counts a line's advance in 32 bits of 64ths; a longer line is left to it.
  if (x > INT32_MAX) return Layout::NotPlain;
  width_ = qRound(static_cast<qreal>(x) / 64);
  run_.setRawFont(raw_);
  run_.setRawData(glyphs_.data(), positions_.data(), static_cast<int>(glyphs_.size()));
  return Layout::Laid;
}

void PlainTextGlyphs::Learn(std::string_view utf8, const QTextLayout& layout, QPaintDevice* device) {
  const size_t n = utf8.size();
  std::vector<int> indexes;
  indexes.reserve(n);
  for (char c : utf8) {
    const int index = IndexOf(c);
    if (index < 0 || !LearnCharacter(index, device)) return;
    indexes.push_back(index);
  }
  // The pairs this line would teach; if shaping did more than place each character's own glyph
  // on one baseline, they stay out of the plain route.
  auto markOdd = [&] {
    for (size_t i = 0; i + 1 < n; ++i) {
      int32_t& kerned = Pair(indexes[i], indexes[i + 1]);
      if (kerned == kUnknown) kerned = kOdd;
    }
  };
  const QGlyphRun run = OnlyRun(layout);
  const QList<quint32> glyphs = run.glyphIndexes();
  const QList<QPointF> positions = run.positions();
  if (!(run.rawFont() == raw_) || static_cast<size_t>(glyphs.size()) != n || positions.size() != glyphs.size() ||
      positions.front().x() != 0) {
    return markOdd();
  }
  for (size_t i = 0; i < n; ++i) {
    const qsizetype at = static_cast<qsizetype>(i);
    if (glyphs[at] != glyph_[static_cast<size_t>(indexes[i])] || positions[at].y() != positions.front().y()) {
      return markOdd();
    }
  }
  // The last glyph advances as it does alone: nothing after it to kern with.
  const int32_t width = To64ths(layout.lineAt(0).horizontalAdvance());
  if (width - To64ths(positions.back().x()) != advance_[static_cast<size_t>(indexes.back())]) return markOdd();
  for (size_t i = 0; i + 1 < n; ++i) {
    const qsizetype at = static_cast<qsizetype>(i);
    const int32_t kerned = To64ths(positions[at + 1].x()) - To64ths(positions[at].x());
    int32_t& pair = Pair(indexes[i], indexes[i + 1]);
    // A pair that shaping advances by different amounts in different lines depends on more
    // than the pair: it is not plain.
    if (pair == kUnknown) {
      pair = kerned;
    } else if (pair != kerned) {
      pair = kOdd;
    }
  }
}

}  // namespace pv::qtcanvas
