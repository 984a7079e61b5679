#include "hosts/testcon/host_object.h"

#include <algorithm>
#include <new>
#include <string_view>

#include "control/orvane_inspect.h"
#include "hosts/testcon/com_support.h"
#include "hosts/testcon/hosted_control.h"
#include "hosts/testcon/input_driver.h"
#include "hosts/testcon/message_pump.h"
#include "hosts/testcon/screen_capture.h"
#include "hosts/testcon/text_io.h"

namespace testcon {
namespace {

enum MemberId : DISPID {
  kEcho = 1,
  kRows,
  kSelection,
  kTopIndex,
  kClick,
  kDoubleClick,
  kMouseDown,
  kMouseUp,
  kMouseMove,
  kKey,
  kChar,
  kWait,
  kScreenshot,
  kSaveProperties,
  kLoadProperties,
  kRecreate,
  kScriptDir,
  kColour,
  kCountColour,
  kSameArea,
};

constexpr LCID kInvariantLocale =
    MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
// Wait's ceiling: longer waits are mistakes in a test script.
constexpr long kLongestWaitMs = 600000;

// A failure of a Host member, reported to the script as an error whose
// description is `message`.
struct HostFailure {
  std::wstring message;
};

std::wstring HexCode(HRESULT hr) {
  wchar_t code[16];
  wsprintfW(code, L"0x%08X", static_cast<unsigned>(hr));
  return code;
}

void SetLong(VARIANT* result, long value) {
  if (result == nullptr) return;
  V_VT(result) = VT_I4;
  V_I4(result) = value;
}

void SetBool(VARIANT* result, bool value) {
  if (result == nullptr) return;
  V_VT(result) = VT_BOOL;
  V_BOOL(result) = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void SetText(VARIANT* result, std::wstring_view text) {
  if (result == nullptr) return;
  BSTR s = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (s == nullptr) throw std::bad_alloc();
  V_VT(result) = VT_BSTR;
  V_BSTR(result) = s;
}

}  // namespace

struct HostObject::Member {
  const wchar_t* name;
  DISPID id;
  bool isProperty;  // read-only property; everything else is a method
  UINT minArgs;
  UINT maxArgs;
  Handler handler;
};

// The arguments of one call, by position (DISPPARAMS holds them last first).
class HostObject::Arguments {
 public:
  Arguments(const Member& member, DISPPARAMS* params) : m_member(member), m_params(params) {}

  UINT Count() const { return m_params ? m_params->cArgs : 0; }

  bool Present(UINT i) const {
    if (i >= Count()) return false;
    const VARIANT* v = Raw(i);
    return !(V_VT(v) == VT_ERROR && V_ERROR(v) == DISP_E_PARAMNOTFOUND) && V_VT(v) != VT_EMPTY;
  }

  long Integer(UINT i, const wchar_t* what) const {
    ScopedVariant v;
    if (!Present(i) || FAILED(VariantChangeTypeEx(&v.v, Raw(i), kInvariantLocale, 0, VT_I4)))
      Fail(what, L"must be a whole number");
    return V_I4(&v.v);
  }

  bool Boolean(UINT i, const wchar_t* what) const {
    if (!Present(i)) return false;
    ScopedVariant v;
    if (FAILED(VariantChangeTypeEx(&v.v, Raw(i), kInvariantLocale, 0, VT_BOOL)))
      Fail(what, L"must be True or False");
    return V_BOOL(&v.v) != VARIANT_FALSE;
  }

  std::wstring Text(UINT i, const wchar_t* what) const {
    if (i >= Count()) Fail(what, L"is missing");
    VARIANT* raw = Raw(i);
    if (V_VT(raw) == VT_NULL || V_VT(raw) == VT_EMPTY) return {};
    ScopedVariant v;
    if (FAILED(VariantChangeTypeEx(&v.v, raw, kInvariantLocale, VARIANT_ALPHABOOL, VT_BSTR)))
      Fail(what, L"must be text");
    return std::wstring(V_BSTR(&v.v), SysStringLen(V_BSTR(&v.v)));
  }

