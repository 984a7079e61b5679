// Each member a host or a screen reader calls, and the paint and input
// messages, with the Nth allocation they make failing for every N: no C++
// exception may come out of the control (the 32-bit build cannot unwind
// through the system's frames at all), each call answers with its own
// failure, and the control goes on working and lets the module unload.
#include <gtest/gtest.h>
#include <oleacc.h>
#include <windows.h>

#include <functional>
#include <string>

#include "control/framework/class_factory.h"
#include "control/framework/com_module.h"
#include "control/orvane_ctrl.h"
#include "tests/native/allocation_faults.h"
#include "tests/win32/control/ocx_module.h"
#include "tests/win32/control/test_container.h"

namespace orvane::test {
namespace {

const IID kAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

bool Acceptable(HRESULT hr) {
  return hr == S_OK || hr == S_FALSE || hr == E_OUTOFMEMORY || hr == E_FAIL ||
         hr == DISP_E_MEMBERNOTFOUND;
}

VARIANT Child(long id) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_I4;
  V_I4(&v) = id;
  return v;
}

// A control made in this program, active in place in the shared window,
// with the test catalogue loaded and its first category open.
class Hosted {
 public:
  Hosted() {
    ComModule::SetInstance(GetModuleHandleW(nullptr));
    control = new COrvaneCtrl();
    ComPtr<IPersistStreamInit> init =
        ComPtr<IUnknown>(control->Identity()).As<IPersistStreamInit>(IID_IPersistStreamInit);
    if (init) init->InitNew();
    site = new TestSite(Window().Handle(), RECT{0, 0, 300, 200});
    object = ActivateInPlace(control->Identity(), site, Window().Handle(), RECT{0, 0, 300, 200});
    window = ControlWindowOf(control->Identity());
    VARIANT_BOOL loaded = VARIANT_FALSE;
    control->LoadBooks(topic.Get(), &loaded);
    VARIANT_BOOL found = VARIANT_FALSE;
    control->GotoTocPosition(1, 10, &found);
    // Made before any fault is armed: a screen reader holds it already.
    Accessible();
  }
  ~Hosted() {
    if (accessible) accessible->Release();
    if (object) CloseInPlace(object.Get());
    object.Reset();
    PumpMessages();
    control->AddRef();
    controlRefs = control->Release();
    control->Release();
    site->AddRef();
    siteRefs = site->Release();
    site->Release();
  }
  static inline ULONG controlRefs = 0;
  static inline ULONG siteRefs = 0;
  Hosted(const Hosted&) = delete;
  Hosted& operator=(const Hosted&) = delete;

  IAccessible* Accessible() {
    if (!accessible && window) {
      AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kAccessible,
                                 reinterpret_cast<void**>(&accessible));
    }
    return accessible;
  }

  static HostWindow& Window() {
    static HostWindow shared;
    return shared;
  }

  Bstr topic{WriteTestCatalogue(L"FAULTS")};
  COrvaneCtrl* control = nullptr;
  TestSite* site = nullptr;
  ComPtr<IOleObject> object;
  HWND window = nullptr;
  IAccessible* accessible = nullptr;
};

struct Call {
  const char* name;
  // What is done with the faults armed; returns the HRESULT it answered
  // (S_OK for a message).
  std::function<HRESULT(Hosted&)> run;
};

// The control's class as the module's factory makes it.
const ClassDescription kControlClass{&CLSID_Orvane, &CreateInstanceOf<COrvaneCtrl>, nullptr,
                                     nullptr};

