#pragma once
// A clipboard that keeps its items in memory: the process's clipboard without a desktop, and
// the one tests and fuzzers use. It counts how often it was opened and closed, and can be
// made to refuse opening (another program holding the clipboard).

#include "clipboard/Clipboard.h"

namespace pv::clipboard {

class TMemoryClipboard final : public IClipboard {
 public:
  bool Open() override;
  void Close() override;
  std::vector<std::string> Formats() const override;
  std::optional<std::vector<uint8_t>> Data(std::string_view mime) const override;
  void SetItems(std::vector<TClipboardItem> items) override { items_ = std::move(items); }

  // A text item of the given type.
  void SetText(const std::string& text, const std::string& mime = kTextUtf8Mime);
  void Clear() { items_.clear(); }
  const std::vector<TClipboardItem>& Items() const { return items_; }

  // Opens held now (nested opens count).
  int openDepth = 0;
  int opens = 0;
  int closes = 0;
  // Refuses every Open while set.
  bool held = false;

 private:
  std::vector<TClipboardItem> items_;
};

}  // namespace pv::clipboard
