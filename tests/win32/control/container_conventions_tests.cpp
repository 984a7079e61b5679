// What containers expect of a control besides embedding: its verbs and the
// property frame its Properties verb opens, names for enumerated values in
// property browsers, storage persistence for compound documents, quick
// activation, and stock colours and font that follow the container's
// ambient values until a host sets them.
#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ocx_module.h"
#include "test_container.h"

namespace orvane::test {
namespace {

const CLSID kPropPageClsid = {
    0x2a78a059, 0x1bd4, 0x4d73, {0xa4, 0xf9, 0xdd, 0x40, 0x66, 0x37, 0x82, 0xbc}};
const CLSID kStandardColorPage = {
    0x0be35201, 0x8f91, 0x11ce, {0x9d, 0xe3, 0x00, 0xaa, 0x00, 0x4b, 0xb8, 0x51}};
constexpr DISPID kAlignment = ORVANE_DISPID_ALIGNMENT;
constexpr DISPID kReadingOrder = ORVANE_DISPID_READINGORDER;

template <class I>
ComPtr<I> As(IUnknown* object, REFIID iid) {
  ComPtr<I> result;
  if (object) object->QueryInterface(iid, reinterpret_cast<void**>(result.Receive()));
  return result;
}

LONG BackColorOf(IOrvaneAutomation* control) {
  LONG color = 0;
  control->get_BackColor(&color);
  return color;
}

// The stock font's weight and size in points. Wine realises a face that is
// not installed as another one and reports that one, so the ambient fonts
// here differ from the default (8 points, normal) in weight and size.
std::pair<SHORT, LONGLONG> DescribeFont(IUnknown* object) {
  ComPtr<IFont> font = As<IFont>(object, IID_IFont);
  if (!font) return {0, 0};
  SHORT weight = 0;
  CY size{};
  font->get_Weight(&weight);
  font->get_Size(&size);
  return {weight, size.int64};
}
std::pair<SHORT, LONGLONG> FontOf(IOrvaneAutomation* control) {
  ComPtr<IFontDisp> disp;
  control->get_Font(disp.Receive());
  return DescribeFont(disp.Get());
}

// A client site that answers ambient properties through IDispatch and may
// show a property frame of its own (IOleControlSite::ShowPropertyFrame).
class AmbientSite : public ComBase<AmbientSite, IOleClientSite, IDispatch, IOleControlSite> {
 public:
  static std::span<const InterfaceEntry> Interfaces() {
    using T = AmbientSite;
    static const InterfaceEntry kTable[] = {
        {&IID_IOleClientSite, &CastTo<T, IOleClientSite>},
        {&IID_IDispatch, &CastTo<T, IDispatch>},
        {&IID_IOleControlSite, &CastTo<T, IOleControlSite>},
    };
    return kTable;
  }

  OLE_COLOR backColor = RGB(10, 20, 30);
  OLE_COLOR foreColor = RGB(200, 100, 50);
  ComPtr<IFontDisp> font;
  bool ownFrame = false;
  int framesShown = 0;

