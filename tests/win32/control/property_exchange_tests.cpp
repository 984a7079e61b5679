// The property exchange on its own: one table walked by loading and saving,
// over a property bag and over a stream, with defaults for what is missing
// and refusal of data it cannot trust.
#include "control/framework/property_exchange.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "memory_property_bag.h"

namespace orvane {
namespace {

using test::MakeBool;
using test::MakeI4;
using test::MakeString;
using test::MemoryPropertyBag;

constexpr FontDefault kTitleFont{L"Tahoma", 11, 400, 0, false, false, false};

constexpr PersistedProperty kTable[] = {
    {L"Width", 1, PropertyKind::Short, 18},
    {L"Delay", 2, PropertyKind::Long, 1000},
    {L"Shown", 3, PropertyKind::Bool, 1},
    {L"Folder", 4, PropertyKind::String, 0, "C:\\Books"},
    {L"Colour", 5, PropertyKind::Color, 0x00FF00},
    {L"TitleFont", 6, PropertyKind::Font, 0, "", &kTitleFont},
};

// Values held by DISPID, as a control holds them in members.
class Values : public PersistedValues {
 public:
  ~Values() override {
    for (auto& entry : stored) VariantClear(&entry.second);
  }
  HRESULT GetPersisted(const PersistedProperty& p, VARIANT* out) override {
    VariantInit(out);
    auto it = stored.find(p.dispid);
    if (it == stored.end()) return E_FAIL;
    return VariantCopy(out, &it->second);
  }
  void SetPersisted(const PersistedProperty& p, const VARIANT& value) override {
    ++sets;
    VARIANT& slot = stored[p.dispid];
    VariantClear(&slot);
    VariantCopy(&slot, const_cast<VARIANT*>(&value));
  }
  LONG I4(DISPID id) { return V_I4(&stored[id]); }
  SHORT I2(DISPID id) { return V_I2(&stored[id]); }
  bool Bool(DISPID id) { return V_BOOL(&stored[id]) != VARIANT_FALSE; }
  std::wstring String(DISPID id) {
    BSTR s = V_BSTR(&stored[id]);
    return s ? std::wstring(s, SysStringLen(s)) : std::wstring();
  }
  VARTYPE Type(DISPID id) { return V_VT(&stored[id]); }

