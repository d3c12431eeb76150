#include "clipboard/MemoryClipboard.h"

namespace pv::clipboard {

bool TMemoryClipboard::Open() {
  if (held) return false;
  ++openDepth;
  ++opens;
  return true;
}

void TMemoryClipboard::Close() {
  if (openDepth > 0) --openDepth;
  ++closes;
}

std::vector<std::string> TMemoryClipboard::Formats() const {
  std::vector<std::string> formats;
  formats.reserve(items_.size());
  for (const TClipboardItem& item : items_) formats.push_back(item.mime);
  return formats;
}

std::optional<std::vector<uint8_t>> TMemoryClipboard::Data(std::string_view mime) const {
  for (const TClipboardItem& item : items_) {
    if (item.mime == mime) return item.data;
  }
  return std::nullopt;
}

void TMemoryClipboard::SetText(const std::string& text, const std::string& mime) {
  items_ = {{mime, std::vector<uint8_t>(text.begin(), text.end())}};
}

}  // namespace pv::clipboard
