// The control on a form being designed (ambient UserMode false) and on one
// that runs, side by side: painting in design mode reads no book's file,
// and a click only selects the control, where at run time it opens a row.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>

#include "ocx_module.h"
#include "test_container.h"

namespace orvane::test {
namespace {

// An in-place site whose ambient UserMode the test sets, and which counts
// the control's requests to be selected (UI activation).
class ModeSite : public ComBase<ModeSite, IOleClientSite, IOleInPlaceSite, IDispatch> {
 public:
  ModeSite(HWND window, RECT pos, bool running) : m_window(window), m_pos(pos), userMode(running) {}
  static std::span<const InterfaceEntry> Interfaces() {
    using T = ModeSite;
    static const InterfaceEntry kTable[] = {
        {&IID_IOleClientSite, &CastTo<T, IOleClientSite>},
        {&IID_IOleWindow, &CastTo<T, IOleInPlaceSite>},
        {&IID_IOleInPlaceSite, &CastTo<T, IOleInPlaceSite>},
        {&IID_IDispatch, &CastTo<T, IDispatch>},
    };
    return kTable;
  }

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

  // IOleInPlaceSite
  STDMETHODIMP GetWindow(HWND* window) override {
    *window = m_window;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override {
    ++selections;
    return S_OK;
  }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                LPRECT pos, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
    *frame = nullptr;
    *document = nullptr;
    *pos = m_pos;
    *clip = m_pos;
    info->fMDIApp = FALSE;
    info->hwndFrame = m_window;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

  // IDispatch: the ambient UserMode, nothing else.
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
    if (id != DISPID_AMBIENT_USERMODE) return DISP_E_MEMBERNOTFOUND;
    V_VT(result) = VT_BOOL;
    V_BOOL(result) = userMode ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }

  int selections = 0;

 private:
  HWND m_window;
  RECT m_pos;

 public:
  bool userMode;
};

// A catalogue of one category with both test books, their TOC files copied
// into a folder of the test's own so that one can be locked.
std::wstring WriteTwoBookCatalogue(const std::wstring& folder) {
  CreateDirectoryW(folder.c_str(), nullptr);
  for (const wchar_t* name : {L"\\NAHW.TOC", L"\\FIQH.TOC"})
    CopyFileW((DataFolder() + name).c_str(), (folder + name).c_str(), FALSE);
  const std::wstring lines[] = {
      L"[Directories]", L"TOC=" + folder, L"[Books]",     L"Count=2", L"[Categories]",
      L"Count=1",       L"Name1=Library", L"[Category1]", L"Count=2", L"Title1=Nahw",
      L"Name1=NAHW",    L"Title2=Fiqh",   L"Name2=FIQH"};
  std::string text;
  for (const std::wstring& line : lines) {
    for (wchar_t c : line) text += static_cast<char>(c);
    text += "\r\n";
  }
  const std::wstring topic = folder + L"\\TWO";
  HANDLE file =
      CreateFileW((topic + L".INI").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return topic;
}

struct Mode {
  const char* name;
  bool userMode;
};

class DesignMode : public testing::TestWithParam<Mode> {
 protected:
  void SetUp() override {
    control = NewControl();
    ASSERT_TRUE(control);
    site =
        ComPtr<ModeSite>::Adopt(new ModeSite(host.Handle(), {0, 0, 300, 200}, GetParam().userMode));
    object = control.As<IOleObject>(IID_IOleObject);
    ASSERT_TRUE(object);
    auto* clientSite = static_cast<IOleClientSite*>(site.Get());
    ASSERT_EQ(object->SetClientSite(clientSite), S_OK);
    RECT pos{0, 0, 300, 200};
    ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, clientSite, 0, host.Handle(), &pos),
              S_OK);
    PumpMessages();
    // The container's answer is read when the site is set.
    ComPtr<IOleControl> ole = control.As<IOleControl>(IID_IOleControl);
    ole->OnAmbientPropertyChange(DISPID_AMBIENT_USERMODE);
    list = ControlWindowOf(control.Get());
    ASSERT_NE(list, nullptr);
  }
  void TearDown() override {
    CloseInPlace(object.Get());
    object.Reset();
    control.Reset();
  }
  LRESULT Rows() const { return SendMessageW(list, LB_GETCOUNT, 0, 0); }

