// Every member of the automation interface, as the type library lists it,
// called through IDispatch with boundary and hostile values: before and
// after a library is loaded, with and without a window, and after the
// container has destroyed the window. Each call must give the result hosts
// rely on (the documented failure value for a position or book that does
// not exist), values a parameter's type cannot hold must be refused by the
// dispatch layer, and the control must still answer correctly afterwards.
#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "ocx_module.h"
#include "test_container.h"

namespace orvane::test {
namespace {

// ---- The members, as the type library describes them ----

enum class Kind { Short, Long, Bool, String, Color, Font, Unknown };

struct Member {
  std::wstring name;
  DISPID id = 0;
  WORD flags = 0;  // DISPATCH_METHOD, _PROPERTYGET, _PROPERTYPUT or _PROPERTYPUTREF
  std::vector<Kind> params;
  std::wstring Label() const {
    const wchar_t* how = flags == DISPATCH_PROPERTYGET      ? L" get"
                         : flags == DISPATCH_PROPERTYPUT    ? L" put"
                         : flags == DISPATCH_PROPERTYPUTREF ? L" putref"
                                                            : L"";
    return name + how;
  }
};

Kind KindOf(ITypeInfo* info, const TYPEDESC& type) {
  switch (type.vt) {
    case VT_I2:
      return Kind::Short;
    case VT_I4:
      return Kind::Long;
    case VT_BOOL:
      return Kind::Bool;
    case VT_BSTR:
      return Kind::String;
    case VT_PTR:
    case VT_DISPATCH:
      return Kind::Font;  // fonts and Nodes: objects, a font being no Node
    case VT_USERDEFINED: {
      ComPtr<ITypeInfo> ref;
      if (FAILED(info->GetRefTypeInfo(type.hreftype, ref.Receive()))) return Kind::Unknown;
      TYPEATTR* attr = nullptr;
      if (FAILED(ref->GetTypeAttr(&attr))) return Kind::Unknown;
      Kind kind = Kind::Unknown;
      if (attr->typekind == TKIND_ENUM) kind = Kind::Long;  // enumerations travel as long
      if (attr->typekind == TKIND_ALIAS) kind = KindOf(ref.Get(), attr->tdescAlias);
      ref->ReleaseTypeAttr(attr);
      return kind;
    }
    case VT_UI4:
      return Kind::Color;  // OLE_COLOR
    default:
      return Kind::Unknown;
  }
}

std::wstring NameOf(ITypeInfo* info, MEMBERID id) {
  BSTR name = nullptr;
  info->GetDocumentation(id, &name, nullptr, nullptr, nullptr);
  std::wstring text = name ? name : L"";
  SysFreeString(name);
  return text;
}

std::vector<Member> MembersOf(IDispatch* dispatch) {
  std::vector<Member> members;
  ComPtr<ITypeInfo> info;
  if (FAILED(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Receive()))) return members;
  TYPEATTR* attr = nullptr;
  info->GetTypeAttr(&attr);
  for (UINT i = 0; i < attr->cVars; ++i) {
    VARDESC* var = nullptr;
    info->GetVarDesc(i, &var);
    std::wstring name = NameOf(info.Get(), var->memid);
    Kind kind = KindOf(info.Get(), var->elemdescVar.tdesc);
    members.push_back({name, var->memid, DISPATCH_PROPERTYGET, {}});
    if (!(var->wVarFlags & VARFLAG_FREADONLY))
      members.push_back({name, var->memid, DISPATCH_PROPERTYPUT, {kind}});
    info->ReleaseVarDesc(var);
  }
  for (UINT i = 0; i < attr->cFuncs; ++i) {
    FUNCDESC* func = nullptr;
    info->GetFuncDesc(i, &func);
    Member member{NameOf(info.Get(), func->memid), func->memid, 0, {}};
    switch (func->invkind) {
      case INVOKE_PROPERTYGET:
        member.flags = DISPATCH_PROPERTYGET;
        break;
      case INVOKE_PROPERTYPUT:
        member.flags = DISPATCH_PROPERTYPUT;
        break;
      case INVOKE_PROPERTYPUTREF:
        member.flags = DISPATCH_PROPERTYPUTREF;
        break;
      default:
        member.flags = DISPATCH_METHOD;
        break;
    }
    for (SHORT p = 0; p < func->cParams; ++p)
      member.params.push_back(KindOf(info.Get(), func->lprgelemdescParam[p].tdesc));
    members.push_back(member);
    info->ReleaseFuncDesc(func);
  }
  info->ReleaseTypeAttr(attr);
  return members;
}

// ---- The values ----

// A variant that owns its contents.
struct Value {
  Value() { VariantInit(&v); }
  Value(const Value& other) {
    VariantInit(&v);
    VariantCopy(&v, const_cast<VARIANT*>(&other.v));
  }
  Value& operator=(const Value& other) {
    if (this != &other) VariantCopy(&v, const_cast<VARIANT*>(&other.v));
    return *this;
  }
  ~Value() { VariantClear(&v); }
  VARIANT v;
};

// An argument, the label a failure names it by, and whether the parameter's
// type can hold it at all.
struct Argument {
  std::wstring label;
  Value value;
  bool fits = true;
};

Argument Short(short n) {
  Argument a{L"short " + std::to_wstring(n), {}};
  V_VT(&a.value.v) = VT_I2;
  V_I2(&a.value.v) = n;
  return a;
}
Argument Long(LONG n, const wchar_t* what = L"long ") {
  Argument a{what + std::to_wstring(n), {}};
  V_VT(&a.value.v) = VT_I4;
  V_I4(&a.value.v) = n;
  return a;
}
Argument Bool(VARIANT_BOOL b) {
  Argument a{b ? L"TRUE" : L"FALSE", {}};
  V_VT(&a.value.v) = VT_BOOL;
  V_BOOL(&a.value.v) = b;
  return a;
}
Argument String(const std::wstring& text, const std::wstring& label) {
  Argument a{label, {}};
  V_VT(&a.value.v) = VT_BSTR;
  V_BSTR(&a.value.v) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return a;
}
// A colour as the type library declares it (unsigned), or as a VBScript
// host passes &H80000005: a negative long.
Argument Color(OLE_COLOR color, VARTYPE type) {
  wchar_t label[48];
  wsprintfW(label, type == VT_UI4 ? L"colour 0x%08X" : L"colour 0x%08X as a long", color);
  Argument a{label, {}};
  V_VT(&a.value.v) = type;
  V_UI4(&a.value.v) = color;
  return a;
}
Argument Object(IDispatch* object, const std::wstring& label) {
  Argument a{label, {}};
  V_VT(&a.value.v) = VT_DISPATCH;
  V_DISPATCH(&a.value.v) = object;
  if (object) object->AddRef();
  return a;
}

// The dispatch layer asks for the font interface and refuses anything else.
Argument NotAFont(IDispatch* object) {
  Argument a = Object(object, L"an object that is not a font");
  a.fits = false;
  return a;
}

ComPtr<IDispatch> MakeFont(const wchar_t* face, LONGLONG size, SHORT weight, SHORT charset) {
  BSTR name = SysAllocString(face);
  FONTDESC desc{sizeof desc, name, {}, weight, charset, FALSE, FALSE, FALSE};
  desc.cySize.int64 = size;
  ComPtr<IDispatch> font;
  OleCreateFontIndirect(&desc, IID_IDispatch, reinterpret_cast<void**>(font.Receive()));
  SysFreeString(name);
  return font;
}

const std::wstring kArabic300(300, L'\x0628');  // 300 times BEH
const std::wstring kMissingPath = L"C:\\no\\such\\folder\\BOOK";

std::vector<Argument> ValuesOf(Kind kind, IDispatch* notAFont) {
  switch (kind) {
    case Kind::Short: {
      std::vector<Argument> values{Short(0),      Short(-1),
                                   Short(1),      Short(32767),
                                   Short(-32768), Long(-32768, L"long (as scripts pass it) ")};
      Argument tooLarge = Long(2147483647);
      tooLarge.fits = false;
      values.push_back(tooLarge);
      return values;
    }
    case Kind::Long:
      return {Long(0),
              Long(-1),
              Long(1),
              Long(32767),
              Long(-32768),
              Long(2147483647),
              Long(-2147483647 - 1)};
    case Kind::Bool: {
      std::vector<Argument> values{Bool(VARIANT_TRUE), Bool(VARIANT_FALSE)};
      Argument two = Long(2, L"long (as true) ");
      values.push_back(two);
      return values;
    }
    case Kind::String: {
      Argument null{L"null string", {}};
      V_VT(&null.value.v) = VT_BSTR;
      V_BSTR(&null.value.v) = nullptr;
      return {String(L"", L"empty string"),
              null,
              String(std::wstring(300, L'x'), L"300 x's"),
              String(kArabic300, L"300 Arabic letters"),
              String(kMissingPath, L"a path that does not exist"),
              String(L"<>|*?\"\\\\", L"characters no path may hold"),
              String(std::wstring(L"1\0 2", 4), L"an embedded zero"),
              String(L"99999999999", L"a number past 32 bits"),
              String(L"\xD800\xFFFF", L"a lone surrogate")};
    }
    case Kind::Color:
      return {Color(0, VT_UI4),         Color(0x00FFFFFF, VT_I4),  Color(0xFFFFFFFF, VT_UI4),
              Color(0xFFFFFFFF, VT_I4), Color(0x800000FF, VT_UI4), Color(0x80000005, VT_UI4),
              Color(0x80000005, VT_I4), Color(0x01000010, VT_I4),  Color(0x02FF00FF, VT_I4)};
    case Kind::Font:
      return {Object(nullptr, L"no font"),
              Object(MakeFont(L"", 0, 0, 0).Get(), L"a font with no face and size 0"),
              Object(MakeFont(std::wstring(300, L'y').c_str(), 10000000000LL, 1000, 178).Get(),
                     L"a 300-character face at a million points"),
              NotAFont(notAFont)};
    case Kind::Unknown:
      break;
  }
  return {};
}

std::wstring TitleOf(const VARIANT& v) {
  IUnknown* object = V_VT(&v) == VT_DISPATCH  ? V_DISPATCH(&v)
                     : V_VT(&v) == VT_UNKNOWN ? V_UNKNOWN(&v)
                                              : nullptr;
  if (object == nullptr) return L"<none>";
  ComPtr<IDispatch> node;
  object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(node.Receive()));
  if (!node) return L"<not a Node>";
  LPOLESTR name = const_cast<LPOLESTR>(L"Title");
  DISPID id = 0;
  if (FAILED(node->GetIDsOfNames(IID_NULL, &name, 1, 0, &id))) return L"<not a Node>";
  DISPPARAMS none{};
  Value title;
  if (FAILED(
          node->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &title.v, nullptr, nullptr)))
    return L"<gone>";
  return V_VT(&title.v) == VT_BSTR && V_BSTR(&title.v) ? V_BSTR(&title.v) : L"";
}

