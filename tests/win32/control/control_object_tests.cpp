// The control object as a host sees it before any window: its identity, its
// class information, its dispatch interface bound by name and by DISPID, the
// refused sets, the modified flag and the module's unload answer.
#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include "ocx_module.h"

namespace orvane::test {
namespace {

// {CB5BDC81-93C1-11CF-8F20-00805F2CD064}: what script hosts ask a control
// that wants to be safe for untrusted pages.
const IID kIObjectSafety = {
    0xcb5bdc81, 0x93c1, 0x11cf, {0x8f, 0x20, 0x00, 0x80, 0x5f, 0x2c, 0xd0, 0x64}};

template <class I>
ComPtr<I> As(IUnknown* object, REFIID iid) {
  ComPtr<I> result;
  object->QueryInterface(iid, reinterpret_cast<void**>(result.Receive()));
  return result;
}

TEST(ControlObject, AnswersEveryInterfaceWithOneIdentity) {
  ComPtr<IOrvaneAutomation> control = NewControl();
  ASSERT_TRUE(control);
  ComPtr<IUnknown> identity = As<IUnknown>(control.Get(), IID_IUnknown);
  for (const IID* iid :
       {&IID_IDispatch, &DIID__DOrvane, &IID_IOleObject, &IID_IOleInPlaceObject,
        &IID_IOleInPlaceActiveObject, &IID_IOleControl, &IID_IViewObject2, &IID_IPersistStreamInit,
        &IID_IPersistStream, &IID_IPersistPropertyBag, &IID_IConnectionPointContainer,
        &IID_IProvideClassInfo2, &IID_ISpecifyPropertyPages, &IID_IPerPropertyBrowsing,
        &IID_IQuickActivate, &IID_IPersistStorage}) {
    ComPtr<IUnknown> part = As<IUnknown>(control.Get(), *iid);
    ASSERT_TRUE(part);
    EXPECT_EQ(As<IUnknown>(part.Get(), IID_IUnknown).Get(), identity.Get());
  }
  EXPECT_FALSE(As<IUnknown>(control.Get(), IID_IOleCache));
  // Not safe for scripting: the control opens files its caller names, so it
  // does not offer to be made safe for untrusted pages.
  EXPECT_FALSE(As<IUnknown>(control.Get(), kIObjectSafety));
}

TEST(ControlObject, ReportsItsStatusTypeNameAndPages) {
  ComPtr<IOrvaneAutomation> control = NewControl();
  ComPtr<IOleObject> object = As<IOleObject>(control.Get(), IID_IOleObject);
  DWORD status = 0;
  ASSERT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
  EXPECT_EQ(status, 0x20191u);
  LPOLESTR name = nullptr;
  ASSERT_EQ(object->GetUserType(USERCLASSTYPE_FULL, &name), S_OK);
  EXPECT_STREQ(name, L"Orvane Control");
  CoTaskMemFree(name);

  CAUUID pages{};
  ASSERT_EQ(As<ISpecifyPropertyPages>(control.Get(), IID_ISpecifyPropertyPages)->GetPages(&pages),
            S_OK);
  ASSERT_EQ(pages.cElems, 3u);
  const CLSID page = {0x2a78a059, 0x1bd4, 0x4d73, {0xa4, 0xf9, 0xdd, 0x40, 0x66, 0x37, 0x82, 0xbc}};
  const CLSID colours = {
      0x0be35201, 0x8f91, 0x11ce, {0x9d, 0xe3, 0x00, 0xaa, 0x00, 0x4b, 0xb8, 0x51}};
  const CLSID fonts = {
      0x0be35200, 0x8f91, 0x11ce, {0x9d, 0xe3, 0x00, 0xaa, 0x00, 0x4b, 0xb8, 0x51}};
  EXPECT_TRUE(IsEqualGUID(pages.pElems[0], page));
  EXPECT_TRUE(IsEqualGUID(pages.pElems[1], colours));
  EXPECT_TRUE(IsEqualGUID(pages.pElems[2], fonts));
  CoTaskMemFree(pages.pElems);
}

TEST(ControlObject, DescribesItselfFromTheTypeLibrary) {
  ComPtr<IOrvaneAutomation> control = NewControl();
  ComPtr<IProvideClassInfo2> info = As<IProvideClassInfo2>(control.Get(), IID_IProvideClassInfo2);
  GUID events{};
  ASSERT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
  EXPECT_TRUE(IsEqualGUID(events, DIID__DOrvaneEvents));

  ComPtr<ITypeInfo> coclass;
  ASSERT_EQ(info->GetClassInfo(coclass.Receive()), S_OK);
  Bstr name;
  coclass->GetDocumentation(MEMBERID_NIL, name.Receive(), nullptr, nullptr, nullptr);
  EXPECT_EQ(name.Text(), L"Orvane");

  ComPtr<ITypeInfo> dispatchInfo;
  ASSERT_EQ(control->GetTypeInfo(0, LOCALE_USER_DEFAULT, dispatchInfo.Receive()), S_OK);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(dispatchInfo->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
  EXPECT_TRUE(IsEqualGUID(attr->guid, DIID__DOrvane));
  dispatchInfo->ReleaseTypeAttr(attr);
}

TEST(ControlObject, NamesBindToTheTableIdentifiers) {
  ComPtr<IOrvaneAutomation> control = NewControl();
  const std::pair<const wchar_t*, DISPID> table[] = {
      {L"Indent", ORVANE_DISPID_INDENT},
      {L"ShowBalloonHelp", ORVANE_DISPID_SHOWBALLOONHELP},
      {L"ElapsedTime", ORVANE_DISPID_ELAPSEDTIME},
      {L"TocFile", ORVANE_DISPID_TOCFILE},
      {L"ApplyCheck", ORVANE_DISPID_APPLYCHECK},
      {L"TopicName", ORVANE_DISPID_TOPICNAME},
      {L"Alignment", ORVANE_DISPID_ALIGNMENT},
      {L"Fonta", ORVANE_DISPID_FONTA},
      {L"ReadingOrder", ORVANE_DISPID_READINGORDER},
      {L"FilePos", ORVANE_DISPID_FILEPOS},
      {L"BooksDir", ORVANE_DISPID_BOOKSDIR},
      {L"ActiveCategory", ORVANE_DISPID_ACTIVECATEGORY},
      {L"ActiveBook", ORVANE_DISPID_ACTIVEBOOK},
      {L"Demo", ORVANE_DISPID_DEMO},
      {L"LoadFromTocFile", ORVANE_DISPID_LOADFROMTOCFILE},
      {L"LoadFromTextFile", ORVANE_DISPID_LOADFROMTEXTFILE},
      {L"AddChild", ORVANE_DISPID_ADDCHILD},
      {L"AddSibling", ORVANE_DISPID_ADDSIBLING},
      {L"ChangeStateSelected", ORVANE_DISPID_CHANGESTATESELECTED},
      {L"LoadBooks", ORVANE_DISPID_LOADBOOKS},
      {L"GetSectionTitle", ORVANE_DISPID_GETSECTIONTITLE},
      {L"GotoTocPosition", ORVANE_DISPID_GOTOTOCPOSITION},
      {L"SetStateBook", ORVANE_DISPID_SETSTATEBOOK},
      {L"GetStateBook", ORVANE_DISPID_GETSTATEBOOK},
      {L"ActivateBook", ORVANE_DISPID_ACTIVATEBOOK},
      {L"DeactivateBook", ORVANE_DISPID_DEACTIVATEBOOK},
      {L"GetParentPos", ORVANE_DISPID_GETPARENTPOS},
      {L"AboutBox", DISPID_ABOUTBOX},
      {L"BackColor", DISPID_BACKCOLOR},
      {L"ForeColor", DISPID_FORECOLOR},
      {L"BorderStyle", DISPID_BORDERSTYLE},
      {L"Font", DISPID_FONT},
      {L"applycheck", ORVANE_DISPID_APPLYCHECK}};
  for (const auto& [name, id] : table) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID found = 0;
    ASSERT_EQ(control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &found), S_OK)
        << name;
    EXPECT_EQ(found, id) << name;
  }
  LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"ShowHint")};
  DISPID found = 0;
  EXPECT_EQ(control->GetIDsOfNames(IID_NULL, unknown, 1, LOCALE_USER_DEFAULT, &found),
            DISP_E_UNKNOWNNAME);
}

