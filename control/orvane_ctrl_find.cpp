// COrvaneCtrl: finding titles the way readers of Arabic search them, the
// folding itself for a host's own strings, and the type-ahead switch.
#include <olectl.h>

#include <string>
#include <vector>

#include "control/orvane_ctrl.h"
#include "loading/cp1256.h"
#include "loading/title_folding.h"

namespace orvane {
namespace {

constexpr LONG kMaxFindCount = 100000;
constexpr wchar_t kInvalidCall[] = L"Invalid procedure call or argument";

VARIANT_BOOL ToVariantBool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

// A host's query as Windows-1256 bytes, every character of it (a zero too,
// which no title holds); a character the code page cannot write makes the
// query match nothing.
FoldedQuery QueryOf(BSTR text) {
  const UINT length = SysStringLen(text);
  std::string bytes;
  bytes.reserve(length);
  for (UINT i = 0; i < length; ++i) {
    uint8_t byte = 0;
    if (!UnicodeToCp1256(static_cast<char16_t>(text[i]), byte)) return FoldedQuery::Nothing();
    bytes.push_back(static_cast<char>(byte));
  }
  return FoldedQuery(bytes);
}

// The folding of a host's string: each character the code page writes is
// folded as a title's byte would be; any other is kept as it is, so that a
// host can fold text that is not all Arabic and still find its way back.
std::wstring FoldWide(BSTR text) {
  const UINT length = SysStringLen(text);
  std::wstring out;
  out.reserve(length);
  bool afterBlank = true;
  for (UINT i = 0; i < length; ++i) {
    uint8_t byte = 0;
    if (!UnicodeToCp1256(static_cast<char16_t>(text[i]), byte)) {
      out.push_back(text[i]);
      afterBlank = false;
      continue;
    }
    uint8_t folded = 0;
    const FoldKind kind = FoldOf(byte, folded);
    if (kind == FoldKind::Drop) continue;
    if (kind == FoldKind::Blank) {
      if (afterBlank) continue;
      afterBlank = true;
    } else {
      afterBlank = false;
    }
    out.push_back(static_cast<wchar_t>(Cp1256ToUnicode(folded)));
  }
  if (!out.empty() && out.back() == L' ') out.pop_back();
  return out;
}

}  // namespace

STDMETHODIMP COrvaneCtrl::Find(BSTR text, LONG maxCount, IDispatch** result) {
  ChangeScope scope(*this);
  if (result == nullptr) return E_POINTER;
  *result = nullptr;
  if (maxCount < 1 || maxCount > kMaxFindCount) {
    return ThrowError(CTL_E_ILLEGALFUNCTIONCALL, kInvalidCall);
  }
  return Guarded([&] {
    std::vector<OutlineNode*> found =
        m_core.Search().FindAll(QueryOf(text), static_cast<uint32_t>(maxCount));
    return m_nodes.MakeNodes(std::move(found), result);
  });
}

STDMETHODIMP COrvaneCtrl::FindNext(BSTR text, VARIANT_BOOL* result) {
  ChangeScope scope(*this);
  if (result == nullptr) return E_POINTER;
  *result = VARIANT_FALSE;
  return Guarded([&] {
    *result = ToVariantBool(m_core.View().FindAndShow(QueryOf(text), false));
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::FindPrevious(BSTR text, VARIANT_BOOL* result) {
  ChangeScope scope(*this);
  if (result == nullptr) return E_POINTER;
  *result = VARIANT_FALSE;
  return Guarded([&] {
    *result = ToVariantBool(m_core.View().FindAndShow(QueryOf(text), true));
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::FoldText(BSTR text, BSTR* result) {
  if (result == nullptr) return E_POINTER;
  *result = nullptr;
  return Guarded([&] {
    const std::wstring folded = FoldWide(text);
    *result = SysAllocStringLen(folded.data(), static_cast<UINT>(folded.size()));
    return *result != nullptr ? S_OK : E_OUTOFMEMORY;
  });
}

// Unguarded: reads a plain field.
STDMETHODIMP COrvaneCtrl::get_TypeAhead(VARIANT_BOOL* value) {
  if (value == nullptr) return E_POINTER;
  *value = ToVariantBool(m_typeAhead);
  return S_OK;
}

STDMETHODIMP COrvaneCtrl::put_TypeAhead(VARIANT_BOOL value) {
  return Guarded([&] {
    m_typeAhead = value != VARIANT_FALSE;
    m_typeAheadPrefix.Clear();
    SetModifiedFlag();
    return S_OK;
  });
}

// ---- What the type-ahead asks of the control ----

bool COrvaneCtrl::InputSite::TypeAhead() const { return m_control.m_typeAhead; }

TypeAheadPrefix& COrvaneCtrl::InputSite::TypedPrefix() { return m_control.m_typeAheadPrefix; }

void COrvaneCtrl::InputSite::FireKeyPress(short& keyAscii) { m_control.FireKeyPress(keyAscii); }

}  // namespace orvane
