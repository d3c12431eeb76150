#pragma once
// The simple property classes: enumerations, booleans, integers, longwords, strings, string
// lists, user data lines and binary data. Every setter leaves an unchanged value and a
// read-only property alone; else before-change (which records undo), store, changed.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "props/Prop.h"

namespace pv::graphics {

class TEnumProp : public TCustomProp {
 public:
  // names: a table shared by every property of the class (it must outlive them); AddName
  // gives the property a table of its own.
  explicit TEnumProp(const std::vector<std::string>* names = nullptr);
  ~TEnumProp() override;
  const char* ClassName() const override { return "TEnumProp"; }

  void AddName(const std::string& name);
  const std::vector<std::string>& Names() const;
  uint8_t GetEnumIndex() const { return index_; }
  // No range check: callers pass valid indexes.
  virtual void SetEnumIndex(uint8_t index);

  std::string GetDisplayValue() const override;
  PropValue GetPropValue(std::string_view name) const override;
  void SetPropValue(std::string_view name, const PropValue& value) override;
  void GetEnumList(std::vector<std::string>& names) const override;

 private:
  uint8_t index_ = 0;
  // Set once AddName gave the property a table of its own (names_ then points to it). A flag
  // rather than a second pointer: the shared table is the rule, and a boolean property is
  // then small enough for the allocator's next smaller block.
  bool ownsNames_ = false;
  const std::vector<std::string>* names_;
};

class TBoolProp : public TEnumProp {
 public:
  TBoolProp();
  const char* ClassName() const override { return "TBoolProp"; }
  bool GetValue() const { return GetEnumIndex() != 0; }
  void SetValue(bool value) { SetEnumIndex(value ? 1 : 0); }
};

class TIntProp : public TCustomProp {
 public:
  const char* ClassName() const override { return "TIntProp"; }

  int32_t GetValue() const;
  void SetValue(int32_t value);
  // An integer of the control that mirrors the value (none to stop).
  void SetExternal(int32_t* external);
  void SetOnGetValue(std::function<int32_t()> onGetValue);

  std::string GetDisplayValue() const override;
  void SetDisplayValue(const std::string& text) override;
  PropValue GetPropValue(std::string_view name) const override;
  void SetPropValue(std::string_view name, const PropValue& value) override;

 private:
  struct Hooks {
    int32_t* external = nullptr;
    std::function<int32_t()> onGetValue;
  };
  Hooks& EnsureHooks();

  int32_t value_ = 0;
  std::unique_ptr<Hooks> hooks_;
};

class TLongWordProp : public TCustomProp {
 public:
  const char* ClassName() const override { return "TLongWordProp"; }

  uint32_t GetValue() const { return value_; }
  void SetValue(uint32_t value);

  std::string GetDisplayValue() const override;
  void SetDisplayValue(const std::string& text) override;
  PropValue GetPropValue(std::string_view name) const override;
  void SetPropValue(std::string_view name, const PropValue& value) override;

 private:
  uint32_t value_ = 0;
};

class TStrProp : public TCustomProp {
 public:
  const char* ClassName() const override { return "TStrProp"; }

  virtual void SetValue(const std::string& text);
  virtual std::string GetValue() const;
  void SetOnGetValue(std::function<std::string()> onGetValue);

  std::string GetDisplayValue() const override { return GetValue(); }
  PropValue GetPropValue(std::string_view name) const override;
  void SetPropValue(std::string_view name, const PropValue& value) override;

 private:
  std::string text_;
  std::unique_ptr<std::function<std::string()>> onGetValue_;
};

class TStrListProp : public TCustomProp {
 public:
  TStrListProp() { SetKind(TPropKind::StringList); }
  const char* ClassName() const override { return "TStrListProp"; }

  int GetCount() const { return static_cast<int>(lines_.size()); }
  const std::vector<std::string>& Lines() const { return lines_; }
  // The lines joined by CR LF, without a final one.
  std::string GetText() const;
  // Splits at CR LF, LF CR, CR or LF; fires the notifications even for an unchanged text.
  void SetText(const std::string& text);

  std::string GetDisplayValue() const override { return "(Text)"; }
  PropValue GetPropValue(std::string_view name) const override;
  void SetPropValue(std::string_view name, const PropValue& value) override;

 private:
  std::vector<std::string> lines_;
};

// A control's free lines of user data.
class TUserDataProp : public TStrListProp {
 public:
  const char* ClassName() const override { return "TUserDataProp"; }
};

class TDataProp : public TCustomProp {
 public:
  TDataProp() { SetKind(TPropKind::Binary); }
  const char* ClassName() const override { return "TDataProp"; }

  std::function<PropValue()> OnGetData;
  std::function<void(const PropValue&)> OnSetData;

  std::string GetDisplayValue() const override { return "(Data)"; }
  PropValue GetPropValue(std::string_view name) const override;
  void SetPropValue(std::string_view name, const PropValue& value) override;
};

// round(number x 1000) of a decimal text (12.3456 -> 12346, halves to even); EConvertError
// for a text that is not a number or a result outside [low, high].
int64_t ParseThousandths(const std::string& text, int64_t low, int64_t high);
// value / 1000 with three decimals.
std::string FormatThousandths(int64_t value);

}  // namespace pv::graphics