  std::map<DISPID, VARIANT> stored;
  int sets = 0;
};

constexpr PersistenceFormat kFormat{MAKELONG(0, 1)};

// A font made the way a control makes one, for values that hold a font.
VARIANT MakeFont(const wchar_t* face, int points) {
  FontDefault d{face, points, 700, 0, true, false, false};
  FONTDESC desc = d.Describe();
  VARIANT v;
  VariantInit(&v);
  IFontDisp* font = nullptr;
  OleCreateFontIndirect(&desc, IID_IFontDisp, reinterpret_cast<void**>(&font));
  V_VT(&v) = VT_DISPATCH;
  V_DISPATCH(&v) = font;
  return v;
}

void Fill(Values& values) {
  values.SetPersisted(kTable[0], [] {
    VARIANT v = MakeI4(0);
    V_VT(&v) = VT_I2;
    V_I2(&v) = 25;
    return v;
  }());
  values.SetPersisted(kTable[1], MakeI4(250));
  values.SetPersisted(kTable[2], MakeBool(false));
  VARIANT folder = MakeString(L"D:\\Other");
  values.SetPersisted(kTable[3], folder);
  VariantClear(&folder);
  values.SetPersisted(kTable[4], MakeI4(static_cast<LONG>(0x80000005)));
  VARIANT font = MakeFont(L"Courier New", 14);
  values.SetPersisted(kTable[5], font);
  VariantClear(&font);
}

CY FontSize(Values& values, DISPID id) {
  CY size{};
  ComPtr<IFont> font;
  if (V_VT(&values.stored[id]) == VT_DISPATCH && V_DISPATCH(&values.stored[id]))
    V_DISPATCH(&values.stored[id])
        ->QueryInterface(IID_IFont, reinterpret_cast<void**>(font.Receive()));
  if (font) font->get_Size(&size);
  return size;
}

TEST(PropertyExchange, ResetGivesEveryDefault) {
  Values values;
  ResetToDefaults(kTable, values);
  EXPECT_EQ(values.I2(1), 18);
  EXPECT_EQ(values.I4(2), 1000);
  EXPECT_TRUE(values.Bool(3));
  EXPECT_EQ(values.String(4), L"C:\\Books");
  EXPECT_EQ(values.I4(5), 0x00FF00);
  EXPECT_EQ(values.Type(6), VT_EMPTY) << "a font default is the entry's own description";
}

TEST(PropertyExchange, BagRoundTripKeepsEveryValueUnderItsName) {
  Values saved;
  Fill(saved);
  ComPtr<MemoryPropertyBag> bag = ComPtr<MemoryPropertyBag>::Adopt(new MemoryPropertyBag);
  ASSERT_EQ(SaveToPropertyBag(kFormat, kTable, saved, bag.Get()), S_OK);
  for (const PersistedProperty& p : kTable) EXPECT_TRUE(bag->Has(p.name)) << p.name;
  ASSERT_TRUE(bag->Has(kVersionPropertyName));
  EXPECT_EQ(V_I4(bag->Find(kVersionPropertyName)), 0x10000);

  Values loaded;
  ASSERT_EQ(LoadFromPropertyBag(kFormat, kTable, loaded, bag.Get(), nullptr), S_OK);
  EXPECT_EQ(loaded.I2(1), 25);
  EXPECT_EQ(loaded.I4(2), 250);
  EXPECT_FALSE(loaded.Bool(3));
  EXPECT_EQ(loaded.String(4), L"D:\\Other");
  EXPECT_EQ(static_cast<DWORD>(loaded.I4(5)), 0x80000005u);
  // Wine's font object reports the size it realized: 14.25 points here.
  EXPECT_NEAR(static_cast<double>(FontSize(loaded, 6).int64) / 10000, 14, 0.5);
}

TEST(PropertyExchange, BagWithoutAnEntryGivesItsDefault) {
  ComPtr<MemoryPropertyBag> bag = ComPtr<MemoryPropertyBag>::Adopt(new MemoryPropertyBag);
  bag->Put(L"Delay", MakeI4(5));
  bag->Put(L"shown_under_another_name", MakeBool(false));
  Values loaded;
  ASSERT_EQ(LoadFromPropertyBag(kFormat, kTable, loaded, bag.Get(), nullptr), S_OK);
  EXPECT_EQ(loaded.I4(2), 5);
  EXPECT_TRUE(loaded.Bool(3)) << "a value under another name is not read";
  EXPECT_EQ(loaded.I2(1), 18);
  EXPECT_EQ(loaded.String(4), L"C:\\Books");
}

TEST(PropertyExchange, BagValuesAreConvertedOrDefaulted) {
  ComPtr<MemoryPropertyBag> bag = ComPtr<MemoryPropertyBag>::Adopt(new MemoryPropertyBag);
  bag->Put(L"Width", MakeString(L"40"));
  bag->Put(L"Delay", MakeString(L"not a number"));
  bag->Put(L"TitleFont", MakeI4(3));
  Values loaded;
  ASSERT_EQ(LoadFromPropertyBag(kFormat, kTable, loaded, bag.Get(), nullptr), S_OK);
  EXPECT_EQ(loaded.I2(1), 40);
  EXPECT_EQ(loaded.I4(2), 1000);
  EXPECT_EQ(loaded.Type(6), VT_EMPTY) << "a font entry that holds no object takes the default";
}

TEST(PropertyExchange, NewerBagVersionIsRefusedAndChangesNothing) {
  ComPtr<MemoryPropertyBag> bag = ComPtr<MemoryPropertyBag>::Adopt(new MemoryPropertyBag);
  bag->Put(kVersionPropertyName, MakeI4(MAKELONG(0, 2)));
  bag->Put(L"Delay", MakeI4(5));
  Values loaded;
  EXPECT_EQ(LoadFromPropertyBag(kFormat, kTable, loaded, bag.Get(), nullptr), E_FAIL);
  EXPECT_EQ(loaded.sets, 0);

  bag->Put(kVersionPropertyName, MakeI4(MAKELONG(5, 0)));  // older: converted
  EXPECT_EQ(LoadFromPropertyBag(kFormat, kTable, loaded, bag.Get(), nullptr), S_OK);
  EXPECT_EQ(loaded.I4(2), 5);
}

ComPtr<IStream> NewStream() {
  ComPtr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive());
  return stream;
}

void Rewind(IStream* stream) {
  LARGE_INTEGER zero{};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
}

TEST(PropertyExchange, StreamRoundTripKeepsEveryValue) {
  Values saved;
  Fill(saved);
  ComPtr<IStream> stream = NewStream();
  ASSERT_EQ(SaveToStream(kFormat, kTable, saved, stream.Get()), S_OK);
  Rewind(stream.Get());
  Values loaded;
  ASSERT_EQ(LoadFromStream(kFormat, kTable, loaded, stream.Get()), S_OK);
  EXPECT_EQ(loaded.I2(1), 25);
  EXPECT_EQ(loaded.I4(2), 250);
  EXPECT_FALSE(loaded.Bool(3));
  EXPECT_EQ(loaded.String(4), L"D:\\Other");
  EXPECT_EQ(static_cast<DWORD>(loaded.I4(5)), 0x80000005u);
  // Wine's font object reports the size it realized: 14.25 points here.
  EXPECT_NEAR(static_cast<double>(FontSize(loaded, 6).int64) / 10000, 14, 0.5);
}

// Writes raw bytes, as a damaged or hostile saved form would hold them.
ComPtr<IStream> StreamOf(const void* bytes, ULONG size) {
  ComPtr<IStream> stream = NewStream();
  stream->Write(bytes, size, nullptr);
  Rewind(stream.Get());
  return stream;
}

TEST(PropertyExchange, ShortStreamStopsWithAnError) {
  Values saved;
  Fill(saved);
  ComPtr<IStream> full = NewStream();
  ASSERT_EQ(SaveToStream(kFormat, kTable, saved, full.Get()), S_OK);
  STATSTG stat{};
  full->Stat(&stat, STATFLAG_NONAME);
  ULONG size = static_cast<ULONG>(stat.cbSize.QuadPart);
  std::string bytes(size, '\0');
  Rewind(full.Get());
  full->Read(bytes.data(), size, nullptr);
  // Every cut short of the whole data fails; none crashes.
  for (ULONG cut = 0; cut < size; cut += 3) {
    Values loaded;
    ComPtr<IStream> stream = StreamOf(bytes.data(), cut);
    EXPECT_TRUE(FAILED(LoadFromStream(kFormat, kTable, loaded, stream.Get()))) << "cut at " << cut;
  }
}

TEST(PropertyExchange, StreamRefusesAHugeStringLength) {
  struct {
    DWORD version = 0x10000;
    SHORT width = 1;
    LONG delay = 2;
    VARIANT_BOOL shown = 0;
    DWORD length = 0x7FFFFFFF;
  } __attribute__((packed)) data;
  Values loaded;
  ComPtr<IStream> stream = StreamOf(&data, sizeof data);
  EXPECT_EQ(LoadFromStream(kFormat, kTable, loaded, stream.Get()), E_FAIL);
  EXPECT_EQ(loaded.I4(2), 2) << "values before the bad one stay";
}

TEST(PropertyExchange, StreamOfANewerVersionIsRefused) {
  DWORD version = MAKELONG(0, 2);
  Values loaded;
  ComPtr<IStream> stream = StreamOf(&version, sizeof version);
  EXPECT_EQ(LoadFromStream(kFormat, kTable, loaded, stream.Get()), E_FAIL);
  EXPECT_EQ(loaded.sets, 0);
}

}  // namespace
}  // namespace orvane