  std::wstring Path(UINT i) const {
    std::wstring path = Text(i, L"path");
    if (path.empty()) Fail(L"path", L"is empty");
    return WindowsPathFrom(path);
  }

  [[noreturn]] void Fail(const wchar_t* what, const wchar_t* problem) const {
    throw HostFailure{std::wstring(L"Host.") + m_member.name + L": " + what + L" " + problem};
  }
  [[noreturn]] void FailToSend() const {
    Fail(L"the input", L"could not be sent to the control's window");
  }

 private:
  VARIANT* Raw(UINT i) const {
    VARIANT* v = &m_params->rgvarg[m_params->cArgs - 1 - i];
    while (V_VT(v) == (VT_BYREF | VT_VARIANT)) v = V_VARIANTREF(v);
    return v;
  }

  const Member& m_member;
  DISPPARAMS* m_params;
};

const HostObject::Member HostObject::kMembers[] = {
    {L"Echo", kEcho, false, 1, 1, &HostObject::Echo},
    {L"Rows", kRows, false, 0, 0, &HostObject::Rows},
    {L"Selection", kSelection, true, 0, 0, &HostObject::Selection},
    {L"TopIndex", kTopIndex, true, 0, 0, &HostObject::TopIndex},
    {L"Click", kClick, false, 2, 2, &HostObject::Click},
    {L"DoubleClick", kDoubleClick, false, 2, 2, &HostObject::DoubleClick},
    {L"MouseDown", kMouseDown, false, 2, 2, &HostObject::MouseDown},
    {L"MouseUp", kMouseUp, false, 2, 2, &HostObject::MouseUp},
    {L"MouseMove", kMouseMove, false, 2, 2, &HostObject::MouseMove},
    {L"Key", kKey, false, 1, 3, &HostObject::Key},
    {L"Char", kChar, false, 1, 1, &HostObject::Char},
    {L"Wait", kWait, false, 1, 1, &HostObject::Wait},
    {L"Screenshot", kScreenshot, false, 1, 1, &HostObject::Screenshot},
    {L"SaveProperties", kSaveProperties, false, 1, 1, &HostObject::SaveProperties},
    {L"LoadProperties", kLoadProperties, false, 1, 1, &HostObject::LoadProperties},
    {L"Recreate", kRecreate, false, 0, 0, &HostObject::Recreate},
    {L"ScriptDir", kScriptDir, true, 0, 0, &HostObject::ScriptDir},
    {L"Colour", kColour, false, 2, 2, &HostObject::Colour},
    {L"CountColour", kCountColour, false, 5, 5, &HostObject::CountColour},
    {L"SameArea", kSameArea, false, 6, 6, &HostObject::SameArea},
};

const HostObject::Member* HostObject::FindMember(DISPID id) {
  for (const Member& m : kMembers)
    if (m.id == id) return &m;
  return nullptr;
}

HostObject::HostObject(HostedControl& control, InputDriver& input, MessagePump& pump,
                       std::wstring scriptDir)
    : m_control(control), m_input(input), m_pump(pump), m_scriptDir(std::move(scriptDir)) {}

std::span<const InterfaceEntry> HostObject::Interfaces() {
  static const InterfaceEntry kTable[] = {{&IID_IDispatch, &CastTo<HostObject, IDispatch>}};
  return kTable;
}

STDMETHODIMP HostObject::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP HostObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP HostObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (names == nullptr || ids == nullptr || count == 0) return E_INVALIDARG;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  if (names[0] == nullptr) return DISP_E_UNKNOWNNAME;
  for (const Member& m : kMembers) {
    if (CompareStringOrdinal(m.name, -1, names[0], -1, TRUE) == CSTR_EQUAL) {
      ids[0] = m.id;
      // Members take no named arguments.
      return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
  }
  return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP HostObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                VARIANT* result, EXCEPINFO* exception, UINT* argError) {
  const Member* member = FindMember(id);
  if (member == nullptr) return DISP_E_MEMBERNOTFOUND;
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) return DISP_E_MEMBERNOTFOUND;
  if (params != nullptr && params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
  const UINT count = params ? params->cArgs : 0;
  if (count < member->minArgs || count > member->maxArgs) return DISP_E_BADPARAMCOUNT;
  if (count > 0 && params->rgvarg == nullptr) return E_INVALIDARG;
  if (argError) *argError = 0;
  if (result) VariantInit(result);

  Arguments args(*member, params);
  try {
    (this->*member->handler)(args, result);
    return S_OK;
  } catch (const HostFailure& failure) {
    if (exception != nullptr) {
      *exception = EXCEPINFO{};
      exception->scode = E_FAIL;
      exception->bstrSource = SysAllocString(L"Host");
      exception->bstrDescription = SysAllocString(failure.message.c_str());
    }
    return DISP_E_EXCEPTION;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// ---- the members ----

HWND HostObject::NeedWindow(const Arguments& args) const {
  HWND window = m_control.Window();
  if (window == nullptr) args.Fail(L"the control", L"has no window");
  return window;
}

void HostObject::Pointer(const Arguments& args, bool (InputDriver::*send)(int x, int y)) {
  NeedWindow(args);
  const int x = args.Integer(0, L"x"), y = args.Integer(1, L"y");
  if (!(m_input.*send)(x, y)) args.FailToSend();
}

void HostObject::Echo(const Arguments& args, VARIANT*) {
  WriteStdout(Utf8FromWide(args.Text(0, L"text") + L"\n"));
}

void HostObject::Rows(const Arguments& args, VARIANT* result) {
  ComPtr<IOrvaneInspect> inspect;
  IUnknown* object = m_control.Object();
  if (object == nullptr || FAILED(object->QueryInterface(IID_IOrvaneInspect, OutSlot(inspect))))
    args.Fail(L"the control", L"offers no row inspection (IOrvaneInspect)");
  ScopedBstr rows;
  HRESULT hr = inspect->GetRows(&rows.s);
  if (FAILED(hr)) args.Fail(L"reading the rows", (L"failed " + HexCode(hr)).c_str());
  SetText(result, std::wstring_view(rows.s ? rows.s : L"", SysStringLen(rows.s)));
}

void HostObject::Selection(const Arguments& args, VARIANT* result) {
  SetLong(result, static_cast<long>(SendMessageW(NeedWindow(args), LB_GETCURSEL, 0, 0)));
}

void HostObject::TopIndex(const Arguments& args, VARIANT* result) {
  SetLong(result, static_cast<long>(SendMessageW(NeedWindow(args), LB_GETTOPINDEX, 0, 0)));
}

void HostObject::Click(const Arguments& args, VARIANT*) { Pointer(args, &InputDriver::Click); }

void HostObject::DoubleClick(const Arguments& args, VARIANT*) {
  Pointer(args, &InputDriver::DoubleClick);
}

void HostObject::MouseDown(const Arguments& args, VARIANT*) {
  Pointer(args, &InputDriver::ButtonDown);
}

void HostObject::MouseUp(const Arguments& args, VARIANT*) { Pointer(args, &InputDriver::ButtonUp); }

void HostObject::MouseMove(const Arguments& args, VARIANT*) { Pointer(args, &InputDriver::MoveTo); }

void HostObject::Key(const Arguments& args, VARIANT*) {
  NeedWindow(args);
  const long vk = args.Integer(0, L"vk");
  if (vk < 1 || vk > 254) args.Fail(L"vk", L"must be a virtual-key code from 1 to 254");
  const bool shift = args.Boolean(1, L"shift");
  const bool ctrl = args.Boolean(2, L"ctrl");
  if (!m_input.Key(static_cast<WORD>(vk), shift, ctrl)) args.FailToSend();
}

void HostObject::Char(const Arguments& args, VARIANT*) {
  NeedWindow(args);
  if (!m_input.Type(args.Text(0, L"text"))) args.FailToSend();
}

void HostObject::Wait(const Arguments& args, VARIANT*) {
  const long ms = args.Integer(0, L"ms");
  if (ms < 0 || ms > kLongestWaitMs) args.Fail(L"ms", L"must be from 0 to 600000");
  m_pump.RunFor(static_cast<DWORD>(ms));
}

void HostObject::Screenshot(const Arguments& args, VARIANT*) {
  HWND window = NeedWindow(args);
  const std::wstring path = args.Path(0);
  m_pump.RunUntilIdle();
  std::wstring error;
  if (!WriteScreenPng(ControlScreenArea(window), path, error))
    args.Fail(L"writing the picture", (L"failed: " + error).c_str());
}

void HostObject::Colour(const Arguments& args, VARIANT* result) {
  HWND window = NeedWindow(args);
  m_pump.RunUntilIdle();
  const int x = args.Integer(0, L"x"), y = args.Integer(1, L"y");
  const std::vector<COLORREF> pixel = CaptureClientArea(window, RECT{x, y, x + 1, y + 1});
  if (pixel.empty()) args.Fail(L"the pixel", L"could not be copied");
  SetLong(result, static_cast<long>(pixel[0]));
}

std::vector<COLORREF> HostObject::CapturedArea(const Arguments& args, HWND& window, RECT& area) {
  window = NeedWindow(args);
  m_pump.RunUntilIdle();
  area = RECT{args.Integer(0, L"left"), args.Integer(1, L"top"), args.Integer(2, L"right"),
              args.Integer(3, L"bottom")};
  std::vector<COLORREF> pixels = CaptureClientArea(window, area);
  if (pixels.empty()) args.Fail(L"the area", L"is empty or could not be copied");
  return pixels;
}

void HostObject::CountColour(const Arguments& args, VARIANT* result) {
  HWND window = nullptr;
  RECT area{};
  const std::vector<COLORREF> here = CapturedArea(args, window, area);
  const COLORREF colour = static_cast<COLORREF>(args.Integer(4, L"colour"));
  SetLong(result, static_cast<long>(std::count(here.begin(), here.end(), colour)));
}

void HostObject::SameArea(const Arguments& args, VARIANT* result) {
  HWND window = nullptr;
  RECT area{};
  const std::vector<COLORREF> here = CapturedArea(args, window, area);
  RECT moved = area;
  OffsetRect(&moved, args.Integer(4, L"dx"), args.Integer(5, L"dy"));
  SetBool(result, CaptureClientArea(window, moved) == here);
}

void HostObject::SaveProperties(const Arguments& args, VARIANT*) {
  const std::wstring path = args.Path(0);
  PropertyStore store;
  HRESULT hr = m_control.SaveProperties(store);
  if (FAILED(hr)) args.Fail(L"saving the control's properties", (L"failed " + HexCode(hr)).c_str());
  if (!WriteFileBytes(path, store.Serialize()))
    args.Fail((L"file " + path).c_str(), L"could not be written");
}

void HostObject::LoadProperties(const Arguments& args, VARIANT*) {
  const std::wstring path = args.Path(0);
  std::optional<std::string> bytes = ReadFileBytes(path);
  if (!bytes) args.Fail((L"file " + path).c_str(), L"could not be read");
  size_t badLine = 0;
  std::optional<PropertyStore> store = PropertyStore::Parse(*bytes, &badLine);
  if (!store)
    args.Fail((L"file " + path).c_str(),
              (L"has no Name=Value at line " + std::to_wstring(badLine)).c_str());
  HRESULT hr = m_control.LoadProperties(*store);
  if (FAILED(hr))
    args.Fail(L"loading the control's properties", (L"failed " + HexCode(hr)).c_str());
}

void HostObject::Recreate(const Arguments& args, VARIANT*) {
  std::wstring error;
  if (FAILED(m_control.Recreate(error))) args.Fail(L"making the control anew", error.c_str());
  m_pump.RunUntilIdle();
}

void HostObject::ScriptDir(const Arguments&, VARIANT* result) { SetText(result, m_scriptDir); }

}  // namespace testcon
