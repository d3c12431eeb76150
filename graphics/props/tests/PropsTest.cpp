// The simple property classes: conversions, the change protocol, display texts.

#include <gtest/gtest.h>

#include "props/PropList.h"
#include "props/SimpleProps.h"
#include "props/tests/TestProps.h"

namespace pv::graphics {
namespace {

using test::TEventLog;

TEST(PropValue, Conversions) {
  EXPECT_EQ(PropValue::String("-17").ToInteger(), -17);
  EXPECT_EQ(PropValue::String("2147483647").ToInteger(), INT32_MAX);
  EXPECT_EQ(PropValue::String("4294967295").ToLongWord(), 4294967295u);
  EXPECT_EQ(PropValue::String("-1").ToLongWord(), 4294967295u);
  EXPECT_EQ(PropValue::LongWord(7).ToString(), "7");
  EXPECT_EQ(PropValue::Boolean(true).ToString(), "True");
  EXPECT_EQ(PropValue::StringArray({"a", "b"}).ToString(), "a\r\nb");
  EXPECT_TRUE(PropValue::String("true").ToBoolean());
  EXPECT_EQ(PropValue().ToInteger(), 0);
  for (const char* bad : {"2147483648", "12x", "", " 5", "0x10", "1e3"}) {
    EXPECT_THROW(PropValue::String(bad).ToInteger(), EConvertError) << bad;
  }
  for (const char* bad : {"4294967296", "-2147483649"}) {
    EXPECT_THROW(PropValue::String(bad).ToLongWord(), EConvertError) << bad;
  }
  EXPECT_THROW(PropValue::LongWord(4294967295u).ToInteger(), EConvertError);
  EXPECT_THROW(PropValue::Bytes({1}).ToString(), EConvertError);
}

class PropsTest : public ::testing::Test {
 protected:
  void SetUp() override { list.SetEvents(&events); }
  TEventLog events;
  TPropList list;
};

TEST_F(PropsTest, AnUnchangedValueFiresNothing) {
  TIntProp* left = list.Create<TIntProp>("Left");
  left->SetValue(0);
  EXPECT_TRUE(events.log.empty());
  left->SetValue(5);
  EXPECT_EQ(events.log, (std::vector<std::string>{"before Left", "changed Left"}));
  left->SetPropValue({}, PropValue::String("5"));
  EXPECT_EQ(events.log.size(), 2u);
}

// Equal texts are held once for all the properties that hold them (every line of a converted
// drawing is named "LINE"): a change of one leaves the others as they were, the last holder
// letting a text go does not disturb a later holder of it, and a function that gives the
// value stands in front of the held text until it is taken away.
TEST_F(PropsTest, EqualTextsHeldOnceStayApartWhenOneChanges) {
  std::vector<TStrProp*> names;
  for (const char* name : {"A", "B", "C"}) {
    names.push_back(list.Create<TStrProp>(name));
    names.back()->SetValue("LINE");
  }
  events.log.clear();
  names[0]->SetValue(std::string("LI") + "NE");
  EXPECT_TRUE(events.log.empty()) << "an equal text is no change";
  names[1]->SetValue("ARC");
  EXPECT_EQ(events.log, (std::vector<std::string>{"before B", "changed B"}));
  EXPECT_EQ(names[0]->GetValue(), "LINE");
  EXPECT_EQ(names[1]->GetValue(), "ARC");
  EXPECT_EQ(names[2]->GetValue(), "LINE");

  list.DeleteProp(list.IndexOfProp(names[0]));
  names[2]->SetValue(names[2]->GetValue());
  names[2]->SetValue("");
  EXPECT_EQ(names[2]->GetValue(), "");
  EXPECT_EQ(names[2]->GetPropValue({}).ToString(), "");
  names[1]->SetValue("LINE");
  TStrProp* later = list.Create<TStrProp>("D");
  later->SetValue("LINE");
  list.DeleteProp(list.IndexOfProp(names[1]));
  EXPECT_EQ(later->GetValue(), "LINE");

  later->SetOnGetValue([] { return std::string("given"); });
  EXPECT_EQ(later->GetValue(), "given");
  EXPECT_EQ(later->GetDisplayValue(), "given");
  later->SetOnGetValue(nullptr);
  EXPECT_EQ(later->GetValue(), "LINE");
}

TEST_F(PropsTest, ReadOnlyPropertiesRefuseChanges) {
  TIntProp* id = list.Create<TIntProp>("ID");
  TStrProp* name = list.Create<TStrProp>("Caption");
  id->SetFlags(pfReadOnly);
  id->SetValue(3);
  events.lockedName = "Caption";
  name->SetValue("x");
  EXPECT_EQ(id->GetValue(), 0);
  EXPECT_EQ(name->GetValue(), "");
  EXPECT_TRUE(events.log.empty());
  list.SetHistoryState(THistoryState::Undoing);  // a value restored by undo goes in
  id->SetValue(3);
  EXPECT_EQ(id->GetValue(), 3);
}

// A mirror held in the property (an ellipse's angles) reads, writes and gives way to a value
// function as one kept apart does.
TEST_F(PropsTest, MirrorsHeldInThePropertyOrApartBehaveAlike) {
  int32_t mirrors[2] = {5, 5};
  TIntProp* props[2] = {list.Create<TIntProp>("Apart"), list.Create<TMirrorIntProp>("Inside")};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(props[i]->Name());
    props[i]->SetExternal(&mirrors[i]);
    EXPECT_EQ(props[i]->GetValue(), 5);
    events.log.clear();
    props[i]->SetValue(5);
    EXPECT_TRUE(events.log.empty()) << "equal to the mirror: no change";
    props[i]->SetValue(7);
    EXPECT_EQ(mirrors[i], 7);
    EXPECT_EQ(events.log.size(), 2u);
    mirrors[i] = 9;
    EXPECT_EQ(props[i]->GetPropValue({}), PropValue::Integer(9));
    props[i]->SetOnGetValue([] { return 42; });
    EXPECT_EQ(props[i]->GetValue(), 42);
    props[i]->SetOnGetValue(nullptr);
    EXPECT_EQ(props[i]->GetValue(), 9);
    props[i]->SetExternal(nullptr);
    EXPECT_EQ(props[i]->GetValue(), 7) << "its own value, set along with the mirror";
    EXPECT_STREQ(props[i]->ClassName(), "TIntProp");
  }
}

TEST_F(PropsTest, IntegersMirrorAnExternalValueAndShowThousandths) {
  int32_t mirror = 0;
  TIntProp* width = list.Create<TIntProp>("Width");
  width->SetExternal(&mirror);
  width->SetFlags(pfThousandths);
  width->SetDisplayValue("12.3456");
  EXPECT_EQ(mirror, 12346);
  EXPECT_EQ(width->GetDisplayValue(), "12.346");
  width->SetDisplayValue("-0.0005");  // halves go to the even neighbour
  EXPECT_EQ(width->GetValue(), 0);
  EXPECT_THROW(width->SetDisplayValue("3000000"), EConvertError);
  EXPECT_THROW(width->SetDisplayValue("abc"), EConvertError);
  EXPECT_EQ(width->GetValue(), 0);
  width->SetOnGetValue([] { return 42; });
  EXPECT_EQ(width->GetPropValue({}), PropValue::Integer(42));

  TLongWordProp* color = list.Create<TLongWordProp>("Color");
  color->SetFlags(pfThousandths);
  color->SetDisplayValue("4294967.295");
  EXPECT_EQ(color->GetValue(), 4294967295u);
  EXPECT_EQ(color->GetDisplayValue(), "4294967.295");
  EXPECT_THROW(color->SetDisplayValue("4294967.296"), EConvertError);
  EXPECT_THROW(color->SetDisplayValue("-0.001"), EConvertError);
}

TEST_F(PropsTest, LongWordsTakeEveryValueTheyWrite) {
  TLongWordProp* p = list.Create<TLongWordProp>("Mask");
  for (uint32_t v : {0u, 1u, 2147483647u, 2147483648u, 4294967295u}) {
    p->SetPropValue({}, PropValue::String(p->GetPropValue({}).ToString()));
    p->SetValue(v);
    const std::string text = p->GetPropValue({}).ToString();
    p->SetValue(12345);
    p->SetPropValue({}, PropValue::String(text));
    EXPECT_EQ(p->GetValue(), v) << text;
  }
  EXPECT_THROW(p->SetPropValue({}, PropValue::String("4294967296")), EConvertError);
}

TEST_F(PropsTest, EnumerationsByName) {
  TEnumProp* style = list.Create<TEnumProp>("Style");
  style->AddName("psSolid");
  style->AddName("psDash");
  style->SetPropValue({}, PropValue::String("PSDASH"));
  EXPECT_EQ(style->GetEnumIndex(), 1);
  style->SetPropValue({}, PropValue::String("psNothing"));
  EXPECT_EQ(style->GetEnumIndex(), 1);
  EXPECT_EQ(style->GetPropValue({}), PropValue::String("psDash"));
  std::vector<std::string> names;
  style->GetEnumList(names);
  EXPECT_EQ(names, (std::vector<std::string>{"psSolid", "psDash"}));

  TBoolProp* visible = list.Create<TBoolProp>("Visible");
  visible->SetPropValue({}, PropValue::String("True"));
  EXPECT_TRUE(visible->GetValue());
  EXPECT_EQ(visible->GetDisplayValue(), "True");
  EXPECT_TRUE(visible->HasValueList());
}

TEST_F(PropsTest, StringListsAndData) {
  TStrListProp* hint = list.Create<TStrListProp>("Hint");
  EXPECT_TRUE(hint->GetPropValue({}).IsEmpty());
  hint->SetText("one\r\ntwo\nthree\r\n");
  EXPECT_EQ(hint->GetPropValue({}), PropValue::StringArray({"one", "two", "three"}));
  EXPECT_EQ(hint->GetText(), "one\r\ntwo\r\nthree");
  events.log.clear();
  hint->SetText(hint->GetText());  // fires even when unchanged
  EXPECT_EQ(events.log.size(), 2u);
  hint->SetPropValue({}, PropValue());
  EXPECT_EQ(hint->GetCount(), 0);
  EXPECT_EQ(hint->GetDisplayValue(), "(Text)");

  TDataProp* data = list.Create<TDataProp>("Data");
  EXPECT_TRUE(data->GetPropValue({}).IsEmpty());
  std::vector<uint8_t> stored;
  data->OnSetData = [&](const PropValue& v) { stored = v.AsBytes(); };
  data->OnGetData = [&] { return PropValue::Bytes(stored); };
  data->SetPropValue({}, PropValue::Bytes({1, 2, 3}));
  EXPECT_EQ(data->GetPropValue({}), PropValue::Bytes({1, 2, 3}));
  EXPECT_EQ(data->GetPropType({}), TPropKind::Binary);
}

TEST_F(PropsTest, PublishedSubPropertiesByName) {
  auto* brush = list.Create<test::TTestBrushProp>("Brush");
  brush->SetPropValue("color", PropValue::String("255"));
  EXPECT_EQ(brush->color, 255);
  EXPECT_EQ(brush->GetPropValue("Style"), PropValue::String("bsSolid"));
  EXPECT_EQ(brush->GetPropType("Font"), TPropKind::SubProperties);
  EXPECT_EQ(brush->GetPropType("Bitmap"), TPropKind::Binary);
  EXPECT_TRUE(brush->IsPublishedStored("Color"));
  EXPECT_FALSE(brush->IsPublishedStored("Style"));
  EXPECT_FALSE(brush->IsPublishedStored("Nothing"));
  EXPECT_EQ(brush->GetDisplayValue(), "(TTestBrushProp)");
}

}  // namespace
}  // namespace pv::graphics
