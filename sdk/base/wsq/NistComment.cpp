#include "wsq/NistComment.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "wsq/WsqCodec.h"

namespace vela::wsq {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Integer(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  return text;
}

}  // namespace

bool IsNistComment(std::string_view text) { return text.substr(0, kNistComTag.size()) == kNistComTag; }

int NistComment::Parse(std::string_view text) {
  fields.clear();
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.empty()) continue;
    size_t nameEnd = 0;
    while (nameEnd < line.size() && !IsBlank(line[nameEnd])) ++nameEnd;
    size_t valueStart = nameEnd;
    while (valueStart < line.size() && IsBlank(line[valueStart])) ++valueStart;
    const std::string_view name = line.substr(0, nameEnd);
    const std::string_view value = line.substr(valueStart);
    if (name.size() > kMaxNistFieldLength || value.size() > kMaxNistFieldLength)
      return kNistFieldTooLong;
    fields.emplace_back(std::string(name), std::string(value));
  }
  return kOk;
}

void NistComment::Set(std::string_view name, std::string value) {
  for (auto& field : fields)
    if (field.first == name) {
      field.second = std::move(value);
      return;
    }
  fields.emplace_back(std::string(name), std::move(value));
}

const std::string* NistComment::Find(std::string_view name) const {
  for (const auto& field : fields)
    if (field.first == name) return &field.second;
  return nullptr;
}

std::string NistComment::Text() const {
  std::string text;
  for (const auto& [name, value] : fields) {
    if (!text.empty()) text += '\n';
    text += name;
    text += ' ';
    text += value;
  }
  return text;
}

int WriteNistComment(const char* given, int width, int height, int ppi, double bitrate,
                     std::string& text) {
  NistComment comment;
  if (given && IsNistComment(given)) {
    if (const int status = comment.Parse(given); status != kOk) return status;
  } else {
    comment.Set(kNistComTag, "6");
  }
  comment.Set("PIX_WIDTH", Integer(width));
  comment.Set("PIX_HEIGHT", Integer(height));
  comment.Set("PIX_DEPTH", "8");
  comment.Set("PPI", Integer(ppi));
  comment.Set("LOSSY", "1");
  comment.Set(kNistComTag, Integer(static_cast<int>(comment.Count())));
  comment.Set("COLORSPACE", "GRAY");
  comment.Set("COMPRESSION", "WSQ");
  char rate[64];
  std::snprintf(rate, sizeof rate, "%f", bitrate);
  comment.Set("WSQ_BITRATE", rate);
  comment.Set(kNistComTag, Integer(static_cast<int>(comment.Count())));
  text = comment.Text();
  return kOk;
}

int PpiFromNistComment(std::string_view text) {
  NistComment comment;
  if (comment.Parse(text) != kOk) return kDefaultPpi;
  const std::string* value = comment.Find("PPI");
  if (!value) return kDefaultPpi;
  const long ppi = std::strtol(value->c_str(), nullptr, 10);
  return ppi < 1 || ppi > INT32_MAX ? kDefaultPpi : static_cast<int>(ppi);
}

}  // namespace vela::wsq
