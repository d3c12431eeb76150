#include "props/SimpleProps.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>

#include "base/TextHelpers.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

int64_t ParseThousandths(const std::string& text, int64_t low, int64_t high) {
  const std::string trimmed(TrimBlanks(text));
  char* end = nullptr;
  errno = 0;
  const double number = trimmed.empty() ? 0.0 : std::strtod(trimmed.c_str(), &end);
  if (trimmed.empty() || end != trimmed.c_str() + trimmed.size() || errno == ERANGE || !std::isfinite(number)) {
    throw EConvertError("'" + text + "' is not a valid floating point value");
  }
  const double scaled = winmath::RoundHalfEvenValue(number * 1000.0);
  if (scaled < static_cast<double>(low) || scaled > static_cast<double>(high)) {
    throw EConvertError("'" + text + "' is out of range");
  }
  return static_cast<int64_t>(scaled);
}

std::string FormatThousandths(int64_t value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.3f", static_cast<double>(value) / 1000.0);
  return buffer;
}

// --- TEnumProp

TEnumProp::~TEnumProp() {
  if (ownsNames_) delete names_;
}

const std::vector<std::string>& TEnumProp::Names() const {
  static const std::vector<std::string> none;
  return names_ ? *names_ : none;
}

void TEnumProp::AddName(const std::string& name) {
  if (!ownsNames_) {
    names_ = new std::vector<std::string>(Names());
    ownsNames_ = true;
  }
  const_cast<std::vector<std::string>*>(names_)->push_back(name);
}

void TCustomEnumProp::SetEnumIndex(uint8_t index) { ChangeValue(index_, index); }

std::string TCustomEnumProp::GetDisplayValue() const {
  const auto& names = Names();
  return index_ < names.size() ? names[index_] : std::string();
}

PropValue TCustomEnumProp::GetPropValue(std::string_view name) const {
  if (!name.empty()) return TCustomProp::GetPropValue(name);
  return PropValue::String(GetDisplayValue());
}

void TCustomEnumProp::SetPropValue(std::string_view name, const PropValue& value) {
  if (!name.empty()) return TCustomProp::SetPropValue(name, value);
  const std::string text = value.ToString();
  const auto& names = Names();
  for (size_t i = 0; i < names.size() && i < 256; ++i) {
    if (SameName(names[i], text)) {
      SetEnumIndex(static_cast<uint8_t>(i));
      return;
    }
  }
}

void TCustomEnumProp::GetEnumList(std::vector<std::string>& names) const { names = Names(); }

const std::vector<std::string>& TBoolProp::Names() const {
  static const std::vector<std::string> names{"False", "True"};
  return names;
}

// --- TIntProp

// The library runs on one thread.
std::unordered_map<const TIntProp*, int32_t*>& TIntProp::AllExternals() {
  static std::unordered_map<const TIntProp*, int32_t*> externals;
  return externals;
}

std::unordered_map<const TIntProp*, std::function<int32_t()>>& TIntProp::AllGetters() {
  static std::unordered_map<const TIntProp*, std::function<int32_t()>> getters;
  return getters;
}

TIntProp::~TIntProp() {
  if (!Hooked()) return;
  AllExternals().erase(this);
  AllGetters().erase(this);
}

int32_t* TIntProp::External() const {
  if (mirrorsInside_) return static_cast<const TMirrorIntProp*>(this)->external_;
  if (!Hooked()) return nullptr;
  const auto& externals = AllExternals();
  const auto found = externals.find(this);
  return found != externals.end() ? found->second : nullptr;
}

void TIntProp::SetExternal(int32_t* external) {
  if (mirrorsInside_) {
    static_cast<TMirrorIntProp*>(this)->external_ = external;
    return;
  }
  SetHooked(true);
  AllExternals()[this] = external;
}

void TIntProp::SetOnGetValue(std::function<int32_t()> onGetValue) {
  SetHooked(true);
  AllGetters()[this] = std::move(onGetValue);
}

int32_t TIntProp::GetValue() const {
  if (Hooked()) {
    const auto& getters = AllGetters();
    if (const auto found = getters.find(this); found != getters.end() && found->second) return found->second();
  }
  if (int32_t* external = External()) return *external;
  return value_;
}

void TIntProp::SetValue(int32_t value) {
  int32_t* external = External();
  const int32_t current = external ? *external : value_;
  if (value == current || IsReadOnly()) return;
  DoBeforeChanged();
  if (external) *external = value;
  value_ = value;
  DoChanged();
}

std::string TIntProp::GetDisplayValue() const {
  return HasFlag(pfThousandths) ? FormatThousandths(GetValue()) : std::to_string(GetValue());
}

void TIntProp::SetDisplayValue(const std::string& text) {
  if (!HasFlag(pfThousandths)) return TCustomProp::SetDisplayValue(text);
  SetValue(static_cast<int32_t>(ParseThousandths(text, INT32_MIN, INT32_MAX)));
}

PropValue TIntProp::GetPropValue(std::string_view name) const {
  if (!name.empty()) return TCustomProp::GetPropValue(name);
  return PropValue::Integer(GetValue());
}

void TIntProp::SetPropValue(std::string_view name, const PropValue& value) {
  if (!name.empty()) return TCustomProp::SetPropValue(name, value);
  SetValue(value.ToInteger());
}

