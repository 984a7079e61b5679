// The control's saved properties: names and defaults, round trips through a
// property bag and a stream, and names that are not the persisted ones.
#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "memory_property_bag.h"
#include "ocx_module.h"

namespace orvane::test {
namespace {

ComPtr<IPersistPropertyBag> BagPersistence(IOrvaneAutomation* control) {
  ComPtr<IPersistPropertyBag> persist;
  control->QueryInterface(IID_IPersistPropertyBag, reinterpret_cast<void**>(persist.Receive()));
  return persist;
}

// Values other than every default, set through the automation interface.
void SetAllProperties(IOrvaneAutomation* control) {
  control->put_Alignment(tvLeft);
  control->put_Indent(25);
  control->put_ReadingOrder(RTL);
  control->put_ElapsedTime(333);
  control->put_ApplyCheck(VARIANT_TRUE);
  control->put_ShowBalloonHelp(VARIANT_FALSE);
  control->put_TocFile(Bstr(L"7").Get());
  control->put_BooksDir(Bstr(L"D:\\Library").Get());
  control->put_TopicName(Bstr(L"NOT SAVED").Get());
  control->put_BackColor(LongVariant(RGB(1, 2, 3)));
  FONTDESC desc{sizeof(FONTDESC),
                const_cast<LPOLESTR>(L"Courier New"),
                {{140000, 0}},
                700,
                0,
                FALSE,
                FALSE,
                FALSE};
  ComPtr<IFontDisp> font;
  OleCreateFontIndirect(&desc, IID_IFontDisp, reinterpret_cast<void**>(font.Receive()));
  control->putref_Fonta(font.Get());
}

void ExpectAllProperties(IOrvaneAutomation* control) {
  ::TAlignment alignment{};
  control->get_Alignment(&alignment);
  EXPECT_EQ(alignment, tvLeft);
  short indent = 0;
  control->get_Indent(&indent);
  EXPECT_EQ(indent, 25);
  ::TReadingOrder order{};
  control->get_ReadingOrder(&order);
  EXPECT_EQ(order, RTL);
  LONG elapsed = 0;
  control->get_ElapsedTime(&elapsed);
  EXPECT_EQ(elapsed, 333);
  VARIANT_BOOL flag = VARIANT_FALSE;
  control->get_ApplyCheck(&flag);
  EXPECT_EQ(flag, VARIANT_TRUE);
  control->get_ShowBalloonHelp(&flag);
  EXPECT_EQ(flag, VARIANT_FALSE);
  Bstr text;
  control->get_TocFile(text.Receive());
  EXPECT_EQ(text.Text(), L"7");
  control->get_BooksDir(text.Receive());
  EXPECT_EQ(text.Text(), L"D:\\Library");
  control->get_TopicName(text.Receive());
  EXPECT_EQ(text.Text(), L"") << "TopicName is not persisted";
  LONG back = 0;
  control->get_BackColor(&back);
  EXPECT_EQ(back, static_cast<LONG>(RGB(1, 2, 3)));
  ComPtr<IFontDisp> fontDisp;
  control->get_Fonta(fontDisp.Receive());
  ComPtr<IFont> font;
  ASSERT_TRUE(fontDisp);
  fontDisp->QueryInterface(IID_IFont, reinterpret_cast<void**>(font.Receive()));
  CY size{};
  font->get_Size(&size);
  EXPECT_NEAR(static_cast<double>(size.int64) / 10000, 14, 0.5);
  BOOL bold = FALSE;
  font->get_Bold(&bold);
  EXPECT_TRUE(bold);
}

TEST(ControlPersistence, BagRoundTripUsesThePersistedNames) {
  ComPtr<IOrvaneAutomation> saved = NewControl();
  SetAllProperties(saved.Get());
  ComPtr<MemoryPropertyBag> bag = ComPtr<MemoryPropertyBag>::Adopt(new MemoryPropertyBag);
  ASSERT_EQ(BagPersistence(saved.Get())->Save(bag.Get(), TRUE, TRUE), S_OK);

  for (const wchar_t* name : {L"Alignment", L"Indent", L"FontA", L"ReadingOrder", L"ElapsedTime",
                              L"FilePos", L"ApplyCheck", L"ShowHint", L"TocFile", L"BooksDir",
                              L"BackColor", L"ForeColor", L"BorderStyle", L"Font", L"_Version"})
    EXPECT_TRUE(bag->Has(name)) << name;
  // TypeAhead and MirrorKeys at their defaults: nothing the first format
  // cannot say, so the bag is what version 1.0 wrote.
  for (const wchar_t* name :
       {L"ShowBalloonHelp", L"Fonta", L"TopicName", L"ActiveBook", L"TypeAhead", L"MirrorKeys"})
    EXPECT_FALSE(bag->Has(name)) << name;
  EXPECT_EQ(V_I4(bag->Find(L"_Version")), 0x10000) << "format version 1.0";
  EXPECT_EQ(V_BOOL(bag->Find(L"ShowHint")), VARIANT_FALSE);

  ComPtr<IOrvaneAutomation> loaded = NewControl();
  ASSERT_EQ(BagPersistence(loaded.Get())->Load(bag.Get(), nullptr), S_OK);
  ExpectAllProperties(loaded.Get());
  ComPtr<IPersistStreamInit> persist;
  loaded->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(persist.Receive()));
  EXPECT_EQ(persist->IsDirty(), S_FALSE) << "loading is not a change";
}

TEST(ControlPersistence, AutomationNamesInABagAreReadOnlyWhereCaseHidesThem) {
  // Data saved under the automation names is not read back: "ShowBalloonHelp"
  // never is. "Fonta" differs from the persisted "FontA" only in case, and
  // hosts' bags look names up without regard to case, so such a bag hands
  // the font over as "FontA"; only a bag that compares names exactly keeps
  // it out.
  for (bool ignoreCase : {false, true}) {
    SCOPED_TRACE(ignoreCase ? "bag ignoring case" : "bag comparing case");
    ComPtr<MemoryPropertyBag> bag =
        ComPtr<MemoryPropertyBag>::Adopt(new MemoryPropertyBag(ignoreCase));
    bag->Put(L"ShowBalloonHelp", MakeBool(false));
    bag->Put(L"Indent", MakeI4(30));
    FONTDESC desc{sizeof(FONTDESC),
                  const_cast<LPOLESTR>(L"Courier New"),
                  {{300000, 0}},
                  400,
                  0,
                  FALSE,
                  FALSE,
                  FALSE};
    VARIANT font;
    VariantInit(&font);
    V_VT(&font) = VT_DISPATCH;
    OleCreateFontIndirect(&desc, IID_IFontDisp, reinterpret_cast<void**>(&V_DISPATCH(&font)));
    bag->Put(L"Fonta", font);

    ComPtr<IOrvaneAutomation> control = NewControl();
    ASSERT_EQ(BagPersistence(control.Get())->Load(bag.Get(), nullptr), S_OK);
    VARIANT_BOOL shown = VARIANT_FALSE;
    control->get_ShowBalloonHelp(&shown);
    EXPECT_EQ(shown, VARIANT_TRUE) << "\"ShowBalloonHelp\" is not the persisted name";
    short indent = 0;
    control->get_Indent(&indent);
    EXPECT_EQ(indent, 30);
    ComPtr<IFontDisp> fontaDisp;
    control->get_Fonta(fontaDisp.Receive());
    ASSERT_TRUE(fontaDisp);
    ComPtr<IFont> fonta;
    fontaDisp->QueryInterface(IID_IFont, reinterpret_cast<void**>(fonta.Receive()));
    CY size{};
    fonta->get_Size(&size);
    // The font object reports the size it realised, within a pixel.
    EXPECT_NEAR(static_cast<double>(size.int64) / 10000, ignoreCase ? 30 : 11, 1.0);
  }
}

TEST(ControlPersistence, StreamRoundTripKeepsEveryProperty) {
  ComPtr<IOrvaneAutomation> saved = NewControl();
  SetAllProperties(saved.Get());
  ComPtr<IPersistStreamInit> out;
  saved->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(out.Receive()));
  ComPtr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive());
  ASSERT_EQ(out->Save(stream.Get(), TRUE), S_OK);
  LARGE_INTEGER zero{};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);

  ComPtr<IOrvaneAutomation> loaded;
  ASSERT_EQ(CreateFromOcx(CLSID_Orvane, IID_IOrvaneAutomation,
                          reinterpret_cast<void**>(loaded.Receive())),
            S_OK);
  ComPtr<IPersistStreamInit> in;
  loaded->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(in.Receive()));
  ASSERT_EQ(in->Load(stream.Get()), S_OK);
  ExpectAllProperties(loaded.Get());
}