// ---- The expected outcomes ----

// What an oracle knows of the control around one call.
struct Situation {
  bool loaded = false;   // the test catalogue is loaded
  bool hasRows = false;  // the control has a window, so loading makes rows
  std::wstring tocFile;  // TocFile before the call
};

// The first record of book 1 (tests/data/control/nahw.txt): its title and FilePos.
const wchar_t kFirstTitle[] = L"\x0645\x0642\x062F\x0645\x0629";
const LONG kFirstFilePos = 100;

short AsShort(const VARIANT& v) {
  Value converted;
  VariantChangeType(&converted.v, const_cast<VARIANT*>(&v), 0, VT_I2);
  return V_I2(&converted.v);
}
LONG AsLong(const VARIANT& v) {
  Value converted;
  VariantChangeType(&converted.v, const_cast<VARIANT*>(&v), 0, VT_I4);
  return V_I4(&converted.v);
}
std::wstring AsText(const VARIANT& v) {
  if (V_VT(&v) == VT_BSTR)
    return V_BSTR(&v) ? std::wstring(V_BSTR(&v), SysStringLen(V_BSTR(&v))) : L"";
  Value converted;
  if (FAILED(VariantChangeType(&converted.v, const_cast<VARIANT*>(&v), 0, VT_BSTR)))
    return L"<not text>";
  return AsText(converted.v);
}
LONG LeadingNumber(const std::wstring& text) {
  size_t i = 0;
  while (i < text.size() && text[i] == L' ') ++i;
  long long n = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
    n = std::min(n * 10 + (text[i] - L'0'), 0x80000000LL);
  return n > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<LONG>(n);
}

