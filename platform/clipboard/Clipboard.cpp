#include "clipboard/Clipboard.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>

#include "clipboard/MemoryClipboard.h"

namespace pv::clipboard {

namespace {

std::mutex registryMutex;
std::map<std::string, std::string, std::less<>>& Registered() {
  static std::map<std::string, std::string, std::less<>> byMime;
  return byMime;
}

IClipboard* installed = nullptr;

}  // namespace

bool IClipboard::HasFormat(std::string_view mime) const {
  const std::vector<std::string> formats = Formats();
  return std::find(formats.begin(), formats.end(), mime) != formats.end();
}

std::string RegisterClipboardFormat(std::string_view name) {
  std::string mime = "application/x-";
  bool gap = false;
  for (const char ch : name) {
    const auto c = static_cast<unsigned char>(ch);
    if (std::isalnum(c) && c < 0x80) {
      if (gap && mime.back() != '-') mime += '-';
      mime += static_cast<char>(std::tolower(c));
      gap = false;
    } else {
      gap = true;
    }
  }
  std::lock_guard lock(registryMutex);
  Registered().emplace(mime, std::string(name));
  return mime;
}

std::string ClipboardFormatName(std::string_view mime) {
  std::lock_guard lock(registryMutex);
  const auto it = Registered().find(mime);
  return it == Registered().end() ? std::string() : it->second;
}

IClipboard& SystemClipboard() {
  static TMemoryClipboard memory;
  return installed ? *installed : memory;
}

void SetSystemClipboard(IClipboard* clipboard) { installed = clipboard; }

}  // namespace pv::clipboard
