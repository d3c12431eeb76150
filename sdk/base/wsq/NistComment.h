// The NISTCOM comment: "NIST_COM" followed by lines of a name, a blank and a
// value, which carry an image's attributes inside a WSQ file.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vela::wsq {

inline constexpr std::string_view kNistComTag = "NIST_COM";
// Names and values longer than this fail the parse.
inline constexpr size_t kMaxNistFieldLength = 511;

bool IsNistComment(std::string_view text);

// The fields of a NISTCOM text in their order.
class NistComment {
 public:
  // kOk, or kNistFieldTooLong. Blanks and tabs between a name and its value
  // are skipped; a line without a value has an empty one.
  int Parse(std::string_view text);

  // Replaces the field's value where it stands, or appends the field.
  void Set(std::string_view name, std::string value);
  // The value of the first field of that name, or null.
  const std::string* Find(std::string_view name) const;
  size_t Count() const { return fields.size(); }

  // The lines "name value" joined by single newlines, no final newline.
  std::string Text() const;

 private:
  std::vector<std::pair<std::string, std::string>> fields;
};

// The NISTCOM text the encoder writes: the given NISTCOM text with its fields
// brought up to date, or a fresh list when given is null or not a NISTCOM
// text. kOk or the parse's failure.
int WriteNistComment(const char* given, int width, int height, int ppi, double bitrate,
                     std::string& text);

// The integer value of "PPI", or kDefaultPpi when it is missing or below 1.
int PpiFromNistComment(std::string_view text);

}  // namespace vela::wsq
