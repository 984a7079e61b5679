// COrvaneCtrl: the automation methods. Each converts its arguments and
// forwards to the core; none raises an error for a bad argument, the core
// returns the operation's failure value instead. Those that change rows or
// states hold a ChangeScope, so that a host calling through the vtable
// hears of the change as a script does.
#include "control/orvane_ctrl.h"

#include "control/framework/ansi_string.h"

namespace orvane {
namespace {

VARIANT_BOOL ToVariantBool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

}  // namespace

STDMETHODIMP COrvaneCtrl::Demo() {
  ChangeScope scope(*this);
  return Guarded([&] {
    m_core.Demo();
    m_announcer.RowsReordered();
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::LoadFromTocFile(BSTR fileName) {
  return Guarded([&] {
    m_core.Queries().LoadFromTocFile(AnsiFromBstr(fileName));
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::LoadFromTextFile(BSTR fileName) {
  ChangeScope scope(*this);
  return Guarded([&] {
    m_core.LoadFromTextFile(AnsiFromBstr(fileName));
    m_announcer.RowsReordered();
    return S_OK;
  });
}

// The result is the new item's Node; a host that ignores it, as hosts of
// the first version did, loses nothing.
STDMETHODIMP COrvaneCtrl::AddChild(LONG index, BSTR text, IUnknown** result) {
  ChangeScope scope(*this);
  if (result == nullptr) return E_POINTER;
  *result = nullptr;
  return Guarded([&] {
    OutlineNode* node = m_core.View().AddChild(index, AnsiFromBstr(text));
    m_announcer.RowsReordered();
    IDispatch* object = nullptr;
    const HRESULT hr = m_nodes.NodeFor(node, &object);
    *result = object;
    return hr;
  });
}

STDMETHODIMP COrvaneCtrl::AddSibling(LONG index, BSTR text, IUnknown** result) {
  ChangeScope scope(*this);
  if (result == nullptr) return E_POINTER;
  *result = nullptr;
  return Guarded([&] {
    OutlineNode* node = m_core.View().AddSibling(index, AnsiFromBstr(text));
    m_announcer.RowsReordered();
    IDispatch* object = nullptr;
    const HRESULT hr = m_nodes.NodeFor(node, &object);
    *result = object;
    return hr;
  });
}

STDMETHODIMP COrvaneCtrl::ChangeStateSelected() {
  ChangeScope scope(*this);
  return Guarded([&] {
    m_core.View().ChangeStateSelected();
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::LoadBooks(BSTR topicName, VARIANT_BOOL* result) {
  ChangeScope scope(*this);
  if (result == nullptr) return E_POINTER;
  *result = VARIANT_FALSE;
  const HRESULT hr = Guarded([&] {
    *result = ToVariantBool(m_core.LoadBooks(AnsiFromBstr(topicName)));
    return S_OK;
  });
  // A load that failed part-way has still replaced the rows a screen reader
  // knew.
  m_announcer.RowsReordered();
  return hr;
}

STDMETHODIMP COrvaneCtrl::GetSectionTitle(short book, LONG tocPos, BSTR* result) {
  if (result == nullptr) return E_POINTER;
  *result = nullptr;
  return Guarded([&]() -> HRESULT {
    *result = BstrFromAnsi(m_core.Queries().GetSectionTitle(book, tocPos));
    return *result ? S_OK : E_OUTOFMEMORY;
  });
}

STDMETHODIMP COrvaneCtrl::GotoTocPosition(short book, LONG tocPosition, VARIANT_BOOL* result) {
  ChangeScope scope(*this);
  if (result == nullptr) return E_POINTER;
  *result = VARIANT_FALSE;
  return Guarded([&] {
    *result = ToVariantBool(m_core.View().GotoTocPosition(book, tocPosition));
    m_announcer.AnnounceCurrentRow(m_rowList);
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::SetStateBook(short bookId, VARIANT_BOOL checked, VARIANT_BOOL* result) {
  ChangeScope scope(*this);
  if (result == nullptr) return E_POINTER;
  *result = VARIANT_FALSE;
  return Guarded([&] {
    *result = ToVariantBool(m_core.Checks().SetStateBook(bookId, checked != VARIANT_FALSE));
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::GetStateBook(short bookId, short* result) {
  return Guarded([&]() -> HRESULT {
    if (result == nullptr) return E_POINTER;
    *result = m_core.Checks().GetStateBook(bookId);
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::ActivateBook(short bookId) {
  ChangeScope scope(*this);
  return Guarded([&] {
    if (m_core.View().ActivateBook(bookId)) Refresh();
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::DeactivateBook(short bookId) {
  ChangeScope scope(*this);
  return Guarded([&] {
    if (m_core.View().DeactivateBook(bookId)) Refresh();
    return S_OK;
  });
}

STDMETHODIMP COrvaneCtrl::GetParentPos(short book, LONG tocPos, LONG* result) {
  return Guarded([&]() -> HRESULT {
    if (result == nullptr) return E_POINTER;
    *result = m_core.Queries().GetParentPos(book, tocPos);
    return S_OK;
  });
}

}  // namespace orvane