  HostWindow host;
  ComPtr<IOrvaneAutomation> control;
  ComPtr<ModeSite> site;
  ComPtr<IOleObject> object;
  HWND list = nullptr;
};

// The second book's row is painted, then its file is deleted: its sections
// are there afterwards only if the painting read them.
TEST_P(DesignMode, PaintingReadsABooksFileOnlyWhenTheFormRuns) {
  const std::wstring folder =
      TempFolder() + L"\\design_" +
      std::wstring(GetParam().name, GetParam().name + strlen(GetParam().name));
  Bstr topic(WriteTwoBookCatalogue(folder));
  VARIANT_BOOL loaded = VARIANT_FALSE;
  ASSERT_EQ(control->LoadBooks(topic.Get(), &loaded), S_OK);
  ASSERT_EQ(loaded, VARIANT_TRUE);
  // Opens the category and the first book: the second book's row shows.
  VARIANT_BOOL found = VARIANT_FALSE;
  control->GotoTocPosition(1, 10, &found);
  EXPECT_EQ(found, VARIANT_TRUE);
  RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpMessages();
  ASSERT_TRUE(DeleteFileW((folder + L"\\FIQH.TOC").c_str()));

  Bstr title;
  ASSERT_EQ(control->GetSectionTitle(2, 10, title.Receive()), S_OK);
  EXPECT_EQ(title.Text().empty(), !GetParam().userMode)
      << GetParam().name << ": [" << title.Text().c_str() << "]";
}

// A press on the first row's button opens the category at run time; in
// design mode it opens nothing and asks the container to select the control.
TEST_P(DesignMode, APressOpensARowOnlyWhenTheFormRuns) {
  Bstr topic(WriteTestCatalogue(L"DESIGNPRESS"));
  VARIANT_BOOL loaded = VARIANT_FALSE;
  ASSERT_EQ(control->LoadBooks(topic.Get(), &loaded), S_OK);
  ASSERT_EQ(Rows(), 2);
  RECT client{};
  GetClientRect(list, &client);
  const LPARAM button = MAKELPARAM(client.right - 9, 8);
  site->selections = 0;
  SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, button);
  SendMessageW(list, WM_LBUTTONUP, 0, button);
  PumpMessages();
  EXPECT_EQ(Rows(), GetParam().userMode ? 3 : 2) << GetParam().name;
  if (GetParam().userMode) return;
  EXPECT_EQ(site->selections, 1);

  // The container switching back to run mode gives the rows their input.
  {
    site->userMode = true;
    ComPtr<IOleControl> ole = control.As<IOleControl>(IID_IOleControl);
    ole->OnAmbientPropertyChange(DISPID_AMBIENT_USERMODE);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, button);
    SendMessageW(list, WM_LBUTTONUP, 0, button);
    PumpMessages();
    EXPECT_EQ(Rows(), 3);
  }
}

// A screen reader's default action on the first row (open the category)
// acts only when the form runs.
TEST_P(DesignMode, TheAccessibleDefaultActionActsOnlyWhenTheFormRuns) {
  Bstr topic(WriteTestCatalogue(L"DESIGNACCESS"));
  VARIANT_BOOL loaded = VARIANT_FALSE;
  ASSERT_EQ(control->LoadBooks(topic.Get(), &loaded), S_OK);
  // The import library's IID_IAccessible is a thunk, not the GUID.
  const IID accessibleIid = {
      0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
  ComPtr<IAccessible> accessible;
  ASSERT_EQ(AccessibleObjectFromWindow(list, static_cast<DWORD>(OBJID_CLIENT), accessibleIid,
                                       reinterpret_cast<void**>(accessible.Receive())),
            S_OK);
  VARIANT first;
  VariantInit(&first);
  V_VT(&first) = VT_I4;
  V_I4(&first) = 1;
  const HRESULT hr = accessible->accDoDefaultAction(first);
  PumpMessages();
  EXPECT_EQ(hr, GetParam().userMode ? S_OK : DISP_E_MEMBERNOTFOUND) << GetParam().name;
  EXPECT_EQ(Rows(), GetParam().userMode ? 3 : 2) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(, DesignMode,
                         testing::Values(Mode{"Running", true}, Mode{"Designing", false}),
                         [](const testing::TestParamInfo<Mode>& param) {
                           return std::string(param.param.name);
                         });

}  // namespace
}  // namespace orvane::test
