#pragma once
// The clipboard as the document library sees it: a list of items, each a MIME type with its
// bytes, in the order the clipboard enumerates them. Private formats are registered by name
// and travel under a MIME type of their own. A Qt implementation (QtClipboard.h) serves the
// desktop's clipboard; an in-memory one (MemoryClipboard.h) serves tests, fuzzers and programs
// without a desktop.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "canvas/Bitmap.h"

namespace pv::clipboard {

inline constexpr const char* kTextUtf8Mime = "text/plain;charset=utf-8";
inline constexpr const char* kTextMime = "text/plain";
inline constexpr const char* kPngMime = "image/png";
inline constexpr const char* kBmpMime = "image/bmp";
inline constexpr const char* kJpegMime = "image/jpeg";
inline constexpr const char* kSvgMime = "image/svg+xml";

struct TClipboardItem {
  std::string mime;
  std::vector<uint8_t> data;
};

class IClipboard {
 public:
  virtual ~IClipboard() = default;

  // The clipboard is held between Open and Close; false when it cannot be had now.
  virtual bool Open() = 0;
  virtual void Close() = 0;

  // The MIME types on the clipboard in its enumeration order.
  virtual std::vector<std::string> Formats() const = 0;
  bool HasFormat(std::string_view mime) const;
  // The bytes of one type; none when the clipboard does not hold it.
  virtual std::optional<std::vector<uint8_t>> Data(std::string_view mime) const = 0;
  // Replaces everything on the clipboard by the items, in their order.
  virtual void SetItems(std::vector<TClipboardItem> items) = 0;

  // Picture formats whose pixels only the clipboard's own toolkit can make (a vector drawing):
  // whether it can, and the drawing rendered at its own size (none for bytes it cannot read).
  virtual bool RendersPicture(std::string_view) const { return false; }
  virtual std::optional<canvas::Bitmap> RenderPicture(std::string_view, std::span<const uint8_t>) const {
    return std::nullopt;
  }
};

// Registers a private format by its name and gives its MIME type: "application/x-" and the
// name in lower case, every run of characters other than letters and digits as one '-'
// ("VexaGraphics controls" gives "application/x-vexagraphics-controls"). Registering a name
// again gives the same type.
std::string RegisterClipboardFormat(std::string_view name);
// The name a MIME type was registered with; empty when it was not.
std::string ClipboardFormatName(std::string_view mime);

// The clipboard of the program: the one it installed (a desktop program installs the Qt one
// at start-up), else one in memory shared by the whole process.
IClipboard& SystemClipboard();
// None goes back to the in-memory one. The clipboard stays the caller's.
void SetSystemClipboard(IClipboard* clipboard);

// Holds the clipboard open for a scope; Close follows on every path.
class TClipboardOpen {
 public:
  explicit TClipboardOpen(IClipboard& clipboard) : clipboard_(clipboard), open_(clipboard.Open()) {}
  ~TClipboardOpen() {
    if (open_) clipboard_.Close();
  }
  TClipboardOpen(const TClipboardOpen&) = delete;
  TClipboardOpen& operator=(const TClipboardOpen&) = delete;
  bool IsOpen() const { return open_; }

 private:
  IClipboard& clipboard_;
  bool open_;
};

}  // namespace pv::clipboard