// --- TLongWordProp

void TLongWordProp::SetValue(uint32_t value) { ChangeValue(value_, value); }

std::string TLongWordProp::GetDisplayValue() const {
  return HasFlag(pfThousandths) ? FormatThousandths(value_) : std::to_string(value_);
}

void TLongWordProp::SetDisplayValue(const std::string& text) {
  if (!HasFlag(pfThousandths)) return TCustomProp::SetDisplayValue(text);
  SetValue(static_cast<uint32_t>(ParseThousandths(text, 0, UINT32_MAX)));
}

PropValue TLongWordProp::GetPropValue(std::string_view name) const {
  if (!name.empty()) return TCustomProp::GetPropValue(name);
  return PropValue::LongWord(value_);
}

void TLongWordProp::SetPropValue(std::string_view name, const PropValue& value) {
  if (!name.empty()) return TCustomProp::SetPropValue(name, value);
  SetValue(value.ToLongWord());
}

// --- TStrProp

namespace {

// Every text that a string property holds, with the number of its holders (the library runs
// on one thread). Never destroyed: properties of static objects may outlive any static here.
std::unordered_map<std::string, uint32_t>& SharedTexts() {
  static auto* texts = new std::unordered_map<std::string, uint32_t>();
  return *texts;
}

}  // namespace

const TStrProp::TSharedText* TStrProp::Share(const std::string& text) {
  if (text.empty()) return nullptr;
  auto& texts = SharedTexts();
  auto found = texts.find(text);
  if (found == texts.end()) found = texts.emplace(text, 0).first;
  ++found->second;
  return &*found;
}

void TStrProp::Unshare(const TSharedText* text) {
  if (!text) return;
  auto& texts = SharedTexts();
  const auto found = texts.find(text->first);
  if (--found->second == 0) texts.erase(found);
}

std::unordered_map<const TStrProp*, std::function<std::string()>>& TStrProp::AllGetters() {
  static std::unordered_map<const TStrProp*, std::function<std::string()>> getters;
  return getters;
}

TStrProp::~TStrProp() {
  Unshare(text_);
  if (Hooked()) AllGetters().erase(this);
}

const std::string& TStrProp::StoredText() const {
  static const std::string empty;
  return text_ ? text_->first : empty;
}

void TStrProp::SetOnGetValue(std::function<std::string()> onGetValue) {
  if (onGetValue) {
    AllGetters()[this] = std::move(onGetValue);
    SetHooked(true);
  } else if (Hooked()) {
    AllGetters().erase(this);
    SetHooked(false);
  }
}

std::string TStrProp::GetValue() const { return Hooked() ? AllGetters().find(this)->second() : StoredText(); }

void TStrProp::SetValue(const std::string& text) {
  if (StoredText() == text || IsReadOnly()) return;
  DoBeforeChanged();
  // Shared before the old text is let go: text may be that very text.
  const TSharedText* shared = Share(text);
  Unshare(text_);
  text_ = shared;
  DoChanged();
}

PropValue TCustomStrProp::GetPropValue(std::string_view name) const {
  if (!name.empty()) return TCustomProp::GetPropValue(name);
  return PropValue::String(GetValue());
}

void TCustomStrProp::SetPropValue(std::string_view name, const PropValue& value) {
  if (!name.empty()) return TCustomProp::SetPropValue(name, value);
  SetValue(value.ToString());
}

// --- TStrListProp

const std::vector<std::string>& TStrListProp::Lines() const {
  static const std::vector<std::string> none;
  return lines_ ? *lines_ : none;
}

std::string TStrListProp::GetText() const { return PropValue::StringArray(Lines()).ToString(); }

void TStrListProp::SetText(const std::string& text) {
  if (IsReadOnly()) return;
  DoBeforeChanged();
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t stop = text.find_first_of("\r\n", start);
    if (stop == std::string::npos) stop = text.size();
    lines.push_back(text.substr(start, stop - start));
    start = stop;
    if (start < text.size()) {
      const char first = text[start++];
      if (start < text.size() && (text[start] == '\r' || text[start] == '\n') && text[start] != first) ++start;
    }
  }
  SetLines(std::move(lines));
  DoChanged();
}

PropValue TStrListProp::GetPropValue(std::string_view name) const {
  if (!name.empty()) return TCustomProp::GetPropValue(name);
  if (GetCount() == 0) return {};
  return PropValue::StringArray(*lines_);
}

void TStrListProp::SetPropValue(std::string_view name, const PropValue& value) {
  if (!name.empty()) return TCustomProp::SetPropValue(name, value);
  if (value.IsEmpty()) return SetText({});
  if (value.GetKind() != PropValue::Kind::StringArray || IsReadOnly()) return;
  DoBeforeChanged();
  SetLines(value.AsStringArray());
  DoChanged();
}

// --- TDataProp

PropValue TCustomDataProp::GetPropValue(std::string_view name) const {
  if (!name.empty()) return TCustomProp::GetPropValue(name);
  return GetData();
}

void TCustomDataProp::SetPropValue(std::string_view name, const PropValue& value) {
  if (!name.empty()) return TCustomProp::SetPropValue(name, value);
  SetData(value);
}

}  // namespace pv::graphics
