#pragma once
// Lines of text shaped for one paint device, kept across texts and repaints. Shaping (finding
// the glyphs and their advances) is most of what writing a short text costs, and a drawing
// writes the same texts in the same fonts at every repaint. A kept line is drawn from its
// shaping wherever it goes, which paints the glyphs a fresh shaping would.
//
// A line is kept from the second time it is written: keeping costs memory and time, and a
// repaint at a new zoom writes every text in a font it may never use again.
//
// The cache is bounded: it holds two generations of lines, and when the newer is full the
// older is dropped; a line found in the older is carried into the newer, so the lines in use
// stay while those no longer written leave.

#include <QFont>
#include <QString>
#include <QTextLayout>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QPaintDevice;

namespace pv::qtcanvas {

class ShapedTextCache {
 public:
  struct Line {
    // Null when the text does not lay out as one line (a line separator in it): such a text
    // is written by the plain route.
    std::unique_ptr<QTextLayout> layout;
    int width = 0;        // the advance, rounded as a measured text's
    qreal ascent = 0;     // the line's ascent, from its top to the baseline
  };

  // linesPerGeneration is how many lines the newer generation takes before the older is dropped.
  explicit ShapedTextCache(size_t linesPerGeneration = 32768);

  // The kept line of text (UTF-8) in the font fontId names (an id the caller keeps for one
  // QFont), or null the first time the text is asked for: the second time it is shaped on
  // the device and kept. Kept lines are found by the text's bytes, so a text written again is
  // not converted. The line's address holds until the next call.
  const Line* Get(int fontId, const QFont& font, std::string_view utf8, QPaintDevice* device);
  // The text shaped for one writing, not kept.
  static Line Shape(const QFont& font, std::string_view utf8, QPaintDevice* device);
  // How many lines are kept.
  size_t Size() const { return newer_.Size() + older_.Size(); }
  void Clear();

 private:
  struct Entry {
    size_t hash;
    int font;
    std::string text;
    Line line;
    bool moved = false;  // carried into the newer generation
  };
  // One generation: its entries in the order they came, found through an open-addressed table
  // of hashes at most half full. A lookup reads one slot (or a few neighbours) and the entry;
  // a table of linked nodes read two or three places scattered in memory for each text.
  class Generation {
   public:
    Generation() = default;
    Entry* Find(size_t hash, int font, std::string_view text);
    Entry& Add(Entry entry);
    size_t Count() const { return entries_.size(); }
    size_t Size() const { return entries_.size() - moved_; }
    // The entry's line is taken into another generation.
    Line Take(Entry& entry);

   private:
    struct Slot {
      size_t hash = 0;
      uint32_t entry = 0;  // index + 1; 0 for an empty slot
    };
    void Place(size_t hash, uint32_t entry);
    std::vector<Slot> slots_;  // a power of two in size, at least twice the entries
    std::vector<Entry> entries_;
    size_t moved_ = 0;
  };

  static size_t HashOf(int font, std::string_view text);
  Line& Insert(size_t hash, int font, std::string_view text, Line line);
  // Marks the hash as seen; whether it was seen before. Two texts may share their marks, which
  // only keeps one of them a writing early.
  bool SeenBefore(size_t hash);

  size_t limit_;
  Generation newer_;
  Generation older_;
  // Three bits in one word per hash of the texts asked for since the last generation began;
  // allocated with the first text.
  std::vector<uint64_t> seen_;
};

}  // namespace pv::qtcanvas