std::vector<uint8_t> SavedBytes(IOrvaneAutomation* control) {
  ComPtr<IPersistStreamInit> out;
  control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(out.Receive()));
  ComPtr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive());
  EXPECT_EQ(out->Save(stream.Get(), TRUE), S_OK);
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  std::vector<uint8_t> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
  LARGE_INTEGER zero{};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  ULONG read = 0;
  stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
  return bytes;
}

TEST(ControlPersistence, DataOfTheFirstFormatLoadsWithTypeAheadOff) {
  // With every switch of the second format at its default the control saves
  // the first format's stream; TypeAhead on brings the second format, which
  // adds the values of both its switches at the end.
  ComPtr<IOrvaneAutomation> saved = NewControl();
  SetAllProperties(saved.Get());
  saved->put_TypeAhead(VARIANT_TRUE);
  std::vector<uint8_t> on = SavedBytes(saved.Get());
  saved->put_TypeAhead(VARIANT_FALSE);
  std::vector<uint8_t> old = SavedBytes(saved.Get());
  ASSERT_GE(old.size(), sizeof(DWORD));
  DWORD version = 0;
  std::memcpy(&version, old.data(), sizeof version);
  EXPECT_EQ(version, 0x10000u) << "the first format";
  ASSERT_EQ(on.size(), old.size() + 2 * sizeof(VARIANT_BOOL)) << "TypeAhead and MirrorKeys";
  EXPECT_TRUE(std::equal(old.begin() + sizeof(DWORD), old.end(), on.begin() + sizeof(DWORD)))
      << "the first format's values come first, unchanged";

  ComPtr<IOrvaneAutomation> loaded = NewControl();
  loaded->put_TypeAhead(VARIANT_TRUE);
  ComPtr<IPersistStreamInit> in;
  loaded->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(in.Receive()));
  ComPtr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive());
  stream->Write(old.data(), static_cast<ULONG>(old.size()), nullptr);
  LARGE_INTEGER zero{};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  ASSERT_EQ(in->Load(stream.Get()), S_OK);
  VARIANT_BOOL typeAhead = VARIANT_TRUE;
  loaded->get_TypeAhead(&typeAhead);
  EXPECT_EQ(typeAhead, VARIANT_FALSE);
  ExpectAllProperties(loaded.Get());  // the values after it were read in their places

  // And the new format keeps it.
  ComPtr<IOrvaneAutomation> again = NewControl();
  ComPtr<IPersistStreamInit> in2;
  again->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(in2.Receive()));
  ComPtr<IStream> stream2;
  CreateStreamOnHGlobal(nullptr, TRUE, stream2.Receive());
  stream2->Write(on.data(), static_cast<ULONG>(on.size()), nullptr);
  stream2->Seek(zero, STREAM_SEEK_SET, nullptr);
  ASSERT_EQ(in2->Load(stream2.Get()), S_OK);
  again->get_TypeAhead(&typeAhead);
  EXPECT_EQ(typeAhead, VARIANT_TRUE);
}

