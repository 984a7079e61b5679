// COlePropertyPage: a property page shown by a host's property frame, made
// from a dialog template of the module and a caption string. A derived page
// binds its controls to properties in DoDataExchange.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <vector>

#include "control/framework/com_base.h"

namespace orvane {

class COlePropertyPage : public ComBase<COlePropertyPage, IPropertyPage> {
 public:
  COlePropertyPage(UINT dialogId, UINT captionId) : m_dialogId(dialogId), m_captionId(captionId) {}
  ~COlePropertyPage() override;

  static std::span<const InterfaceEntry> Interfaces();
  IUnknown* Identity() { return static_cast<IPropertyPage*>(this); }

  STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
  STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) override;
  STDMETHODIMP Deactivate() override;
  STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
  STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
  STDMETHODIMP Show(UINT command) override;
  STDMETHODIMP Move(LPCRECT rect) override;
  STDMETHODIMP IsPageDirty() override;
  STDMETHODIMP Apply() override;
  STDMETHODIMP Help(LPCOLESTR helpDir) override;
  STDMETHODIMP TranslateAccelerator(MSG* msg) override;

  HWND Window() const { return m_window; }
  // The objects whose properties the page edits.
  const std::vector<IUnknown*>& Objects() const { return m_objects; }

 protected:
  // Moves values between the page's controls and the objects: `save` from
  // the controls to the objects (on Apply), else the other way (on
  // activation). The base does nothing beyond clearing the dirty flag.
  virtual void DoDataExchange(bool save);
  void SetModifiedFlag(bool dirty = true);
  bool IsModified() const { return m_dirty; }
  // The dialog was made (before the base's data exchange): a page that makes
  // its controls at run time makes them here.
  virtual void OnInitDialog(HWND) {}
  // WM_COMMAND from one of the dialog's controls.
  virtual void OnCommand(HWND, WORD, WORD) {}

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
  void ReleaseObjects();

  UINT m_dialogId;
  UINT m_captionId;
  HWND m_window = nullptr;
  bool m_dirty = false;
  ComPtr<IPropertyPageSite> m_site;
  std::vector<IUnknown*> m_objects;
};

}  // namespace orvane
