// COrvaneCtrl::AboutBox: the module's about dialog, shown modally.
#include <windows.h>
#include <commctrl.h>

#include "control/orvane_ctrl.h"
#include "resources/resource_ids.h"

namespace orvane {
namespace {

// Unguarded: answers from the message alone; EndDialog cannot throw.
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

// The owner a modal dialog gets when none is given: the active window of
// the calling thread, so the host's window is disabled while it is shown.
HWND DefaultDialogOwner() {
  HWND owner = GetActiveWindow();
  while (owner && (GetWindowLongPtrW(owner, GWL_STYLE) & WS_CHILD)) owner = GetParent(owner);
  return owner;
}

}  // namespace

STDMETHODIMP COrvaneCtrl::AboutBox() {
  return Guarded([&]() -> HRESULT {
    // The dialog holds a tree-view control, whose class must be registered.
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    DialogBoxParamW(ComModule::Instance(), MAKEINTRESOURCEW(IDD_ABOUTBOX_ORVANE),
                    DefaultDialogOwner(), &AboutDialogProc, 0);
    return S_OK;
  });
}

}  // namespace orvane