  // IOleClientSite
  STDMETHODIMP SaveObject() override { return S_OK; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    *moniker = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetContainer(IOleContainer** container) override {
    *container = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IDispatch: the ambient properties
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                      UINT*) override {
    if (result == nullptr) return E_POINTER;
    VariantInit(result);
    switch (id) {
      case DISPID_AMBIENT_BACKCOLOR:
        // Sent unsigned, as a property browser would.
        V_VT(result) = VT_UI4;
        V_UI4(result) = backColor;
        return S_OK;
      case DISPID_AMBIENT_FORECOLOR:
        V_VT(result) = VT_I4;
        V_I4(result) = static_cast<LONG>(foreColor);
        return S_OK;
      case DISPID_AMBIENT_FONT:
        if (!font) return DISP_E_MEMBERNOTFOUND;
        V_VT(result) = VT_DISPATCH;
        V_DISPATCH(result) = font.Get();
        font->AddRef();
        return S_OK;
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }

  // IOleControlSite
  STDMETHODIMP OnControlInfoChanged() override { return S_OK; }
  STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
  STDMETHODIMP GetExtendedControl(IDispatch** control) override {
    *control = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
  STDMETHODIMP OnFocus(BOOL) override { return S_OK; }
  STDMETHODIMP ShowPropertyFrame() override {
    ++framesShown;
    return ownFrame ? S_OK : E_NOTIMPL;
  }
};

ComPtr<IFontDisp> MakeFont(const wchar_t* face, LONG points, SHORT weight) {
  CY size{};
  size.int64 = points * 10000LL;
  FONTDESC desc{sizeof(FONTDESC), const_cast<LPOLESTR>(face), size, weight, 0, FALSE, FALSE, FALSE};
  ComPtr<IFontDisp> font;
  OleCreateFontIndirect(&desc, IID_IFontDisp, reinterpret_cast<void**>(font.Receive()));
  return font;
}

// ---- Verbs ----

TEST(Verbs, ListEditAndPropertiesOnTheContainersMenu) {
  ComPtr<IOrvaneAutomation> control = NewControl();
  ComPtr<IOleObject> object = As<IOleObject>(control.Get(), IID_IOleObject);
  ComPtr<IEnumOLEVERB> verbs;
  ASSERT_EQ(object->EnumVerbs(verbs.Receive()), S_OK);
  OLEVERB got[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(verbs->Next(3, got, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  EXPECT_EQ(got[0].lVerb, OLEIVERB_PRIMARY);
  EXPECT_EQ(got[1].lVerb, OLEIVERB_PROPERTIES);
  EXPECT_STREQ(got[1].lpszVerbName, L"&Properties...");
  for (ULONG i = 0; i < fetched; ++i) {
    EXPECT_EQ(got[i].grfAttribs, static_cast<DWORD>(OLEVERBATTRIB_ONCONTAINERMENU));
    CoTaskMemFree(got[i].lpszVerbName);
  }

  // Reset, Skip and Clone keep their places independently.
  ASSERT_EQ(verbs->Reset(), S_OK);
  ASSERT_EQ(verbs->Skip(1), S_OK);
  ComPtr<IEnumOLEVERB> copy;
  ASSERT_EQ(verbs->Clone(copy.Receive()), S_OK);
  OLEVERB one{};
  ASSERT_EQ(copy->Next(1, &one, nullptr), S_OK);
  EXPECT_EQ(one.lVerb, OLEIVERB_PROPERTIES);
  CoTaskMemFree(one.lpszVerbName);
  EXPECT_EQ(copy->Next(1, &one, nullptr), S_FALSE);
  EXPECT_EQ(verbs->Skip(5), S_FALSE);
  EXPECT_EQ(verbs->Next(1, &one, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
}

// The frame the verb opens when the container has none is checked in a
// process of its own (probe/property_frame_probe.cpp, and the C++ host
// sample, both run by tests/scripts/run-hosts.sh for each width): a modal
// frame opened here, after the other tests of this program, once never
// returned under Wine.

TEST(Verbs, PropertiesLeavesTheFrameToAContainerThatHasOne) {
  ComPtr<IOrvaneAutomation> control = NewControl();
  ComPtr<IOleObject> object = As<IOleObject>(control.Get(), IID_IOleObject);
  ComPtr<AmbientSite> site = ComPtr<AmbientSite>::Adopt(new AmbientSite);
  site->ownFrame = true;
  ASSERT_EQ(object->SetClientSite(site.Get()), S_OK);
  HostWindow host;
  EXPECT_EQ(object->DoVerb(OLEIVERB_PROPERTIES, nullptr, site.Get(), 0, host.Handle(), nullptr),
            S_OK);
  EXPECT_EQ(site->framesShown, 1);
  object->SetClientSite(nullptr);
}

// ---- IPerPropertyBrowsing ----

TEST(PropertyBrowsing, ListsTheEnumerationsByNameAndMapsNamesToValues) {
  ComPtr<IOrvaneAutomation> control = NewControl();
  ComPtr<IPerPropertyBrowsing> browsing =
      As<IPerPropertyBrowsing>(control.Get(), IID_IPerPropertyBrowsing);
  ASSERT_TRUE(browsing);
  struct Expected {
    DISPID id;
    std::vector<std::wstring> names;
    std::vector<DWORD> cookies;
  };
  for (const Expected& expected : {Expected{kAlignment, {L"0 - tvLeft", L"2 - tvRight"}, {0, 2}},
                                   Expected{kReadingOrder, {L"0 - RTL", L"1 - LTR"}, {0, 1}}}) {
    CALPOLESTR strings{};
    CADWORD cookies{};
    ASSERT_EQ(browsing->GetPredefinedStrings(expected.id, &strings, &cookies), S_OK);
    std::vector<std::wstring> names;
    std::vector<DWORD> values;
    for (ULONG i = 0; i < strings.cElems; ++i) {
      names.push_back(strings.pElems[i]);
      CoTaskMemFree(strings.pElems[i]);
    }
    values.assign(cookies.pElems, cookies.pElems + cookies.cElems);
    CoTaskMemFree(strings.pElems);
    CoTaskMemFree(cookies.pElems);
    EXPECT_EQ(names, expected.names) << expected.id;
    EXPECT_EQ(values, expected.cookies) << expected.id;
    for (DWORD cookie : expected.cookies) {
      VARIANT value;
      ASSERT_EQ(browsing->GetPredefinedValue(expected.id, cookie, &value), S_OK);
      EXPECT_EQ(V_VT(&value), VT_I4);
      EXPECT_EQ(static_cast<DWORD>(V_I4(&value)), cookie);
    }
  }
  VARIANT value;
  EXPECT_EQ(browsing->GetPredefinedValue(kAlignment, 1, &value), E_INVALIDARG)
      << "1 is no TAlignment";
  CALPOLESTR strings{};
  CADWORD cookies{};
  EXPECT_EQ(browsing->GetPredefinedStrings(ORVANE_DISPID_INDENT, &strings, &cookies), E_NOTIMPL)
      << "Indent";
  EXPECT_EQ(strings.cElems, 0u);
}

TEST(PropertyBrowsing, ShowsTheCurrentValueByNameOrByNumber) {
  ComPtr<IOrvaneAutomation> control = NewControl();
  ComPtr<IPerPropertyBrowsing> browsing =
      As<IPerPropertyBrowsing>(control.Get(), IID_IPerPropertyBrowsing);
  auto shown = [&](DISPID id) {
    Bstr text;
    EXPECT_EQ(browsing->GetDisplayString(id, text.Receive()), S_OK) << id;
    return text.Text();
  };
  EXPECT_EQ(shown(kAlignment), L"2 - tvRight");
  EXPECT_EQ(shown(kReadingOrder), L"1 - LTR");
  control->put_Alignment(tvLeft);
  control->put_ReadingOrder(RTL);
  EXPECT_EQ(shown(kAlignment), L"0 - tvLeft");
  EXPECT_EQ(shown(kReadingOrder), L"0 - RTL");
  // A stored value outside the enumeration is shown as it is.
  control->put_Alignment(static_cast<::TAlignment>(1));
  EXPECT_EQ(shown(kAlignment), L"1");
  Bstr none;
  EXPECT_EQ(browsing->GetDisplayString(DISPID_BACKCOLOR, none.Receive()), E_NOTIMPL);
}

TEST(PropertyBrowsing, MapsPropertiesToThePageThatEditsThem) {
  ComPtr<IOrvaneAutomation> control = NewControl();
  ComPtr<IPerPropertyBrowsing> browsing =
      As<IPerPropertyBrowsing>(control.Get(), IID_IPerPropertyBrowsing);
  CLSID page{};
  ASSERT_EQ(browsing->MapPropertyToPage(kAlignment, &page), S_OK);
  EXPECT_TRUE(IsEqualCLSID(page, kPropPageClsid));
  ASSERT_EQ(browsing->MapPropertyToPage(DISPID_BACKCOLOR, &page), S_OK);
  EXPECT_TRUE(IsEqualCLSID(page, kStandardColorPage));
  EXPECT_EQ(browsing->MapPropertyToPage(12345, &page), PERPROP_E_NOPAGEAVAILABLE);
  EXPECT_TRUE(IsEqualCLSID(page, CLSID_NULL));
}

// ---- IPersistStorage ----

ComPtr<IStorage> NewMemoryStorage() {
  ComPtr<ILockBytes> bytes;
  if (FAILED(CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.Receive()))) return {};
  ComPtr<IStorage> storage;
  StgCreateDocfileOnILockBytes(bytes.Get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                               storage.Receive());
  return storage;
}

TEST(StoragePersistence, SavesIntoTheDocumentsStorageAndLoadsBack) {
  ComPtr<IOrvaneAutomation> saved = NewControl();
  saved->put_Indent(27);
  saved->put_BooksDir(Bstr(L"D:\\Stored").Get());
  saved->put_BackColor(LongVariant(RGB(4, 5, 6)));
  ComPtr<IPersistStorage> persist = As<IPersistStorage>(saved.Get(), IID_IPersistStorage);
  ASSERT_TRUE(persist);
  ComPtr<IStorage> storage = NewMemoryStorage();
  ASSERT_TRUE(storage);
  ASSERT_EQ(persist->Save(storage.Get(), FALSE), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_OK) << "dirty until the container completes the save";
  ASSERT_EQ(persist->SaveCompleted(nullptr), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);

  ComPtr<IStream> contents;
  EXPECT_EQ(storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                contents.Receive()),
            S_OK);
  contents.Reset();

  ComPtr<IOrvaneAutomation> loaded;
  ASSERT_EQ(CreateFromOcx(CLSID_Orvane, IID_IOrvaneAutomation,
                          reinterpret_cast<void**>(loaded.Receive())),
            S_OK);
  ComPtr<IPersistStorage> loader = As<IPersistStorage>(loaded.Get(), IID_IPersistStorage);
  ASSERT_EQ(loader->Load(storage.Get()), S_OK);
  short indent = 0;
  loaded->get_Indent(&indent);
  EXPECT_EQ(indent, 27);
  Bstr dir;
  loaded->get_BooksDir(dir.Receive());
  EXPECT_EQ(dir.Text(), L"D:\\Stored");
  EXPECT_EQ(BackColorOf(loaded.Get()), static_cast<LONG>(RGB(4, 5, 6)));
  EXPECT_EQ(loader->IsDirty(), S_FALSE);
}

TEST(StoragePersistence, RefusesAStorageWithoutItsStreamAndNullStorages) {
  ComPtr<IOrvaneAutomation> control = NewControl();
  ComPtr<IPersistStorage> persist = As<IPersistStorage>(control.Get(), IID_IPersistStorage);
  ComPtr<IStorage> empty = NewMemoryStorage();
  EXPECT_TRUE(FAILED(persist->Load(empty.Get())));
  short indent = 0;
  control->get_Indent(&indent);
  EXPECT_EQ(indent, 18) << "nothing changed";
  EXPECT_EQ(persist->Load(nullptr), E_POINTER);
  EXPECT_EQ(persist->Save(nullptr, TRUE), E_POINTER);
  EXPECT_EQ(persist->InitNew(nullptr), E_POINTER);
  EXPECT_EQ(persist->InitNew(empty.Get()), S_OK);
  EXPECT_EQ(persist->HandsOffStorage(), S_OK);
}

// ---- Ambient values ----

TEST(AmbientValues, StockColoursAndFontFollowTheContainerUntilSet) {
  ComPtr<IOrvaneAutomation> control;
  ASSERT_EQ(CreateFromOcx(CLSID_Orvane, IID_IOrvaneAutomation,
                          reinterpret_cast<void**>(control.Receive())),
            S_OK);
  ComPtr<IOleObject> object = As<IOleObject>(control.Get(), IID_IOleObject);
  ComPtr<AmbientSite> site = ComPtr<AmbientSite>::Adopt(new AmbientSite);
  site->font = MakeFont(L"Tahoma", 12, FW_BOLD);
  // As a container does for a control that wants its site first.
  ASSERT_EQ(object->SetClientSite(site.Get()), S_OK);
  ASSERT_EQ(As<IPersistStreamInit>(control.Get(), IID_IPersistStreamInit)->InitNew(), S_OK);
  EXPECT_EQ(BackColorOf(control.Get()), static_cast<LONG>(RGB(10, 20, 30)));
  LONG fore = 0;
  control->get_ForeColor(&fore);
  EXPECT_EQ(fore, static_cast<LONG>(RGB(200, 100, 50)));
  const auto tahoma = DescribeFont(site->font.Get());
  EXPECT_EQ(tahoma.first, FW_BOLD);
  EXPECT_EQ(FontOf(control.Get()), tahoma);
  ComPtr<IPersistStreamInit> persist =
      As<IPersistStreamInit>(control.Get(), IID_IPersistStreamInit);
  EXPECT_EQ(persist->IsDirty(), S_FALSE) << "following the container changes nothing to save";

  // The container changes its colours: the control follows.
  ComPtr<IOleControl> oleControl = As<IOleControl>(control.Get(), IID_IOleControl);
  site->backColor = RGB(1, 1, 1);
  ASSERT_EQ(oleControl->OnAmbientPropertyChange(DISPID_AMBIENT_BACKCOLOR), S_OK);
  EXPECT_EQ(BackColorOf(control.Get()), static_cast<LONG>(RGB(1, 1, 1)));

  // Once a host sets a value, the container's changes no longer reach it.
  control->put_BackColor(LongVariant(RGB(7, 7, 7)));
  site->backColor = RGB(2, 2, 2);
  site->foreColor = RGB(3, 3, 3);
  site->font = MakeFont(L"Courier New", 14, FW_NORMAL);
  ASSERT_EQ(oleControl->OnAmbientPropertyChange(DISPID_UNKNOWN), S_OK);
  EXPECT_EQ(BackColorOf(control.Get()), static_cast<LONG>(RGB(7, 7, 7)));
  control->get_ForeColor(&fore);
  EXPECT_EQ(fore, static_cast<LONG>(RGB(3, 3, 3))) << "ForeColor was not set";
  EXPECT_EQ(FontOf(control.Get()), DescribeFont(site->font.Get())) << "Font was not set";
  EXPECT_NE(FontOf(control.Get()), tahoma);

  // A stored state sets them all.
  ComPtr<IStream> stream;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive()), S_OK);
  ASSERT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
  stream->Seek({}, STREAM_SEEK_SET, nullptr);
  ASSERT_EQ(persist->Load(stream.Get()), S_OK);
  site->foreColor = RGB(4, 4, 4);
  ASSERT_EQ(oleControl->OnAmbientPropertyChange(DISPID_AMBIENT_FORECOLOR), S_OK);
  control->get_ForeColor(&fore);
  EXPECT_EQ(fore, static_cast<LONG>(RGB(3, 3, 3)));
  object->SetClientSite(nullptr);
}

TEST(AmbientValues, QuickActivationConnectsTheContainerAndHandsOverItsAmbients) {
  ComPtr<IOrvaneAutomation> control;
  ASSERT_EQ(CreateFromOcx(CLSID_Orvane, IID_IOrvaneAutomation,
                          reinterpret_cast<void**>(control.Receive())),
            S_OK);
  ComPtr<IQuickActivate> quick = As<IQuickActivate>(control.Get(), IID_IQuickActivate);
  ASSERT_TRUE(quick);
  ComPtr<AmbientSite> site = ComPtr<AmbientSite>::Adopt(new AmbientSite);
  ComPtr<IFontDisp> font = MakeFont(L"Tahoma", 12, FW_BOLD);
  ComPtr<IFont> ifont = As<IFont>(font.Get(), IID_IFont);
  QACONTAINER container{};
  container.cbSize = sizeof container;
  container.pClientSite = site.Get();
  // The site's IDispatch stands in for an event sink: the control only
  // keeps it and hands back a cookie.
  container.pUnkEventSink = static_cast<IDispatch*>(site.Get());
  container.colorBack = RGB(9, 8, 7);
  container.colorFore = RGB(1, 2, 3);
  container.pFont = ifont.Get();
  QACONTROL answer{};
  answer.cbSize = sizeof answer;
  ASSERT_EQ(quick->QuickActivate(&container, &answer), S_OK);
  EXPECT_EQ(answer.dwMiscStatus, 0x20191u);
  EXPECT_NE(answer.dwEventCookie, 0u);
  EXPECT_EQ(BackColorOf(control.Get()), static_cast<LONG>(RGB(9, 8, 7)));
  EXPECT_EQ(FontOf(control.Get()), DescribeFont(font.Get()));
  EXPECT_NE(FontOf(control.Get()), FontOf(NewControl().Get())) << "not the default font";
  ComPtr<IOleObject> object = As<IOleObject>(control.Get(), IID_IOleObject);
  ComPtr<IOleClientSite> current;
  object->GetClientSite(current.Receive());
  EXPECT_EQ(current.Get(), static_cast<IOleClientSite*>(site.Get()));

  SIZEL size{2000, 1000};
  EXPECT_EQ(quick->SetContentExtent(&size), S_OK);
  SIZEL read{};
  EXPECT_EQ(quick->GetContentExtent(&read), S_OK);
  EXPECT_EQ(read.cx, 2000);
  EXPECT_EQ(read.cy, 1000);

  // A structure too small for the fields the control answers is refused.
  QACONTROL tooSmall{};
  tooSmall.cbSize = 8;
  EXPECT_EQ(quick->QuickActivate(&container, &tooSmall), E_INVALIDARG);
  EXPECT_EQ(quick->QuickActivate(nullptr, &answer), E_POINTER);
  // A size past the structure's own is not trusted for how much to write.
  struct {
    QACONTROL answer;
    DWORD guard;
  } padded{};
  padded.answer.cbSize = 0xFFFFFFF0u;
  padded.guard = 0xA5A5A5A5u;
  EXPECT_EQ(quick->QuickActivate(&container, &padded.answer), S_OK);
  EXPECT_EQ(padded.guard, 0xA5A5A5A5u);
  EXPECT_EQ(padded.answer.dwMiscStatus, 0x20191u);

  ComPtr<IConnectionPointContainer> points =
      As<IConnectionPointContainer>(control.Get(), IID_IConnectionPointContainer);
  ComPtr<IConnectionPoint> events;
  ASSERT_EQ(points->FindConnectionPoint(DIID__DOrvaneEvents, events.Receive()), S_OK);
  EXPECT_EQ(events->Unadvise(answer.dwEventCookie), S_OK);
  object->SetClientSite(nullptr);
}

}  // namespace
}  // namespace orvane::test
