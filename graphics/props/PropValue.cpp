#include "props/PropValue.h"

#include <charconv>

namespace pv::graphics {

bool ParseDecimal(std::string_view text, int64_t low, int64_t high, int64_t& value) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  int64_t v = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  if (v < low || v > high) return false;
  value = v;
  return true;
}

namespace {

[[noreturn]] void Fail(const std::string& text, const char* what) {
  throw EConvertError("'" + text + "' is not a valid " + what + " value");
}

int64_t ToNumber(const PropValue& v, int64_t low, int64_t high, const char* what) {
  int64_t n = 0;
  switch (v.GetKind()) {
    case PropValue::Kind::Empty: return 0;
    case PropValue::Kind::Integer: n = v.ToInteger(); break;
    case PropValue::Kind::LongWord: n = v.ToLongWord(); break;
    case PropValue::Kind::Boolean: n = v.ToBoolean() ? 1 : 0; break;
    case PropValue::Kind::String:
      if (!ParseDecimal(v.AsString(), low, high, n)) Fail(v.AsString(), what);
      return n;
    default: throw EConvertError(std::string("Could not convert a list to ") + what);
  }
  if (n < low || n > high) Fail(std::to_string(n), what);
  return n;
}

}  // namespace

int32_t PropValue::ToInteger() const {
  if (data_.index() == 1) return std::get<1>(data_);
  return static_cast<int32_t>(ToNumber(*this, INT32_MIN, INT32_MAX, "integer"));
}

uint32_t PropValue::ToLongWord() const {
  if (data_.index() == 2) return std::get<2>(data_);
  if (data_.index() == 1) return static_cast<uint32_t>(std::get<1>(data_));
  return static_cast<uint32_t>(ToNumber(*this, INT32_MIN, UINT32_MAX, "longword"));
}

bool PropValue::ToBoolean() const {
  switch (GetKind()) {
    case Kind::Boolean: return std::get<6>(data_);
    case Kind::Empty: return false;
    case Kind::String: {
      const std::string& s = AsString();
      if (s.size() == 4 && (s[0] | 32) == 't' && (s[1] | 32) == 'r' && (s[2] | 32) == 'u' && (s[3] | 32) == 'e') return true;
      if (s.size() == 5 && (s[0] | 32) == 'f' && (s[1] | 32) == 'a' && (s[2] | 32) == 'l' && (s[3] | 32) == 's' &&
          (s[4] | 32) == 'e')
        return false;
      return ToInteger() != 0;
    }
    default: return ToInteger() != 0;
  }
}

std::string PropValue::ToString() const {
  switch (GetKind()) {
    case Kind::Empty: return {};
    case Kind::Integer: return std::to_string(std::get<1>(data_));
    case Kind::LongWord: return std::to_string(std::get<2>(data_));
    case Kind::String: return AsString();
    case Kind::Boolean: return std::get<6>(data_) ? "True" : "False";
    case Kind::StringArray: {
      std::string text;
      for (size_t i = 0; i < AsStringArray().size(); ++i) {
        if (i > 0) text += "\r\n";
        text += AsStringArray()[i];
      }
      return text;
    }
    case Kind::Bytes: break;
  }
  throw EConvertError("Could not convert binary data to a string");
}

std::vector<std::string> PropValue::ToStringArray() const {
  if (IsEmpty()) return {};
  if (GetKind() == Kind::StringArray) return AsStringArray();
  return {ToString()};
}

}  // namespace pv::graphics