TEST(ControlObject, ReadOnlyPropertiesRefuseSetsWithSetNotSupported) {
  ComPtr<IOrvaneAutomation> control = NewControl();
  for (DISPID id :
       {ORVANE_DISPID_FILEPOS, ORVANE_DISPID_ACTIVECATEGORY, ORVANE_DISPID_ACTIVEBOOK}) {
    VARIANT value{};
    V_VT(&value) = VT_I4;
    V_I4(&value) = 5;
    EXCEPINFO exception{};
    EXPECT_EQ(InvokeById(control.Get(), id, DISPATCH_PROPERTYPUT, {value}, nullptr, &exception),
              DISP_E_EXCEPTION)
        << id;
    EXPECT_EQ(exception.scode, CTL_E_SETNOTSUPPORTED) << id;
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  }
  LONG filePos = -1;
  control->get_FilePos(&filePos);
  EXPECT_EQ(filePos, 0);
}

TEST(ControlObject, DispatchRefusesWrongArgumentsBeforeTheControl) {
  ComPtr<IOrvaneAutomation> control = NewControl();
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(InvokeById(control.Get(), ORVANE_DISPID_GETSTATEBOOK, DISPATCH_METHOD, {}, &result),
            DISP_E_BADPARAMCOUNT);
  VARIANT text;
  VariantInit(&text);
  V_VT(&text) = VT_BSTR;
  V_BSTR(&text) = SysAllocString(L"not a number");
  EXPECT_EQ(InvokeById(control.Get(), ORVANE_DISPID_GETSTATEBOOK, DISPATCH_METHOD, {text}, &result),
            DISP_E_TYPEMISMATCH);
  VariantClear(&text);
  EXPECT_EQ(InvokeById(control.Get(), 99, DISPATCH_METHOD, {}, &result), DISP_E_MEMBERNOTFOUND);
}