const std::vector<Call>& Calls() {
  static const std::vector<Call> calls{
      {"CreateInstance",
       [](Hosted&) {
         // On the stack: making the factory must not take the fault.
         ClassFactory factory(kControlClass);
         IUnknown* made = nullptr;
         HRESULT hr =
             factory.CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&made));
         if (made) made->Release();
         return hr;
       }},
      {"LoadBooks",
       [](Hosted& h) {
         VARIANT_BOOL result = VARIANT_FALSE;
         return h.control->LoadBooks(h.topic.Get(), &result);
       }},
      {"GetParentPos",
       [](Hosted& h) {
         // A fresh load, so that the book is read under the fault.
         LONG result = 0;
         VARIANT_BOOL loaded = VARIANT_FALSE;
         HRESULT hr = h.control->LoadBooks(h.topic.Get(), &loaded);
         return hr != S_OK ? hr : h.control->GetParentPos(2, 40, &result);
       }},
      {"GetSectionTitle",
       [](Hosted& h) {
         BSTR title = nullptr;
         HRESULT hr = h.control->GetSectionTitle(1, 10, &title);
         SysFreeString(title);
         return hr;
       }},
      {"GotoTocPosition",
       [](Hosted& h) {
         VARIANT_BOOL found = VARIANT_FALSE;
         return h.control->GotoTocPosition(2, 10, &found);
       }},
      {"AddChild",
       [](Hosted& h) {
         // The new item's Node is the caller's to release.
         IUnknown* node = nullptr;
         const HRESULT hr = h.control->AddChild(0, Bstr(L"item").Get(), &node);
         if (node) node->Release();
         return hr;
       }},
      {"ApplyCheck", [](Hosted& h) { return h.control->put_ApplyCheck(VARIANT_TRUE); }},
      {"TopicName", [](Hosted& h) { return h.control->put_TopicName(Bstr(L"elsewhere").Get()); }},
      {"GetDisplayString",
       [](Hosted& h) {
         ComPtr<IPerPropertyBrowsing> browsing =
             ComPtr<IUnknown>(h.control->Identity())
                 .As<IPerPropertyBrowsing>(IID_IPerPropertyBrowsing);
         BSTR text = nullptr;
         HRESULT hr = browsing ? browsing->GetDisplayString(DISPID_FONT, &text) : E_FAIL;
         SysFreeString(text);
         return hr == E_NOTIMPL || hr == S_FALSE ? S_OK : hr;
       }},
      {"get_accName",
       [](Hosted& h) {
         BSTR name = nullptr;
         HRESULT hr = h.Accessible() ? h.Accessible()->get_accName(Child(2), &name) : S_OK;
         SysFreeString(name);
         return hr;
       }},
      {"get_accState",
       [](Hosted& h) {
         VARIANT state;
         VariantInit(&state);
         HRESULT hr = h.Accessible() ? h.Accessible()->get_accState(Child(2), &state) : S_OK;
         VariantClear(&state);
         return hr;
       }},
      {"get_accDefaultAction",
       [](Hosted& h) {
         BSTR action = nullptr;
         HRESULT hr =
             h.Accessible() ? h.Accessible()->get_accDefaultAction(Child(2), &action) : S_OK;
         SysFreeString(action);
         return hr;
       }},
      {"accDoDefaultAction",
       [](Hosted& h) {
         return h.Accessible() ? h.Accessible()->accDoDefaultAction(Child(2)) : S_OK;
       }},
      {"WM_PAINT",
       [](Hosted& h) {
         InvalidateRect(h.window, nullptr, TRUE);
         UpdateWindow(h.window);
         // However the paint ended, the region is painted: a paint that
         // failed must not be asked for again and again.
         return GetUpdateRect(h.window, nullptr, FALSE) ? E_UNEXPECTED : S_OK;
       }},
      {"key_Down",
       [](Hosted& h) {
         SendMessageW(h.window, WM_KEYDOWN, VK_DOWN, 0);
         return S_OK;
       }},
      {"key_Add",
       [](Hosted& h) {
         SendMessageW(h.window, WM_KEYDOWN, VK_ADD, 0);
         return S_OK;
       }},
      {"key_AddOnTop",
       [](Hosted& h) {
         SendMessageW(h.window, LB_SETCURSEL, 0, 0);
         SendMessageW(h.window, WM_KEYDOWN, VK_ADD, 0);
         return S_OK;
       }},
      {"key_DownAdd",
       [](Hosted& h) {
         // Onto the section row below, then open it.
         SendMessageW(h.window, WM_KEYDOWN, VK_DOWN, 0);
         SendMessageW(h.window, WM_KEYDOWN, VK_ADD, 0);
         return S_OK;
       }},
      {"keys_EveryRow",
       [](Hosted& h) {
         // Each key that opens, closes or moves, from each row in turn.
         const WPARAM keys[] = {VK_ADD, VK_MULTIPLY, VK_RIGHT, VK_SUBTRACT, VK_LEFT, VK_DOWN};
         for (LRESULT row = 0; row < SendMessageW(h.window, LB_GETCOUNT, 0, 0); ++row) {
           for (WPARAM key : keys) {
             SendMessageW(h.window, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
             SendMessageW(h.window, WM_KEYDOWN, key, 0);
           }
         }
         return S_OK;
       }},
      {"key_Right",
       [](Hosted& h) {
         SendMessageW(h.window, WM_KEYDOWN, VK_RIGHT, 0);
         return S_OK;
       }},
  };
  return calls;
}

