#pragma once
// Property classes for tests: a brush-like property with published sub-properties (a
// colour, a style by identifier name, binary data, a nested font object), and a recorder
// of the notifications a list sends.

#include <string>
#include <vector>

#include "props/PropList.h"
#include "props/SimpleProps.h"

namespace pv::graphics::test {

class TTestFontProp : public TCustomProp {
 public:
  TTestFontProp() { SetKind(TPropKind::SubProperties); }
  const char* ClassName() const override { return "TTestFontProp"; }
  int PublishedCount() const override { return 2; }
  TPublishedInfo PublishedInfo(int i) const override {
    return i == 0 ? TPublishedInfo{"Name", TPropKind::Plain} : TPublishedInfo{"Size", TPropKind::Plain};
  }
  PropValue GetPublished(int i) const override {
    return i == 0 ? PropValue::String(name) : PropValue::Integer(size);
  }
  void SetPublished(int i, const PropValue& v) override {
    if (i == 0) {
      name = v.ToString();
    } else {
      size = v.ToInteger();
    }
  }
  // Stored only when not the default.
  bool PublishedStored(int i) const override { return i == 0 ? name != "Arial" : size != 8; }

  std::string name = "Arial";
  int32_t size = 8;
};

class TTestBrushProp : public TCustomProp {
 public:
  TTestBrushProp() { SetKind(TPropKind::SubProperties); }
  const char* ClassName() const override { return "TTestBrushProp"; }
  int PublishedCount() const override { return 4; }
  TPublishedInfo PublishedInfo(int i) const override {
    static const TPublishedInfo infos[] = {{"Bitmap", TPropKind::Binary},
                                           {"Color", TPropKind::Plain},
                                           {"Font", TPropKind::SubProperties},
                                           {"Style", TPropKind::Plain}};
    return infos[i];
  }
  PropValue GetPublished(int i) const override {
    switch (i) {
      case 0: return bitmap.empty() ? PropValue() : PropValue::Bytes(bitmap);
      case 1: return PropValue::Integer(color);
      case 3: return PropValue::String(style);
      default: return {};
    }
  }
  void SetPublished(int i, const PropValue& v) override {
    if (IsReadOnly()) return;
    DoBeforeChanged();
    if (i == 0) bitmap = v.IsEmpty() ? std::vector<uint8_t>() : v.AsBytes();
    if (i == 1) color = v.ToInteger();
    if (i == 3) style = v.ToString();
    DoChanged();
  }
  // Colour stored when not black, style when not bsSolid, bitmap when present.
  bool PublishedStored(int i) const override {
    switch (i) {
      case 0: return !bitmap.empty();
      case 1: return color != 0;
      case 3: return style != "bsSolid";
      default: return true;
    }
  }
  TCustomProp* PublishedObject(int i) override { return i == 2 ? &font : nullptr; }

  std::vector<uint8_t> bitmap;
  int32_t color = 0;
  std::string style = "bsSolid";
  TTestFontProp font;
};

// Notes every event of a list as "before Name" / "changed Name".
class TEventLog : public TPropListEvents {
 public:
  void PropBeforeChanged(TPropList&, TCustomProp& prop) override { log.push_back("before " + std::string(prop.Name())); }
  void PropChanged(TPropList&, TCustomProp& prop) override { log.push_back("changed " + std::string(prop.Name())); }
  void PropReadOnly(TPropList&, TCustomProp& prop, bool& readOnly) override {
    if (prop.Name() == lockedName) readOnly = true;
  }
  void PropStored(TPropList&, TCustomProp& prop, std::string_view subName, bool& stored) override {
    if (subName.empty() && prop.Name() == hiddenName) stored = false;
  }
  std::vector<std::string> log;
  std::string lockedName;
  std::string hiddenName;
};

}  // namespace pv::graphics::test