TEST(ControlObject, HostileCallsGetErrorsNotCrashes) {
  ComPtr<IOrvaneAutomation> control = NewControl();
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(control->Invoke(ORVANE_DISPID_INDENT, IID_NULL, 0, DISPATCH_PROPERTYGET, nullptr,
                            &result, nullptr, nullptr),
            S_OK);
  EXPECT_EQ(V_I2(&result), 18) << "a property read with no parameter block";
  DISPPARAMS broken{nullptr, nullptr, 2, 0};
  EXPECT_EQ(control->Invoke(ORVANE_DISPID_GETPARENTPOS, IID_NULL, 0, DISPATCH_METHOD, &broken,
                            &result, nullptr, nullptr),
            E_INVALIDARG);
  EXPECT_EQ(control->Invoke(ORVANE_DISPID_INDENT, IID_IDispatch, 0, DISPATCH_PROPERTYGET, nullptr,
                            &result, nullptr, nullptr),
            DISP_E_UNKNOWNINTERFACE);
  LPOLESTR names[] = {nullptr};
  DISPID id = 0;
  EXPECT_EQ(control->GetIDsOfNames(IID_NULL, names, 1, 0, &id), E_POINTER);
  ComPtr<ITypeInfo> info;
  EXPECT_EQ(control->GetTypeInfo(1, 0, info.Receive()), DISP_E_BADINDEX);

  ComPtr<IPersistPropertyBag> bag = As<IPersistPropertyBag>(control.Get(), IID_IPersistPropertyBag);
  EXPECT_EQ(bag->Load(nullptr, nullptr), E_POINTER);
  EXPECT_EQ(bag->Save(nullptr, TRUE, TRUE), E_POINTER);
  ComPtr<IPersistStreamInit> stream = As<IPersistStreamInit>(control.Get(), IID_IPersistStreamInit);
  EXPECT_EQ(stream->Load(nullptr), E_POINTER);
  ComPtr<IOleObject> object = As<IOleObject>(control.Get(), IID_IOleObject);
  EXPECT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, nullptr, nullptr),
            E_UNEXPECTED)
      << "no site to activate in";
  EXPECT_EQ(object->GetExtent(DVASPECT_CONTENT, nullptr), E_POINTER);
  ComPtr<IOleInPlaceObject> inPlace = As<IOleInPlaceObject>(control.Get(), IID_IOleInPlaceObject);
  EXPECT_EQ(inPlace->SetObjectRects(nullptr, nullptr), E_POINTER);
  ComPtr<IConnectionPointContainer> points =
      As<IConnectionPointContainer>(control.Get(), IID_IConnectionPointContainer);
  ComPtr<IConnectionPoint> point;
  ASSERT_EQ(points->FindConnectionPoint(DIID__DOrvaneEvents, point.Receive()), S_OK);
  DWORD cookie = 0;
  EXPECT_EQ(point->Advise(nullptr, &cookie), E_POINTER);
  EXPECT_EQ(point->Unadvise(12345), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(points->FindConnectionPoint(IID_IDispatch, point.Receive()), CONNECT_E_NOCONNECTION);
}

