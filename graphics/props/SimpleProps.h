#pragma once
// The simple property classes: enumerations, booleans, integers, longwords, strings, string
// lists, user data lines and binary data. Every setter leaves an unchanged value and a
// read-only property alone; else before-change (which records undo), store, changed.

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "props/Prop.h"

namespace pv::graphics {

// An index into a table of names, shown and set by name.
class TCustomEnumProp : public TCustomProp {
 public:
  TCustomEnumProp() { SetHasValueList(true); }

  virtual const std::vector<std::string>& Names() const = 0;
  uint8_t GetEnumIndex() const { return index_; }
  // No range check: callers pass valid indexes.
  virtual void SetEnumIndex(uint8_t index);

  std::string GetDisplayValue() const override;
  PropValue GetPropValue(std::string_view name) const override;
  void SetPropValue(std::string_view name, const PropValue& value) override;
  void GetEnumList(std::vector<std::string>& names) const override;

 private:
  uint8_t index_ = 0;
};

class TEnumProp : public TCustomEnumProp {
 public:
  // names: a table shared by every property of the class (it must outlive them); AddName
  // gives the property a table of its own.
  explicit TEnumProp(const std::vector<std::string>* names = nullptr) : names_(names) {}
  ~TEnumProp() override;
  const char* ClassName() const override { return "TEnumProp"; }

  void AddName(const std::string& name);
  const std::vector<std::string>& Names() const override;

 private:
  // Set once AddName gave the property a table of its own (names_ then points to it). A flag
  // rather than a second pointer: the shared table is the rule.
  bool ownsNames_ = false;
  const std::vector<std::string>* names_;
};

// Its table is always "False", "True": no pointer to it in every property, as a control has
// several of these.
class TBoolProp : public TCustomEnumProp {
 public:
  const char* ClassName() const override { return "TBoolProp"; }
  const std::vector<std::string>& Names() const override;
  bool GetValue() const { return GetEnumIndex() != 0; }
  void SetValue(bool value) { SetEnumIndex(value ? 1 : 0); }
};

class TIntProp : public TCustomProp {
 public:
  TIntProp() = default;
  ~TIntProp() override;
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

 protected:
  // For TMirrorIntProp, which holds its mirror itself.
  explicit TIntProp(bool mirrorsInside) : mirrorsInside_(mirrorsInside) {}

 private:
  // Few integers are hooked (an ellipse's angles mirror fields of the control, a layer's
  // size follows the document's): their hooks are kept apart, so that every other integer
  // of a document of many controls stays small. The mirrors, two in every ellipse, only need
  // a pointer: they have a table of their own with small entries.
  static std::unordered_map<const TIntProp*, int32_t*>& AllExternals();
  static std::unordered_map<const TIntProp*, std::function<int32_t()>>& AllGetters();
  // The integer this one mirrors; none when it mirrors none.
  int32_t* External() const;

  int32_t value_ = 0;
  // A TMirrorIntProp: the mirror is in the property, not in the table.
  bool mirrorsInside_ = false;
};

// An integer that mirrors one of its control's (an ellipse's angles) and holds the pointer to
// it: a drawing holds ellipses by the ten thousand, and an entry in the table kept apart
// costs more than the pointer. Reads, writes and shows itself as a TIntProp.
class TMirrorIntProp final : public TIntProp {
 public:
  TMirrorIntProp() : TIntProp(true) {}

 private:
  friend class TIntProp;
  int32_t* external_ = nullptr;
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

// A text read and set through GetValue and SetValue, wherever it is kept.
class TCustomStrProp : public TCustomProp {
 public:
  virtual void SetValue(const std::string& text) = 0;
  virtual std::string GetValue() const = 0;

  std::string GetDisplayValue() const override { return GetValue(); }
  PropValue GetPropValue(std::string_view name) const override;
  void SetPropValue(std::string_view name, const PropValue& value) override;
};

class TStrProp : public TCustomStrProp {
 public:
  TStrProp() = default;
  ~TStrProp() override;
  const char* ClassName() const override { return "TStrProp"; }