class BoundaryFaults : public ::testing::TestWithParam<size_t> {};

TEST_P(BoundaryFaults, NoExceptionLeavesAndTheControlGoesOn) {
  const Call& call = Calls()[GetParam()];
  ASSERT_TRUE(ComModule::CanUnload());
  {
    Hosted hosted;
    call.run(hosted);
  }
  // Without a fault, the call leaves no reference behind.
  ASSERT_TRUE(ComModule::CanUnload())
      << call.name << " refs " << Hosted::controlRefs << "/" << Hosted::siteRefs;
  for (int64_t nth = 1;; ++nth) {
    bool struck = false;
    {
      Hosted hosted;
      ASSERT_NE(hosted.window, nullptr);
      HRESULT hr = S_OK;
      bool escaped = false;
      {
        AllocationFaultScope fault(nth);
        try {
          hr = call.run(hosted);
        } catch (...) {
          escaped = true;
        }
        struck = AllocationFaultHappened();
      }
      ASSERT_FALSE(escaped) << call.name << ": an exception left the control at allocation " << nth;
      EXPECT_TRUE(Acceptable(hr)) << call.name << ", allocation " << nth << ": 0x" << std::hex
                                  << hr;
      // Everything works again without the fault.
      VARIANT_BOOL loaded = VARIANT_FALSE;
      EXPECT_EQ(hosted.control->LoadBooks(hosted.topic.Get(), &loaded), S_OK);
      VARIANT_BOOL found = VARIANT_FALSE;
      EXPECT_EQ(hosted.control->GotoTocPosition(1, 10, &found), S_OK);
      EXPECT_EQ(found, VARIANT_TRUE) << call.name << ", allocation " << nth;
      InvalidateRect(hosted.window, nullptr, TRUE);
      UpdateWindow(hosted.window);
    }
    // No reference was left behind: the module could unload.
    ASSERT_TRUE(ComModule::CanUnload()) << call.name << ", allocation " << nth << " refs "
                                        << Hosted::controlRefs << "/" << Hosted::siteRefs;
    if (!struck) break;
  }
}

HWND g_watched = nullptr;
int g_reorders = 0;

void CALLBACK HearReorder(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG, DWORD,
                          DWORD) {
  if (event == EVENT_OBJECT_REORDER && window == g_watched && object == OBJID_CLIENT) {
    ++g_reorders;
  }
}

// However far a load got before memory ran out, it replaced the rows a
// screen reader had read, and the reader hears so.
TEST(LoadFaults, AScreenReaderHearsOfTheRowsAFailedLoadReplaced) {
  for (int64_t nth = 1;; ++nth) {
    Hosted hosted;
    g_watched = hosted.window;
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_REORDER, nullptr,
                                         HearReorder, 0, 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_TRUE(hook);
    PumpMessages();
    g_reorders = 0;
    bool struck = false;
    {
      AllocationFaultScope fault(nth);
      VARIANT_BOOL loaded = VARIANT_FALSE;
      hosted.control->LoadBooks(hosted.topic.Get(), &loaded);
      struck = AllocationFaultHappened();
    }
    for (int i = 0; i < 3; ++i) {
      PumpMessages();
      Sleep(5);
    }
    UnhookWinEvent(hook);
    g_watched = nullptr;
    EXPECT_GE(g_reorders, 1) << "allocation " << nth;
    if (!struck) break;
  }
}

INSTANTIATE_TEST_SUITE_P(Calls, BoundaryFaults, ::testing::Range<size_t>(0, Calls().size()),
                         [](const ::testing::TestParamInfo<size_t>& param) {
                           return std::string(Calls()[param.param].name);
                         });

}  // namespace
}  // namespace orvane::test
