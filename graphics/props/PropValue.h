#pragma once
// The tagged value that property values cross the framework as.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pv::graphics {

// A value that can't be converted to what a property holds.
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class PropValue {
 public:
  enum class Kind : uint8_t { Empty, Integer, LongWord, String, StringArray, Bytes, Boolean };

  PropValue() = default;
  static PropValue Integer(int32_t v) { return PropValue(Data(std::in_place_index<1>, v)); }
  static PropValue LongWord(uint32_t v) { return PropValue(Data(std::in_place_index<2>, v)); }
  static PropValue String(std::string v) { return PropValue(Data(std::in_place_index<3>, std::move(v))); }
  static PropValue StringArray(std::vector<std::string> v) {
    return PropValue(Data(std::in_place_index<4>, std::move(v)));
  }
  static PropValue Bytes(std::vector<uint8_t> v) { return PropValue(Data(std::in_place_index<5>, std::move(v))); }
  static PropValue Boolean(bool v) { return PropValue(Data(std::in_place_index<6>, v)); }

  Kind GetKind() const { return static_cast<Kind>(data_.index()); }
  bool IsEmpty() const { return data_.index() == 0; }

  // Conversions by the usual rules; EConvertError when the value does not fit.
  int32_t ToInteger() const;
  // Any number from -2^31 to 2^32 - 1, kept as its low 32 bits.
  uint32_t ToLongWord() const;
  bool ToBoolean() const;
  // Integers in decimal, booleans as False/True, a string array as its lines joined by CR LF.
  std::string ToString() const;
  // Empty for Empty; one item for a plain value.
  std::vector<std::string> ToStringArray() const;

  const std::vector<std::string>& AsStringArray() const { return std::get<4>(data_); }
  const std::vector<uint8_t>& AsBytes() const { return std::get<5>(data_); }
  const std::string& AsString() const { return std::get<3>(data_); }

  friend bool operator==(const PropValue&, const PropValue&) = default;

 private:
  using Data = std::variant<std::monostate, int32_t, uint32_t, std::string, std::vector<std::string>,
                            std::vector<uint8_t>, bool>;
  explicit PropValue(Data data) : data_(std::move(data)) {}
  Data data_;
};

// A whole decimal number, sign allowed, nothing else around it; false when text is not one
// or lies outside [low, high].
bool ParseDecimal(std::string_view text, int64_t low, int64_t high, int64_t& value);

}  // namespace pv::graphics
