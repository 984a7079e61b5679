#include "hosts/testcon/text_property_bag.h"

#include <gtest/gtest.h>
#include <olectl.h>

#include "hosts/testcon/com_support.h"

namespace testcon {
namespace {

class TextPropertyBagTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  void TearDown() override {
    bag.Reset();
    OleUninitialize();
  }

  HRESULT Write(const wchar_t* name, VARIANT value) { return bag->Write(name, &value); }

  // Reads `name` asking for `type`; the variant is cleared by the caller.
  HRESULT Read(const wchar_t* name, VARTYPE type, VARIANT& out) {
    VariantInit(&out);
    V_VT(&out) = type;
    return bag->Read(name, &out, nullptr);
  }

  std::shared_ptr<PropertyStore> store = std::make_shared<PropertyStore>();
  ComPtr<IPropertyBag> bag = ComPtr<IPropertyBag>::Adopt(new TextPropertyBag(store, L""));
};

VARIANT Long(LONG n) {
  VARIANT v;
  V_VT(&v) = VT_I4;
  V_I4(&v) = n;
  return v;
}

VARIANT Bool(bool b) {
  VARIANT v;
  V_VT(&v) = VT_BOOL;
  V_BOOL(&v) = b ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

ComPtr<IFont> MakeFont(const wchar_t* face, LONGLONG sizeTimes10000, SHORT weight, bool italic) {
  FONTDESC desc{};
  desc.cbSizeofstruct = sizeof desc;
  desc.lpstrName = const_cast<LPOLESTR>(face);
  desc.cySize.int64 = sizeTimes10000;
  desc.sWeight = weight;
  desc.fItalic = italic;
  ComPtr<IFont> font;
  OleCreateFontIndirect(&desc, IID_IFont, OutSlot(font));
  return font;
}

// Files are read by people and by other systems: booleans as words,
// numbers with a point, whatever the saving system's conventions.
TEST_F(TextPropertyBagTest, StoresValuesAsReadableInvariantText) {
  EXPECT_EQ(Write(L"Indent", Long(-18)), S_OK);
  EXPECT_EQ(Write(L"ShowHint", Bool(false)), S_OK);
  VARIANT size;
  V_VT(&size) = VT_CY;
  V_CY(&size).int64 = 112500;  // 11.25
  EXPECT_EQ(Write(L"Size", size), S_OK);
  VARIANT ratio;
  V_VT(&ratio) = VT_R8;
  V_R8(&ratio) = 0.5;
  EXPECT_EQ(Write(L"Ratio", ratio), S_OK);
  EXPECT_EQ(store->Find(L"Indent"), L"-18");
  EXPECT_EQ(store->Find(L"ShowHint"), L"False");
  EXPECT_EQ(store->Find(L"Size"), L"11.25");
  EXPECT_EQ(store->Find(L"Ratio"), L"0.5");
}

TEST_F(TextPropertyBagTest, ReadsTextAsTheTypeTheControlAsksFor) {
  store->Set(L"ShowHint", L"True");
  store->Set(L"Size", L"11.25");
  store->Set(L"Indent", L"25");
  VARIANT v;
  ASSERT_EQ(Read(L"ShowHint", VT_BOOL, v), S_OK);
  EXPECT_EQ(V_VT(&v), VT_BOOL);
  EXPECT_EQ(V_BOOL(&v), VARIANT_TRUE);
  ASSERT_EQ(Read(L"Size", VT_CY, v), S_OK);
  EXPECT_EQ(V_CY(&v).int64, 112500);
  ASSERT_EQ(Read(L"Indent", VT_I2, v), S_OK);
  EXPECT_EQ(V_VT(&v), VT_I2);
  EXPECT_EQ(V_I2(&v), 25);
  ASSERT_EQ(Read(L"indent", VT_EMPTY, v), S_OK);  // no type asked: the text
  ASSERT_EQ(V_VT(&v), VT_BSTR);
  EXPECT_STREQ(V_BSTR(&v), L"25");
  VariantClear(&v);
}

TEST_F(TextPropertyBagTest, FailsForMissingNamesAndTextsOfTheWrongType) {
  store->Set(L"Indent", L"wide");
  VARIANT v;
  EXPECT_EQ(Read(L"Alignment", VT_I2, v), E_INVALIDARG);
  EXPECT_TRUE(FAILED(Read(L"Indent", VT_I2, v)));
  EXPECT_EQ(V_VT(&v), VT_I2);  // left as the caller set it, owning nothing
  EXPECT_EQ(Read(L"Indent", VT_DISPATCH, v), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(bag->Read(nullptr, &v, nullptr), E_POINTER);
  EXPECT_EQ(bag->Read(L"Indent", nullptr, nullptr), E_POINTER);
}

TEST_F(TextPropertyBagTest, RefusesNamesThatWouldBreakTheFile) {
  EXPECT_EQ(Write(L"A=B", Long(1)), E_INVALIDARG);
  EXPECT_EQ(Write(L"Two\nLines", Long(1)), E_INVALIDARG);
  EXPECT_EQ(Write(L"", Long(1)), E_INVALIDARG);
  VARIANT none;
  V_VT(&none) = VT_UNKNOWN;
  V_UNKNOWN(&none) = nullptr;
  EXPECT_EQ(Write(L"FontA", none), E_INVALIDARG);
  EXPECT_TRUE(store->Empty());
}

TEST_F(TextPropertyBagTest, WritesAFontAsAnObjectWithItsFieldsBelowItsName) {
  ComPtr<IFont> font = MakeFont(L"Courier New", 120000, FW_BOLD, true);
  ASSERT_TRUE(font);
  VARIANT v;
  V_VT(&v) = VT_DISPATCH;
  ASSERT_EQ(font->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&V_DISPATCH(&v))), S_OK);
  EXPECT_EQ(bag->Write(L"FontA", &v), S_OK);
  VariantClear(&v);
  EXPECT_EQ(store->Find(L"FontA"), L"object:{0BE35203-8F91-11CE-9DE3-00AA004BB851}");
  EXPECT_EQ(store->Find(L"FontA.Weight"), L"700");
  EXPECT_EQ(store->Find(L"FontA.Italic"), L"True");
  EXPECT_EQ(store->Find(L"FontA.Underline"), L"False");
  EXPECT_TRUE(store->Find(L"FontA.Name"));
  EXPECT_TRUE(store->Find(L"FontA.Size"));
}

TEST_F(TextPropertyBagTest, ReadsBackTheFontItWrote) {
  ComPtr<IFont> font = MakeFont(L"Courier New", 120000, FW_BOLD, true);
  ASSERT_TRUE(font);
  VARIANT v;
  V_VT(&v) = VT_UNKNOWN;
  V_UNKNOWN(&v) = font.Get();
  ASSERT_EQ(bag->Write(L"FontA", &v), S_OK);

  ASSERT_EQ(Read(L"FontA", VT_DISPATCH, v), S_OK);
  ASSERT_EQ(V_VT(&v), VT_DISPATCH);
  ComPtr<IFont> back;
  ASSERT_EQ(V_DISPATCH(&v)->QueryInterface(IID_IFont, OutSlot(back)), S_OK);
  VariantClear(&v);
  ScopedBstr name, backName;
  CY size{}, backSize{};
  SHORT weight = 0;
  BOOL italic = FALSE;
  font->get_Name(&name.s);
  font->get_Size(&size);
  back->get_Name(&backName.s);
  back->get_Size(&backSize);
  back->get_Weight(&weight);
  back->get_Italic(&italic);
  EXPECT_STREQ(backName.s, name.s);
  EXPECT_EQ(backSize.int64, size.int64);
  EXPECT_EQ(weight, FW_BOLD);
  EXPECT_TRUE(italic);
}

TEST_F(TextPropertyBagTest, MakesAFontFromHandWrittenFieldsWhateverTheClassLine) {
  store->Set(L"FontA", L"object:not a class");
  store->Set(L"FontA.Name", L"Courier New");
  store->Set(L"FontA.Size", L"12");
  VARIANT v;
  ASSERT_EQ(Read(L"FontA", VT_UNKNOWN, v), S_OK);
  ASSERT_EQ(V_VT(&v), VT_UNKNOWN);
  ComPtr<IFont> font;
  ASSERT_EQ(V_UNKNOWN(&v)->QueryInterface(IID_IFont, OutSlot(font)), S_OK);
  VariantClear(&v);
  CY size{};
  SHORT weight = 0;
  font->get_Size(&size);
  font->get_Weight(&weight);
  // The font reports the size of the face it realised, near the one asked
  // for and far from the 8-point default.
  EXPECT_NEAR(static_cast<double>(size.int64) / 10000, 12.0, 1.0);
  EXPECT_EQ(weight, FW_NORMAL);  // not in the file: the default
}

TEST_F(TextPropertyBagTest, NestedBagsWriteBelowTheirPrefix) {
  auto nested = ComPtr<IPropertyBag>::Adopt(new TextPropertyBag(store, L"Font."));
  VARIANT v = Long(400);
  EXPECT_EQ(nested->Write(L"Weight", &v), S_OK);
  EXPECT_EQ(store->Find(L"Font.Weight"), L"400");
  EXPECT_FALSE(store->Find(L"Weight"));
  VARIANT out;
  VariantInit(&out);
  V_VT(&out) = VT_I4;
  EXPECT_EQ(nested->Read(L"Weight", &out, nullptr), S_OK);
  EXPECT_EQ(V_I4(&out), 400);
}

}  // namespace
}  // namespace testcon