// What a string reads back as after the trip through the ANSI code page:
// the test runs with code page 1256, which holds Arabic and ASCII but no
// lone surrogate or U+FFFF. The control keeps zero-terminated strings, so
// the text ends at its first zero.
// A host string as the control keeps it: Windows-1256 whatever the system's
// code page, a character without a byte there kept as '?'.
std::wstring ThroughAnsi(const std::wstring& whole) {
  constexpr UINT kArabic = 1256;
  const std::wstring text = whole.substr(0, whole.find(L'\0'));
  int bytes = WideCharToMultiByte(kArabic, WC_NO_BEST_FIT_CHARS, text.data(),
                                  static_cast<int>(text.size()), nullptr, 0, "?", nullptr);
  std::string ansi(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(kArabic, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                      ansi.data(), bytes, "?", nullptr);
  int chars = MultiByteToWideChar(kArabic, 0, ansi.data(), bytes, nullptr, 0);
  std::wstring back(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(kArabic, 0, ansi.data(), bytes, back.data(), chars);
  return back;
}

// The Title of a Node a member handed back, or "<none>".
std::wstring TitleOf(const VARIANT& v);

class Sweep {
 public:
  Sweep(IDispatch* dispatch, std::function<void()> healthCheck)
      : m_dispatch(dispatch), m_healthCheck(std::move(healthCheck)) {}

  HRESULT Call(const Member& m, std::vector<const VARIANT*> args, VARIANT* result) {
    std::vector<VARIANT> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(**it);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (m.flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
      params.rgdispidNamedArgs = &named;
      params.cNamedArgs = 1;
    }
    EXCEPINFO exception{};
    UINT argError = 0;
    HRESULT hr = m_dispatch->Invoke(m.id, IID_NULL, LOCALE_USER_DEFAULT, m.flags, &params, result,
                                    &exception, &argError);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    if (hr == DISP_E_EXCEPTION && exception.scode != 0) hr = exception.scode;
    return hr;
  }

  Value Get(const std::wstring& name) {
    Member m{name, IdOf(name), DISPATCH_PROPERTYGET, {}};
    Value result;
    EXPECT_EQ(Call(m, {}, &result.v), S_OK) << "reading " << std::string(name.begin(), name.end());
    return result;
  }
  HRESULT Put(const std::wstring& name, const VARIANT& value) {
    Member m{name, IdOf(name), DISPATCH_PROPERTYPUT, {}};
    return Call(m, {&value}, nullptr);
  }
  Value Invoke(const std::wstring& name, std::vector<const VARIANT*> args, HRESULT* hr = nullptr) {
    Member m{name, IdOf(name), DISPATCH_METHOD, {}};
    Value result;
    HRESULT got = Call(m, std::move(args), &result.v);
    if (hr) *hr = got;
    return result;
  }

  DISPID IdOf(const std::wstring& name) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    DISPID id = DISPID_UNKNOWN;
    m_dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return id;
  }

  // Calls `m` with every combination of its parameters' values; returns
  // the number of calls made.
  int Run(const Member& m, const Situation& situation, IDispatch* notAFont) {
    std::vector<std::vector<Argument>> values;
    for (Kind kind : m.params) values.push_back(ValuesOf(kind, notAFont));
    std::vector<size_t> at(values.size(), 0);
    int calls = 0;
    for (;;) {
      std::vector<const Argument*> args;
      for (size_t i = 0; i < values.size(); ++i) args.push_back(&values[i][at[i]]);
      RunOne(m, args, situation);
      ++calls;
      size_t i = 0;
      while (i < at.size() && ++at[i] == values[i].size()) at[i++] = 0;
      if (i == at.size()) break;
    }
    return calls;
  }

 private:
  void RunOne(const Member& m, const std::vector<const Argument*>& args, Situation situation) {
    std::wstring call = m.Label() + L"(";
    for (size_t i = 0; i < args.size(); ++i) call += (i ? L", " : L"") + args[i]->label;
    call += L")";
    SCOPED_TRACE(std::string(call.begin(), call.end()));

    // Properties are put back afterwards, so each call meets the same control.
    bool isPut = m.flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
    Value before;
    if (isPut) before = Get(m.name);
    situation.tocFile = AsText(Get(L"TocFile").v);

    std::vector<const VARIANT*> raw;
    for (const Argument* a : args) raw.push_back(&a->value.v);
    Value result;
    HRESULT hr = Call(m, raw, &result.v);

    bool fits = true;
    for (const Argument* a : args) fits = fits && a->fits;
    if (!fits) {
      EXPECT_TRUE(FAILED(hr)) << "a value the parameter cannot hold was let through";
      if (isPut) ExpectSame(before, Get(m.name));
    } else {
      Expect(m, args, situation, hr, result, before);
    }
    m_healthCheck();
    // The current and top rows name Nodes, which the health check's reload
    // has made stale: there is nothing to write back.
    const bool ofNodes = m.name == L"TopNode" || m.name == L"SelectedNode";
    if (isPut && m.name != L"FilePos" && m.name != L"ActiveCategory" && m.name != L"ActiveBook" &&
        !ofNodes) {
      Member restore = m;
      restore.flags =
          V_VT(&before.v) == VT_DISPATCH ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
      EXPECT_EQ(Call(restore, {&before.v}, nullptr), S_OK) << "putting the old value back";
    }
  }

  static void ExpectSame(const Value& a, const Value& b) {
    if (V_VT(&a.v) == VT_DISPATCH) return;  // a font is compared by its fields elsewhere
    EXPECT_EQ(VarCmp(const_cast<VARIANT*>(&a.v), const_cast<VARIANT*>(&b.v), 0, 0), VARCMP_EQ)
        << "the value changed";
  }

  void Expect(const Member& m, const std::vector<const Argument*>& args, const Situation& s,
              HRESULT hr, const Value& result, const Value& before) {
    const std::wstring& n = m.name;
    auto arg = [&](size_t i) -> const VARIANT& { return args[i]->value.v; };

    if (m.flags == DISPATCH_PROPERTYGET) {
      EXPECT_EQ(hr, S_OK);
      EXPECT_NE(V_VT(&result.v), VT_EMPTY);
      if (n == L"ActiveCategory" || n == L"ActiveBook") {
        EXPECT_GE(AsShort(result.v), 0);
      }
      return;
    }
    if (m.flags != DISPATCH_METHOD) {  // a put
      if (n == L"FilePos" || n == L"ActiveCategory" || n == L"ActiveBook") {
        EXPECT_EQ(hr, CTL_E_SETNOTSUPPORTED);
        ExpectSame(before, Get(n));
      } else if ((n == L"Alignment" || n == L"ReadingOrder") &&
                 (AsLong(arg(0)) < -32768 || AsLong(arg(0)) > 32767)) {
        // Kept in 16 bits: a value that would read back as another is refused.
        EXPECT_EQ(hr, CTL_E_INVALIDPROPERTYVALUE);
        ExpectSame(before, Get(n));
      } else if (n == L"BorderStyle" && AsShort(arg(0)) != 0 && AsShort(arg(0)) != 1) {
        EXPECT_EQ(hr, CTL_E_INVALIDPROPERTYVALUE);
        ExpectSame(before, Get(n));
      } else if (n == L"SelectedNode" || n == L"TopNode") {
        // Only this control's live Nodes are taken; Nothing clears the
        // current row and has no top row to scroll to.
        const bool nothing = V_DISPATCH(&arg(0)) == nullptr;
        EXPECT_EQ(hr, nothing && n == L"SelectedNode" ? S_OK : CTL_E_INVALIDPROPERTYVALUE);
        if (n == L"SelectedNode" && nothing) {
          Value now = Get(n);
          EXPECT_EQ(V_DISPATCH(&now.v), nullptr);
        }
      } else if (n == L"Fonta" || n == L"Font") {
        EXPECT_EQ(hr, S_OK);
        Value font = Get(n);
        ASSERT_EQ(V_VT(&font.v), VT_DISPATCH);
        ASSERT_NE(V_DISPATCH(&font.v), nullptr);
        ComPtr<IFont> face;
        V_DISPATCH(&font.v)->QueryInterface(IID_IFont, reinterpret_cast<void**>(face.Receive()));
        ASSERT_TRUE(face) << "the property no longer holds a font";
        if (n == L"Fonta" && V_DISPATCH(&arg(0)) == nullptr) {
          // The font reads back as the system realised it, so it is
          // compared with a new control's.
          CY size{}, fresh{};
          face->get_Size(&size);
          ComPtr<IFontDisp> freshFont;
          NewControl()->get_Fonta(freshFont.Receive());
          ComPtr<IFont> freshFace;
          freshFont->QueryInterface(IID_IFont, reinterpret_cast<void**>(freshFace.Receive()));
          freshFace->get_Size(&fresh);
          EXPECT_EQ(size.int64, fresh.int64) << "the default font stands in";
        }
      } else {
        EXPECT_EQ(hr, S_OK);
        Value after = Get(n);
        if (V_VT(&arg(0)) == VT_BSTR || V_VT(&after.v) == VT_BSTR) {
          EXPECT_EQ(AsText(after.v), ThroughAnsi(AsText(arg(0))));
        } else if (V_VT(&after.v) == VT_BOOL) {
          EXPECT_EQ(V_BOOL(&after.v) != VARIANT_FALSE, AsLong(arg(0)) != 0);
        } else {
          EXPECT_EQ(AsLong(after.v), AsLong(arg(0))) << "reads back as written";
        }
      }
      return;
    }

    // Find's count outside 1 to 100,000 is an invalid procedure call (5),
    // the one argument a method refuses.
    if (n == L"Find") {
      const LONG max = AsLong(arg(1));
      if (max < 1 || max > 100000) {
        EXPECT_EQ(hr, CTL_E_ILLEGALFUNCTIONCALL);
        return;
      }
      EXPECT_EQ(hr, S_OK);
      ASSERT_EQ(V_VT(&result.v), VT_DISPATCH);
      EXPECT_NE(V_DISPATCH(&result.v), nullptr) << "a Nodes collection, empty or not";
      return;
    }
    // Methods: those with a result always give one, and never raise an
    // error for an argument they can hold.
    EXPECT_EQ(hr, S_OK);
    // Book 1 exists once loaded; the sweep's positions name no record but
    // its first (positions up to 10 read the record at 10).
    bool firstRecord = s.loaded && !args.empty() && AsShort(arg(0)) == 1;
    if (n == L"GetSectionTitle") {
      LONG pos = AsLong(arg(1));
      bool atFirst = firstRecord && pos >= 0 && pos <= 10;
      EXPECT_EQ(AsText(result.v), atFirst ? std::wstring(kFirstTitle) : L"");
    } else if (n == L"GetParentPos") {
      EXPECT_EQ(AsLong(result.v), -1);
    } else if (n == L"GotoTocPosition") {
      LONG pos = AsLong(arg(1));
      bool atFirst = firstRecord && s.hasRows && pos >= 0 && pos <= 10;
      EXPECT_EQ(V_BOOL(&result.v) != VARIANT_FALSE, atFirst);
      if (atFirst) {
        EXPECT_EQ(AsShort(Get(L"ActiveBook").v), 1);
      }
    } else if (n == L"SetStateBook") {
      EXPECT_EQ(V_BOOL(&result.v) != VARIANT_FALSE, firstRecord);
      if (firstRecord) {
        bool checked = AsLong(arg(1)) != 0;
        Value id = Short(1).value;
        EXPECT_EQ(AsShort(Invoke(L"GetStateBook", {&id.v}).v), checked ? 0 : 1);
      }
    } else if (n == L"GetStateBook") {
      EXPECT_EQ(AsShort(result.v), 0) << "a checked book, or none";
    } else if (n == L"LoadBooks") {
      EXPECT_EQ(V_BOOL(&result.v), VARIANT_TRUE);
      Value book = Short(1).value, pos = Long(10).value;
      EXPECT_EQ(AsText(Invoke(L"GetSectionTitle", {&book.v, &pos.v}).v), L"")
          << "no catalogue is found there, so no book is loaded";
    } else if (n == L"LoadFromTocFile") {
      LONG book = LeadingNumber(s.tocFile);
      LONG pos = LeadingNumber(AsText(arg(0)));
      bool atFirst = s.loaded && book == 1 && pos <= 10;
      EXPECT_EQ(AsText(Get(L"TocFile").v), atFirst ? std::to_wstring(kFirstFilePos) : L"-1");
    } else if (n == L"AddChild" || n == L"AddSibling") {
      EXPECT_EQ(TitleOf(result.v), ThroughAnsi(AsText(arg(1)))) << "the new item's Node";
    } else if (n == L"GetCategoryNode" || n == L"GetBookNode") {
      // The test catalogue has two categories and two books.
      const short number = AsShort(arg(0));
      const bool exists = s.loaded && number >= 1 && number <= 2;
      EXPECT_EQ(TitleOf(result.v) != L"<none>", exists);
    } else if (n == L"GetSectionNode") {
      LONG pos = AsLong(arg(1));
      bool atFirst = firstRecord && pos >= 0 && pos <= 10;
      EXPECT_EQ(TitleOf(result.v), atFirst ? std::wstring(kFirstTitle) : L"<none>");
    } else if (n == L"HitTest") {
      // Rows start at the top left; nothing lies outside the client area.
      const LONG x = AsLong(arg(0)), y = AsLong(arg(1));
      if (x < 0 || y < 0 || !s.hasRows) {
        EXPECT_EQ(TitleOf(result.v), L"<none>");
      }
    } else if (n == L"Demo") {
      Value applyCheck = Get(L"ApplyCheck");
      EXPECT_NE(V_BOOL(&applyCheck.v), VARIANT_FALSE);
    }
    // LoadFromTextFile, ChangeStateSelected, ActivateBook, DeactivateBook and
    // AboutBox give nothing back; the health check shows they did no harm.
  }

  IDispatch* m_dispatch;
  std::function<void()> m_healthCheck;
};

// Closes the about box (or any dialog of this process) as soon as one
// shows, for as long as it lives.
BOOL CALLBACK CloseDialogOfThisProcess(HWND window, LPARAM) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t cls[16] = {};
  GetClassNameW(window, cls, 16);
  if (process == GetCurrentProcessId() && lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(window))
    PostMessageW(window, WM_COMMAND, IDOK, 0);
  return TRUE;
}