TEST(ControlObject, PropertySetsMarkItModifiedAndQueriesDoNot) {
  ComPtr<IOrvaneAutomation> control = NewControl();
  ComPtr<IPersistStreamInit> persist =
      As<IPersistStreamInit>(control.Get(), IID_IPersistStreamInit);
  EXPECT_EQ(persist->IsDirty(), S_FALSE) << "a new control";

  Bstr topic(WriteTestCatalogue(L"DIRTY"));
  VARIANT_BOOL loaded = VARIANT_FALSE;
  control->LoadBooks(topic.Get(), &loaded);
  control->put_TocFile(Bstr(L"1").Get());
  ComPtr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive());
  ASSERT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
  ASSERT_EQ(persist->IsDirty(), S_FALSE);

  control->LoadFromTocFile(Bstr(L"143").Get());
  Bstr tocFile;
  control->get_TocFile(tocFile.Receive());
  EXPECT_EQ(tocFile.Text(), L"221");
  EXPECT_EQ(persist->IsDirty(), S_FALSE) << "LoadFromTocFile changes TocFile without marking";

  struct Setter {
    const char* name;
    HRESULT (*set)(IOrvaneAutomation*);
  } setters[] = {
      {"Indent", [](IOrvaneAutomation* c) { return c->put_Indent(20); }},
      {"ShowBalloonHelp",
       [](IOrvaneAutomation* c) { return c->put_ShowBalloonHelp(VARIANT_FALSE); }},
      {"ElapsedTime", [](IOrvaneAutomation* c) { return c->put_ElapsedTime(10); }},
      {"ApplyCheck", [](IOrvaneAutomation* c) { return c->put_ApplyCheck(VARIANT_TRUE); }},
      {"TopicName", [](IOrvaneAutomation* c) { return c->put_TopicName(Bstr(L"X").Get()); }},
      {"Alignment", [](IOrvaneAutomation* c) { return c->put_Alignment(tvLeft); }},
      {"ReadingOrder", [](IOrvaneAutomation* c) { return c->put_ReadingOrder(RTL); }},
      {"BooksDir", [](IOrvaneAutomation* c) { return c->put_BooksDir(Bstr(L"D:\\").Get()); }},
      {"BackColor", [](IOrvaneAutomation* c) { return c->put_BackColor(LongVariant(0xFF)); }},
  };
  for (const Setter& setter : setters) {
    ASSERT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
    ASSERT_EQ(setter.set(control.Get()), S_OK) << setter.name;
    EXPECT_EQ(persist->IsDirty(), S_OK) << setter.name;
  }
  ASSERT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
  control->put_FilePos(3);
  EXPECT_EQ(persist->IsDirty(), S_FALSE) << "a refused set";
}