  void SetValue(const std::string& text) override;
  std::string GetValue() const override;
  void SetOnGetValue(std::function<std::string()> onGetValue);

 private:
  // A text and the number of properties that hold it.
  using TSharedText = std::pair<const std::string, uint32_t>;
  static const TSharedText* Share(const std::string& text);
  static void Unshare(const TSharedText* text);
  static std::unordered_map<const TStrProp*, std::function<std::string()>>& AllGetters();
  const std::string& StoredText() const;

  // Held once for all the properties that hold the same text (every line of a converted
  // drawing is named "LINE"); none for the empty text. A function that gives the value
  // instead is rare: it is kept apart (see AllGetters).
  const TSharedText* text_ = nullptr;
};

class TStrListProp : public TCustomProp {
 public:
  TStrListProp() { SetKind(TPropKind::StringList); }
  const char* ClassName() const override { return "TStrListProp"; }

  int GetCount() const { return lines_ ? static_cast<int>(lines_->size()) : 0; }
  const std::vector<std::string>& Lines() const;
  // The lines joined by CR LF, without a final one.
  std::string GetText() const;
  // Splits at CR LF, LF CR, CR or LF; fires the notifications even for an unchanged text.
  void SetText(const std::string& text);

  std::string GetDisplayValue() const override { return "(Text)"; }
  PropValue GetPropValue(std::string_view name) const override;
  void SetPropValue(std::string_view name, const PropValue& value) override;

 private:
  void SetLines(std::vector<std::string> lines) {
    lines_ = lines.empty() ? nullptr : std::make_unique<std::vector<std::string>>(std::move(lines));
  }

  // Made when the first line comes: every control has two of these lists and few have a line.
  std::unique_ptr<std::vector<std::string>> lines_;
};

// A control's free lines of user data.
class TUserDataProp : public TStrListProp {
 public:
  const char* ClassName() const override { return "TUserDataProp"; }
};

// Binary data a control keeps in its own form (a curve's points): the property reads and
// writes it through the control.
class TCustomDataProp : public TCustomProp {
 public:
  TCustomDataProp() { SetKind(TPropKind::Binary); }
  const char* ClassName() const override { return "TDataProp"; }

  std::string GetDisplayValue() const override { return "(Data)"; }
  PropValue GetPropValue(std::string_view name) const override;
  void SetPropValue(std::string_view name, const PropValue& value) override;

 protected:
  virtual PropValue GetData() const = 0;
  virtual void SetData(const PropValue& value) = 0;
};

// Data read and written by two functions (none: empty, and nothing written).
class TDataProp : public TCustomDataProp {
 public:
  std::function<PropValue()> OnGetData;
  std::function<void(const PropValue&)> OnSetData;

 protected:
  PropValue GetData() const override { return OnGetData ? OnGetData() : PropValue(); }
  void SetData(const PropValue& value) override {
    if (OnSetData) OnSetData(value);
  }
};

// Data read and written by two member functions of the control (Get none: always empty): a
// reference instead of two function objects, as every curve has two of these.
template <class Owner, PropValue (Owner::*Get)() const, void (Owner::*Set)(const PropValue&)>
class TMemberDataProp final : public TCustomDataProp {
 public:
  explicit TMemberDataProp(Owner& owner) : owner_(owner) {}

 protected:
  PropValue GetData() const override {
    if constexpr (Get == nullptr) {
      return PropValue();
    } else {
      return (owner_.*Get)();
    }
  }
  void SetData(const PropValue& value) override { (owner_.*Set)(value); }

 private:
  Owner& owner_;
};

// round(number x 1000) of a decimal text (12.3456 -> 12346, halves to even); EConvertError
// for a text that is not a number or a result outside [low, high].
int64_t ParseThousandths(const std::string& text, int64_t low, int64_t high);
// value / 1000 with three decimals.
std::string FormatThousandths(int64_t value);

}  // namespace pv::graphics