class DialogCloser {
 public:
  DialogCloser()
      : m_thread([this] {
          while (!m_stop) {
            EnumWindows(&CloseDialogOfThisProcess, 0);
            Sleep(20);
          }
        }) {}
  ~DialogCloser() {
    m_stop = true;
    m_thread.join();
  }

 private:
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

// The members the sweep knows; a member added to the type library without
// being added here fails the test, so no member goes unswept.
const std::set<std::wstring> kKnownMembers = {L"Indent",
                                              L"ShowBalloonHelp",
                                              L"ElapsedTime",
                                              L"TocFile",
                                              L"ApplyCheck",
                                              L"TopicName",
                                              L"Alignment",
                                              L"Fonta",
                                              L"ReadingOrder",
                                              L"FilePos",
                                              L"BooksDir",
                                              L"ActiveCategory",
                                              L"ActiveBook",
                                              L"MirrorKeys",
                                              L"BackColor",
                                              L"ForeColor",
                                              L"BorderStyle",
                                              L"Font",
                                              L"Demo",
                                              L"LoadFromTocFile",
                                              L"LoadFromTextFile",
                                              L"AddChild",
                                              L"AddSibling",
                                              L"ChangeStateSelected",
                                              L"LoadBooks",
                                              L"GetSectionTitle",
                                              L"GotoTocPosition",
                                              L"SetStateBook",
                                              L"GetStateBook",
                                              L"ActivateBook",
                                              L"DeactivateBook",
                                              L"GetParentPos",
                                              L"AboutBox",
                                              L"RootNodes",
                                              L"SelectedNode",
                                              L"HitTest",
                                              L"GetCategoryNode",
                                              L"GetBookNode",
                                              L"GetSectionNode",
                                              L"TopNode",
                                              L"Find",
                                              L"FindNext",
                                              L"FindPrevious",
                                              L"FoldText",
                                              L"TypeAhead"};

enum class Window { None, InPlace, DestroyedByContainer };

class AutomationSweep : public testing::TestWithParam<std::tuple<Window, bool>> {
 protected:
  void SetUp() override {
    control = NewControl();
    ASSERT_TRUE(control);
    control->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.Receive()));
    ASSERT_TRUE(dispatch);
    topic = WriteTestCatalogue(L"SWEEP");
    if (std::get<0>(GetParam()) != Window::None) {
      site = ComPtr<TestSite>::Adopt(new TestSite(host.Handle(), RECT{10, 10, 310, 210}));
      object = ActivateInPlace(control.Get(), site.Get(), host.Handle(), RECT{10, 10, 310, 210});
      ASSERT_TRUE(object);
      if (std::get<0>(GetParam()) == Window::DestroyedByContainer) {
        DestroyWindow(GetParent(ListBox()));
        PumpMessages();
      }
    }
  }
  void TearDown() override { CloseInPlace(object.Get()); }

  HWND ListBox() { return ControlWindowOf(control.Get()); }
  bool HasRows() { return std::get<0>(GetParam()) == Window::InPlace; }

  // Loading again gives the library back, the queries answer, navigation
  // selects the right row and every row paints.
  void HealthCheck(Sweep& sweep, bool loaded) {
    PumpMessages();
    for (const wchar_t* name : {L"Indent", L"Alignment", L"Fonta", L"TocFile", L"BooksDir",
                                L"ActiveBook", L"BackColor", L"Font"})
      sweep.Get(name);
    if (HWND list = ListBox()) RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Value book1 = Short(1).value, book2 = Short(2).value;
    Value purity = Long(43).value, deep = Long(143).value;
    if (!loaded) {
      EXPECT_EQ(AsText(sweep.Invoke(L"GetSectionTitle", {&book2.v, &purity.v}).v), L"");
    } else {
      Value name = String(topic, L"topic").value;
      Value loadedNow = sweep.Invoke(L"LoadBooks", {&name.v});
      EXPECT_EQ(V_BOOL(&loadedNow.v), VARIANT_TRUE);
      EXPECT_EQ(AsText(sweep.Invoke(L"GetSectionTitle", {&book2.v, &purity.v}).v), L"Purity");
      EXPECT_EQ(AsLong(sweep.Invoke(L"GetParentPos", {&book1.v, &deep.v}).v), 117);
      Value found = sweep.Invoke(L"GotoTocPosition", {&book1.v, &deep.v});
      EXPECT_EQ(V_BOOL(&found.v) != VARIANT_FALSE, HasRows());
      if (HWND list = ListBox(); list && HasRows()) {
        EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 9);
        EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 6);
        RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      }
    }
    // LoadFromTocFile's calls each start from book 1.
    Value bookOne = String(L"1", L"1").value;
    EXPECT_EQ(sweep.Put(L"TocFile", bookOne.v), S_OK);
  }

  HostWindow host;
  ComPtr<IOrvaneAutomation> control;
  ComPtr<IDispatch> dispatch;
  ComPtr<TestSite> site;
  ComPtr<IOleObject> object;
  std::wstring topic;
};