TEST(ControlObject, ChangingAFontObjectItHandedOutMarksItModified) {
  ComPtr<IOrvaneAutomation> control = NewControl();
  ComPtr<IPersistStreamInit> persist =
      As<IPersistStreamInit>(control.Get(), IID_IPersistStreamInit);
  for (bool stock : {false, true}) {
    ComPtr<IFontDisp> fontDisp;
    if (stock)
      control->get_Font(fontDisp.Receive());
    else
      control->get_Fonta(fontDisp.Receive());
    ASSERT_TRUE(fontDisp);
    ComPtr<IFont> font = fontDisp.As<IFont>(IID_IFont);
    ComPtr<IStream> stream;
    CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive());
    ASSERT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
    CY size{};
    size.int64 = 230000;
    ASSERT_EQ(font->put_Size(size), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_OK) << (stock ? "Font" : "Fonta");
  }
  // A font that was replaced no longer speaks for the control.
  ComPtr<IFontDisp> old;
  control->get_Fonta(old.Receive());
  control->putref_Fonta(nullptr);
  ComPtr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive());
  ASSERT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
  CY size{};
  size.int64 = 90000;
  old.As<IFont>(IID_IFont)->put_Size(size);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);
}

TEST(ControlObject, DrawsItsBackColorIntoAContainersContextWithoutAWindow) {
  ComPtr<IOrvaneAutomation> control = NewControl();
  ASSERT_EQ(control->put_BackColor(LongVariant(RGB(10, 20, 30))), S_OK);
  ComPtr<IViewObject2> view = As<IViewObject2>(control.Get(), IID_IViewObject2);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 20, 20);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECTL bounds{0, 0, 20, 20};
  EXPECT_EQ(
      view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0),
      S_OK);
  EXPECT_EQ(GetPixel(dc, 10, 10), RGB(10, 20, 30));
  EXPECT_EQ(
      view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0),
      DV_E_DVASPECT);
  EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, nullptr, &bounds, nullptr,
                       nullptr, 0),
            E_INVALIDARG);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST(ControlModule, MayUnloadOnlyWhenNoObjectIsLeft) {
  auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(GetProcAddress(OcxModule(), "DllCanUnloadNow")));
  ASSERT_NE(canUnload, nullptr);
  {
    ComPtr<IOrvaneAutomation> control = NewControl();
    ASSERT_TRUE(control);
    EXPECT_EQ(canUnload(), S_FALSE);
  }
  EXPECT_EQ(canUnload(), S_OK);

  ComPtr<IClassFactory> factory;
  auto getClassObject = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
      reinterpret_cast<void*>(GetProcAddress(OcxModule(), "DllGetClassObject")));
  ASSERT_EQ(
      getClassObject(CLSID_Orvane, IID_IClassFactory, reinterpret_cast<void**>(factory.Receive())),
      S_OK);
  factory->LockServer(TRUE);
  factory.Reset();
  EXPECT_EQ(canUnload(), S_FALSE) << "a lock holds the module";
  ASSERT_EQ(
      getClassObject(CLSID_Orvane, IID_IClassFactory, reinterpret_cast<void**>(factory.Receive())),
      S_OK);
  factory->LockServer(FALSE);
  factory.Reset();
  EXPECT_EQ(canUnload(), S_OK);

  IUnknown* none = nullptr;
  EXPECT_EQ(getClassObject(IID_IUnknown, IID_IClassFactory, reinterpret_cast<void**>(&none)),
            CLASS_E_CLASSNOTAVAILABLE);
}

}  // namespace
}  // namespace orvane::test