TEST(ControlPersistence, InitNewRestoresEveryDefault) {
  ComPtr<IOrvaneAutomation> control = NewControl();
  SetAllProperties(control.Get());
  ComPtr<IPersistStreamInit> persist;
  control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(persist.Receive()));
  ASSERT_EQ(persist->InitNew(), S_OK);
  ::TAlignment alignment{};
  control->get_Alignment(&alignment);
  EXPECT_EQ(alignment, tvRight);
  short indent = 0;
  control->get_Indent(&indent);
  EXPECT_EQ(indent, 18);
  ::TReadingOrder order{};
  control->get_ReadingOrder(&order);
  EXPECT_EQ(order, LTR);
  Bstr text;
  control->get_TocFile(text.Receive());
  EXPECT_EQ(text.Text(), L"C:\\0\\1.TXT");
  control->get_BooksDir(text.Receive());
  EXPECT_EQ(text.Text(), L"C:\\Mirvak");
  VARIANT_BOOL flag = VARIANT_TRUE;
  control->get_ApplyCheck(&flag);
  EXPECT_EQ(flag, VARIANT_FALSE);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);
}

TEST(ControlPersistence, DamagedStreamIsRefusedWithoutHarm) {
  ComPtr<IOrvaneAutomation> control = NewControl();
  ComPtr<IPersistStreamInit> persist;
  control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(persist.Receive()));
  const BYTE damaged[] = {0x00, 0x00, 0x01, 0x00, 0x10, 0x20};
  ComPtr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive());
  stream->Write(damaged, sizeof damaged, nullptr);
  LARGE_INTEGER zero{};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  EXPECT_TRUE(FAILED(persist->Load(stream.Get())));
  short indent = 0;
  EXPECT_EQ(control->get_Indent(&indent), S_OK);
}

// MirrorKeys came after format 1.0: a control that keeps the chord saves the
// 1.0 form byte for byte, one that turns it off saves 1.1 with the value at
// the end, and 1.0 data loads with the chord on.
struct SavedForm {
  std::vector<BYTE> bytes;
  DWORD Version() const {
    DWORD v = 0;
    if (bytes.size() >= sizeof v) std::memcpy(&v, bytes.data(), sizeof v);
    return v;
  }
};