TEST_P(AutomationSweep, EveryMemberAnswersEveryHostileValue) {
  bool loaded = std::get<1>(GetParam());
  Sweep sweep(dispatch.Get(), [&] {});
  sweep = Sweep(dispatch.Get(), [&] { HealthCheck(sweep, loaded); });
  HealthCheck(sweep, loaded);

  std::vector<Member> members = MembersOf(dispatch.Get());
  std::set<std::wstring> seen;
  for (const Member& m : members) seen.insert(m.name);
  EXPECT_EQ(seen, kKnownMembers) << "a member without its sweep";

  DialogCloser closer;
  Situation situation{loaded, HasRows(), L""};
  int calls = 0;
  for (const Member& m : members) {
    for (Kind kind : m.params)
      ASSERT_NE(kind, Kind::Unknown) << std::string(m.name.begin(), m.name.end());
    calls += sweep.Run(m, situation, dispatch.Get());
  }
  EXPECT_GE(calls, static_cast<int>(members.size()));
  RecordProperty("calls", calls);
}

INSTANTIATE_TEST_SUITE_P(
    , AutomationSweep,
    testing::Combine(testing::Values(Window::None, Window::InPlace, Window::DestroyedByContainer),
                     testing::Bool()),
    [](const testing::TestParamInfo<std::tuple<Window, bool>>& param) {
      const char* window = std::get<0>(param.param) == Window::None      ? "Windowless"
                           : std::get<0>(param.param) == Window::InPlace ? "InPlace"
                                                                         : "WindowDestroyed";
      return std::string(window) + (std::get<1>(param.param) ? "Loaded" : "BeforeLoad");
    });

