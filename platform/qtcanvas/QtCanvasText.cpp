// Fonts and text of the Qt canvas: logical font heights, placement by the alignment flags,
// measuring and the simple layout of DrawText.
#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

#include "qtcanvas/QtCanvas.h"

namespace pv::qtcanvas {

namespace {

constexpr int kDefaultEmPixels = 13;

QString ToQString(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

QString FaceFor(std::string_view name) {
  const QString n = ToQString(name).trimmed();
  const QString key = n.toLower();
  if (key == "arial" || key == "ff_arial" || key == "ms sans serif" || key == "tahoma" || key == "helvetica" ||
      key == "ff_swiss" || key == "system") {
    return QStringLiteral("Liberation Sans");
  }
  if (key == "times new roman" || key == "ff_roman" || key == "times") return QStringLiteral("Liberation Serif");
  if (key == "courier new" || key == "courier" || key == "fixedsys" || key == "ff_modern" || key == "terminal") {
    return QStringLiteral("Liberation Mono");
  }
  return n.isEmpty() ? QStringLiteral("Liberation Sans") : n;
}

void QtCanvas::RefreshFont() {
  const Font& f = state_.font;
  QFont font(FaceFor(f.name));
  font.setStyleStrategy(QFont::NoAntialias);
  font.setWeight(static_cast<QFont::Weight>(std::clamp(f.weight / 10 * 10, 100, 900)));
  font.setItalic(f.italic);
  font.setUnderline(f.underline);
  font.setStrikeOut(f.strikeOut);
  if (f.pitch == FontPitch::Fixed) {
    font.setFixedPitch(true);
    font.setStyleHint(QFont::TypeWriter);
  }
  if (f.height < 0) {
    font.setPixelSize(-f.height);
  } else if (f.height == 0) {
    font.setPixelSize(kDefaultEmPixels);
  } else {
    // A positive height is the cell (ascent + descent); find the em size that gives it.
    font.setPixelSize(f.height);
    const int cell = QFontMetrics(font).ascent() + QFontMetrics(font).descent();
    if (cell > 0 && cell != f.height) {
      font.setPixelSize(std::max(1, static_cast<int>(std::lround(double(f.height) * f.height / cell))));
    }
  }
  if (f.width > 0) {
    const int average = QFontMetrics(font).averageCharWidth();
    if (average > 0) font.setStretch(std::clamp(f.width * 100 / average, 1, 4000));
  }
  qfont_ = font;
  qmetrics_ = QFontMetrics(qfont_);
  SelectShapedFont();
  painterHasFont_ = false;
}

void QtCanvas::SelectShapedFont() {
  // Few fonts are in use at a time; the list is only searched when the font changes. A long
  // zoom session makes a new text height at every step, so the list (and the lines shaped in
  // its fonts) starts afresh once it is long.
  constexpr size_t kMaxFonts = 64;
  const auto it = std::find(shapedFonts_.begin(), shapedFonts_.end(), qfont_);
  if (it != shapedFonts_.end()) {
    fontId_ = static_cast<int>(it - shapedFonts_.begin());
    return;
  }
  if (shapedFonts_.size() >= kMaxFonts) {
    shapedFonts_.clear();
    shapedText_.Clear();
    plainGlyphs_.clear();
  }
  fontId_ = static_cast<int>(shapedFonts_.size());
  shapedFonts_.push_back(qfont_);
}

PlainTextGlyphs& QtCanvas::PlainGlyphs() {
  const size_t id = static_cast<size_t>(fontId_);
  if (plainGlyphs_.size() <= id) plainGlyphs_.resize(id + 1);
  if (!plainGlyphs_[id]) plainGlyphs_[id] = PlainTextGlyphs::Shared(qfont_, painter_->device());
  return *plainGlyphs_[id];
}

void QtCanvas::RestorePainter() {
  painter_->restore();
  painterHasFont_ = false;
}

TextMetric QtCanvas::GetTextMetrics() const {
  const QFontMetrics fm(qfont_);
  TextMetric m;
  m.ascent = fm.ascent();
  m.descent = fm.descent();
  m.height = m.ascent + m.descent;
  m.internalLeading = std::max(0, m.height - qfont_.pixelSize());
  m.externalLeading = std::max(0, fm.leading());
  m.aveCharWidth = fm.averageCharWidth();
  m.maxCharWidth = fm.maxWidth();
  return m;
}

TSize QtCanvas::GetTextExtent(std::string_view text) const {
  const QFontMetrics fm(qfont_);
  return {fm.horizontalAdvance(ToQString(text)), fm.ascent() + fm.descent()};
}

std::vector<ABC> QtCanvas::GetCharABCWidths(uint32_t first, uint32_t last) const {
  std::vector<ABC> out;
  if (last < first) return out;
  const QFontMetrics fm(qfont_);
  out.reserve(last - first + 1);
  for (uint32_t c = first; c <= last; ++c) {
    const QChar ch(static_cast<char16_t>(c));
    const int a = fm.leftBearing(ch);
    const int cw = fm.rightBearing(ch);
    const int advance = fm.horizontalAdvance(ch);
    out.push_back({a, static_cast<uint32_t>(std::max(0, advance - a - cw)), cw});
  }
  return out;
}

// Writes one line (UTF-8) with its reference point at (x, y), placed by the alignment flags.
void QtCanvas::DrawTextLine(int32_t x, int32_t y, std::string_view utf8, std::span<const int32_t> advances) {
  const QFontMetrics& fm = qmetrics_;
  const uint32_t horizontal = state_.textAlign & TA_HORIZONTAL_MASK;
  const bool opaque = state_.bkMode == BkMode::Opaque;
  // Measuring lays the text out once more: only when the placement or the background needs it.
  const bool measure = horizontal == TA_CENTER || horizontal == TA_RIGHT || opaque || !directCalls_;
  int width = 0;
  // A level line without advances is written from its glyphs: shaping is most of what a text
  // costs, and writing the glyphs a shaping gives puts them where writing the text does (the
  // direct-call test compares both routes). A line of plain characters is laid out from the
  // glyphs and kerned pairs its font learned (see PlainTextGlyphs.h), which needs no shaping of
  // the line at all; one with a pair not learned yet is shaped and teaches its pairs. Other
  // lines are shaped, and their shaping is kept from a text's second writing on; before that a
  // line that is measured is shaped for this writing only, so that measuring and writing do
  // not shape it twice. Turned text keeps the plain route: in a turned frame the layout rounds
  // some glyphs elsewhere.
  const bool level = advances.empty() && directCalls_ && state_.font.escapement == 0;
  PlainTextGlyphs* plain = nullptr;
  PlainTextGlyphs* learner = nullptr;
  if (level && !state_.font.underline && !state_.font.strikeOut) {
    PlainTextGlyphs& glyphs = PlainGlyphs();
    switch (glyphs.Lay(utf8, painter_->device())) {
      case PlainTextGlyphs::Layout::Laid: plain = &glyphs; break;
      case PlainTextGlyphs::Layout::Unlearned: learner = &glyphs; break;
      case PlainTextGlyphs::Layout::NotPlain: break;
    }
  }
  const ShapedTextCache::Line* shaped = nullptr;
  std::optional<ShapedTextCache::Line> once;
  if (level && !plain) {
    shaped = shapedText_.Get(fontId_, qfont_, utf8, painter_->device());
    if (!shaped && (measure || learner)) shaped = &once.emplace(ShapedTextCache::Shape(qfont_, utf8, painter_->device()));
    // A text that the layout would break (a line separator in it) is written as before.
    if (shaped && !shaped->layout) shaped = nullptr;
    if (shaped && learner) learner->Learn(utf8, *shaped->layout, painter_->device());
  }
  // A text written from its shaping needs no conversion.
  const QString text = shaped || plain ? QString() : ToQString(utf8);
  if (plain) {
    width = plain->Width();
  } else if (shaped) {
    width = shaped->width;
  } else if (measure && advances.empty()) {
    width = fm.horizontalAdvance(text);
  }
  if (measure && !advances.empty()) {
    for (size_t i = 0; i < advances.size() && i < static_cast<size_t>(text.size()); ++i) width += advances[i];
  }
  double dx = 0;
  switch (horizontal) {
    case TA_CENTER: dx = -width / 2; break;
    case TA_RIGHT: dx = -width; break;
    default: break;
  }
  double dy = fm.ascent();  // Qt writes on the baseline; the default reference is the cell top
  switch (state_.textAlign & TA_VERTICAL_MASK) {
    case TA_BASELINE: dy = 0; break;
    case TA_BOTTOM: dy = -fm.descent(); break;
    default: break;
  }
  // Turned text is written in a turned frame about its reference point; level text is placed
  // directly, which keeps the painter's state (and saves its copy) between texts.
  const bool turned = state_.font.escapement != 0 || !directCalls_;
  // A laid-out line whose cell, widened by an em on every side for glyphs that reach past
  // their advance, lies outside the picture paints nothing: most labels of a zoomed view.
  if (plain) {
    const int64_t em = std::max(qfont_.pixelSize(), 1);
    const int64_t left = static_cast<int64_t>(dx) + x;
    const int64_t baseline = static_cast<int64_t>(dy) + y;
    if (OffDevice(left - em, baseline - fm.ascent() - em, left + width + em, baseline + fm.descent() + em)) return;
  }
  if (turned) {
    painter_->save();
    painter_->translate(x, y);
    if (state_.font.escapement != 0) painter_->rotate(-state_.font.escapement / 10.0);
  } else {
    dx += x;
    dy += y;
  }
  painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
  if (opaque) {
    painter_->fillRect(QRectF(dx, dy - fm.ascent(), width, fm.ascent() + fm.descent()), ToQColor(state_.bkColor));
  }
  // Glyphs carry their font; only a text the painter shapes needs the painter's.
  if (!plain) {
    if (!painterHasFont_ || turned) painter_->setFont(qfont_);
    painterHasFont_ = !turned;
  }
  // As with the stroke pen, a QPen built per text would allocate for each.
  if (!textPenOf_ || *textPenOf_ != state_.font.color) {
    textPen_ = QPen(ToQColor(state_.font.color));
    textPenOf_ = state_.font.color;
  }
  painter_->setPen(textPen_);
  if (plain) {
    painter_->drawGlyphRun(QPointF(dx, dy), plain->Run());
  } else if (shaped) {
    // The layout puts its line's top at the point; its ascent is what drawText writes below.
    shaped->layout->draw(painter_.get(), QPointF(dx, dy - shaped->ascent));
  } else if (advances.empty()) {
    painter_->drawText(QPointF(dx, dy), text);
  } else {
    double at = dx;
    for (qsizetype i = 0; i < text.size(); ++i) {
      painter_->drawText(QPointF(at, dy), QString(text[i]));
      at += static_cast<size_t>(i) < advances.size() ? advances[static_cast<size_t>(i)] : fm.horizontalAdvance(text[i]);
    }
  }
  if (turned) painter_->restore();
}

void QtCanvas::TextOut(int32_t x, int32_t y, std::string_view text) {
  if (state_.textAlign & TA_UPDATECP) {
    x = state_.penPos.x;
    y = state_.penPos.y;
    state_.penPos.x += QFontMetrics(qfont_).horizontalAdvance(ToQString(text));
  }
  DrawTextLine(x, y, text, {});
}

void QtCanvas::ExtTextOut(int32_t x, int32_t y, uint32_t options, const TRect* rect, std::string_view text,
                          std::span<const int32_t> advances) {
  if (rect && (options & ETO_OPAQUE)) {
    ApplyCopy();
    painter_->fillRect(QRect(rect->left, rect->top, rect->Width(), rect->Height()), ToQColor(state_.bkColor));
  }
  const bool clipped = rect && (options & ETO_CLIPPED);
  if (clipped) {
    painter_->save();
    painter_->setClipRect(QRect(rect->left, rect->top, rect->Width(), rect->Height()), Qt::IntersectClip);
  }
  // Advances count characters of the text; Qt counts UTF-16 units, which agree for the
  // characters programs write here.
  DrawTextLine(x, y, text, advances);
  if (clipped) RestorePainter();
}

int32_t QtCanvas::DrawText(std::string_view text, TRect& rect, uint32_t format) {
  const QFontMetrics fm(qfont_);
  const int lineHeight = fm.ascent() + fm.descent();
  const int maxWidth = rect.Width();
  QString all = ToQString(text);
  all.remove(QChar('\r'));
  if (format & DT_EXPANDTABS) all.replace(QChar('\t'), QStringLiteral("        "));
  QStringList lines;
  const QStringList paragraphs = (format & DT_SINGLELINE) ? QStringList{QString(all).replace('\n', ' ')}
                                                          : all.split(QChar('\n'));
  for (const QString& paragraph : paragraphs) {
    if (!(format & DT_WORDBREAK) || (format & DT_SINGLELINE)) {
      lines << paragraph;
      continue;
    }
    QString current;
    for (const QString& word : paragraph.split(QChar(' '))) {
      const QString candidate = current.isEmpty() ? word : current + ' ' + word;
      if (!current.isEmpty() && fm.horizontalAdvance(candidate) > maxWidth) {
        lines << current;
        current = word;
      } else {
        current = candidate;
      }
    }
    lines << current;
  }
  const int32_t height = static_cast<int32_t>(lines.size()) * lineHeight;
  if (format & DT_CALCRECT) {
    int widest = 0;
    for (const QString& line : lines) widest = std::max(widest, fm.horizontalAdvance(line));
    rect.right = rect.left + widest;
    rect.bottom = rect.top + height;
    return height;
  }
  int32_t top = rect.top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) top = rect.top + (rect.Height() - lineHeight) / 2;
    if (format & DT_BOTTOM) top = rect.bottom - lineHeight;
  }
  const uint32_t savedAlign = state_.textAlign;
  state_.textAlign = TA_TOP | TA_LEFT;
  painter_->save();
  if (!(format & DT_NOCLIP)) painter_->setClipRect(QRect(rect.left, rect.top, rect.Width(), rect.Height()), Qt::IntersectClip);
  for (const QString& line : lines) {
    const int w = fm.horizontalAdvance(line);
    int32_t x = rect.left;
    if (format & DT_CENTER) x = rect.left + (maxWidth - w) / 2;
    if (format & DT_RIGHT) x = rect.right - w;
    const QByteArray utf8 = line.toUtf8();
    DrawTextLine(x, top, std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), {});
    top += lineHeight;
  }
  RestorePainter();
  state_.textAlign = savedAlign;
  return height;
}

}  // namespace pv::qtcanvas