SavedForm SaveStream(IOrvaneAutomation* control) {
  ComPtr<IPersistStreamInit> persist;
  control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(persist.Receive()));
  ComPtr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive());
  EXPECT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  SavedForm form;
  form.bytes.resize(static_cast<size_t>(stat.cbSize.QuadPart));
  LARGE_INTEGER zero{};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  ULONG read = 0;
  stream->Read(form.bytes.data(), static_cast<ULONG>(form.bytes.size()), &read);
  return form;
}

HRESULT LoadStream(IOrvaneAutomation* control, const SavedForm& form) {
  ComPtr<IPersistStreamInit> persist;
  control->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(persist.Receive()));
  ComPtr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive());
  stream->Write(form.bytes.data(), static_cast<ULONG>(form.bytes.size()), nullptr);
  // Bytes of the container's own after the control's data stay unread.
  const BYTE containers[] = {0xAB, 0xCD, 0xEF, 0x01};
  stream->Write(containers, sizeof containers, nullptr);
  LARGE_INTEGER zero{};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  const HRESULT hr = persist->Load(stream.Get());
  ULARGE_INTEGER at{};
  stream->Seek(zero, STREAM_SEEK_CUR, &at);
  EXPECT_EQ(at.QuadPart, form.bytes.size()) << "read exactly the control's data";
  return hr;
}

bool MirrorKeysOf(IOrvaneAutomation* control) {
  VARIANT_BOOL on = VARIANT_FALSE;
  EXPECT_EQ(control->get_MirrorKeys(&on), S_OK);
  return on != VARIANT_FALSE;
}

TEST(ControlPersistence, MirrorKeysIsSavedOnlyWhenOffAndOlderDataLoadsWithItOn) {
  ComPtr<IOrvaneAutomation> keeps = NewControl();
  EXPECT_TRUE(MirrorKeysOf(keeps.Get())) << "the chord is on by default";
  const SavedForm old = SaveStream(keeps.Get());
  EXPECT_EQ(old.Version(), 0x10000u) << "nothing new to say: the 1.0 form";

  ComPtr<IOrvaneAutomation> off = NewControl();
  ASSERT_EQ(off->put_MirrorKeys(VARIANT_FALSE), S_OK);
  const SavedForm newer = SaveStream(off.Get());
  EXPECT_EQ(newer.Version(), 0x10001u);
  ASSERT_EQ(newer.bytes.size(), old.bytes.size() + 2 * sizeof(VARIANT_BOOL))
      << "TypeAhead and MirrorKeys";
  EXPECT_TRUE(std::equal(old.bytes.begin() + sizeof(DWORD), old.bytes.end(),
                         newer.bytes.begin() + sizeof(DWORD)))
      << "the 1.0 properties come first, unchanged";

  const struct {
    const char* name;
    const SavedForm* form;
    bool mirrorKeys;
  } loads[] = {{"1.0 data", &old, true}, {"1.1 data", &newer, false}};
  for (const auto& load : loads) {
    ComPtr<IOrvaneAutomation> control = NewControl();
    ASSERT_EQ(control->put_MirrorKeys(load.mirrorKeys ? VARIANT_FALSE : VARIANT_TRUE), S_OK);
    ASSERT_EQ(LoadStream(control.Get(), *load.form), S_OK) << load.name;
    EXPECT_EQ(MirrorKeysOf(control.Get()), load.mirrorKeys) << load.name;
  }

  // The same in a property bag: by name, and only when off.
  for (bool on : {true, false}) {
    ComPtr<IOrvaneAutomation> control = NewControl();
    ASSERT_EQ(control->put_MirrorKeys(on ? VARIANT_TRUE : VARIANT_FALSE), S_OK);
    ComPtr<MemoryPropertyBag> bag = ComPtr<MemoryPropertyBag>::Adopt(new MemoryPropertyBag);
    ASSERT_EQ(BagPersistence(control.Get())->Save(bag.Get(), TRUE, TRUE), S_OK);
    EXPECT_EQ(bag->Has(L"MirrorKeys"), !on);
    EXPECT_EQ(V_I4(bag->Find(L"_Version")), on ? 0x10000 : 0x10001);
    ComPtr<IOrvaneAutomation> loaded = NewControl();
    ASSERT_EQ(loaded->put_MirrorKeys(on ? VARIANT_FALSE : VARIANT_TRUE), S_OK);
    ASSERT_EQ(BagPersistence(loaded.Get())->Load(bag.Get(), nullptr), S_OK);
    EXPECT_EQ(MirrorKeysOf(loaded.Get()), on);
  }
}

}  // namespace
}  // namespace orvane::test