// Orders of calls a host should not make but may.
class HostileOrder : public AutomationSweep {};

TEST_P(HostileOrder, GotoTocPositionAfterTheWindowWasRecreated) {
  Sweep sweep(dispatch.Get(), [] {});
  HealthCheck(sweep, true);
  VARIANT_BOOL found = VARIANT_FALSE;
  ASSERT_EQ(control->put_ReadingOrder(RTL), S_OK);
  EXPECT_EQ(SendMessageW(ListBox(), LB_GETCOUNT, 0, 0), 0) << "a re-created list is empty";
  EXPECT_EQ(control->GotoTocPosition(1, 143, &found), S_OK);
  EXPECT_EQ(found, VARIANT_FALSE) << "the category has no row to open";
  RedrawWindow(ListBox(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  // Rows come back with a rebuild, and navigation works again.
  ASSERT_EQ(control->put_ApplyCheck(VARIANT_TRUE), S_OK);
  EXPECT_EQ(SendMessageW(ListBox(), LB_GETCOUNT, 0, 0), 4) << "categories and books";
  EXPECT_EQ(control->GotoTocPosition(1, 143, &found), S_OK);
  EXPECT_EQ(found, VARIANT_TRUE);
  short book = 0;
  control->get_ActiveBook(&book);
  EXPECT_EQ(book, 1);
  LRESULT selected = SendMessageW(ListBox(), LB_GETCURSEL, 0, 0);
  EXPECT_GE(selected, 0);
  RedrawWindow(ListBox(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  LONG filePos = 0;
  control->get_FilePos(&filePos);
  EXPECT_NE(filePos, 0) << "the rows were painted";
}

TEST_P(HostileOrder, DeactivateBookOnABookHiddenInTheCheckedOnlyView) {
  Sweep sweep(dispatch.Get(), [] {});
  HealthCheck(sweep, true);  // book 1 open down to its third level
  VARIANT_BOOL done = VARIANT_FALSE;
  ASSERT_EQ(control->SetStateBook(1, VARIANT_FALSE, &done), S_OK);
  ASSERT_EQ(done, VARIANT_TRUE);
  // The book's rows are still there until the pending rebuild runs.
  EXPECT_EQ(control->DeactivateBook(1), S_OK);
  EXPECT_EQ(control->DeactivateBook(1), S_OK) << "twice";
  RedrawWindow(ListBox(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(SendMessageW(ListBox(), LB_GETCOUNT, 0, 0), 2)
      << "Law and Fiqh: Grammar has no checked book left";
  VARIANT_BOOL found = VARIANT_TRUE;
  EXPECT_EQ(control->GotoTocPosition(1, 143, &found), S_OK);
  EXPECT_EQ(found, VARIANT_FALSE) << "a hidden book is not found";
  EXPECT_EQ(control->ActivateBook(1), S_OK);
  ASSERT_EQ(control->SetStateBook(1, VARIANT_TRUE, &done), S_OK);
  EXPECT_EQ(control->GotoTocPosition(1, 143, &found), S_OK);
  EXPECT_EQ(found, VARIANT_TRUE);
  EXPECT_EQ(SendMessageW(ListBox(), LB_GETCOUNT, 0, 0), 10)
      << "both categories and books, and book 1's sections as they were left open";
}

TEST_P(HostileOrder, TheCurrentNodeOutlivesNoReload) {
  Sweep sweep(dispatch.Get(), [] {});
  HealthCheck(sweep, true);  // a section of book 1 is current
  Bstr topic2(topic);
  VARIANT_BOOL loaded = VARIANT_FALSE;
  ASSERT_EQ(control->LoadBooks(topic2.Get(), &loaded), S_OK);
  // The nodes the current node named are gone with the old outline.
  EXPECT_EQ(control->ChangeStateSelected(), S_OK);
  short book = -1, category = -1;
  control->get_ActiveBook(&book);
  control->get_ActiveCategory(&category);
  EXPECT_EQ(book, 0);
  EXPECT_EQ(category, 0);
  // A text outline on top of a catalogue, then the catalogue again.
  std::wstring outline = DataFolder() + L"\\nahw.txt";
  Bstr outlinePath(outline);
  EXPECT_EQ(control->LoadFromTextFile(outlinePath.Get()), S_OK);
  Bstr item(L"item");
  ComPtr<IUnknown> none;
  EXPECT_EQ(control->AddChild(32767, item.Get(), none.Receive()), S_OK);
  EXPECT_EQ(control->AddSibling(-1, item.Get(), none.Receive()), S_OK);
  EXPECT_EQ(control->ChangeStateSelected(), S_OK);
  if (HWND list = ListBox()) RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  HealthCheck(sweep, true);
}

INSTANTIATE_TEST_SUITE_P(, HostileOrder, testing::Values(std::make_tuple(Window::InPlace, true)),
                         [](const testing::TestParamInfo<std::tuple<Window, bool>>&) {
                           return std::string("InPlace");
                         });

}  // namespace
}  // namespace orvane::test
