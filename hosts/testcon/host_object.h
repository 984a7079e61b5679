// What the script knows as "Host": the container's own services to a test
// script (output, the rows and the selection, real mouse and keyboard
// input, waiting, screenshots and the control's persisted properties).
// A dispatch interface served from a table of names, each bound to the
// member function that handles it; every argument is checked and a failure
// reaches the script as an error with a description.
#pragma once

#include <oaidl.h>

#include <span>
#include <string>
#include <vector>

#include "hosts/testcon/com_support.h"

namespace testcon {

class HostedControl;
class InputDriver;
class MessagePump;

class HostObject final : public ComBase<HostObject, IDispatch> {
 public:
  HostObject(HostedControl& control, InputDriver& input, MessagePump& pump, std::wstring scriptDir);

  static std::span<const InterfaceEntry> Interfaces();
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                             DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

 private:
  struct Member;
  class Arguments;
  // One handler per member of the table in host_object.cpp. A handler reads
  // its arguments from `args` (which throws on a bad one) and sets `result`
  // when the member gives a value; `result` may be null.
  using Handler = void (HostObject::*)(const Arguments& args, VARIANT* result);
  static const Member kMembers[];
  static const Member* FindMember(DISPID id);

  ~HostObject() = default;

  void Echo(const Arguments& args, VARIANT* result);
  void Rows(const Arguments& args, VARIANT* result);
  void Selection(const Arguments& args, VARIANT* result);
  void TopIndex(const Arguments& args, VARIANT* result);
  void Click(const Arguments& args, VARIANT* result);
  void DoubleClick(const Arguments& args, VARIANT* result);
  void MouseDown(const Arguments& args, VARIANT* result);
  void MouseUp(const Arguments& args, VARIANT* result);
  void MouseMove(const Arguments& args, VARIANT* result);
  void Key(const Arguments& args, VARIANT* result);
  void Char(const Arguments& args, VARIANT* result);
  void Wait(const Arguments& args, VARIANT* result);
  void Screenshot(const Arguments& args, VARIANT* result);
  void SaveProperties(const Arguments& args, VARIANT* result);
  void LoadProperties(const Arguments& args, VARIANT* result);
  void Recreate(const Arguments& args, VARIANT* result);
  void ScriptDir(const Arguments& args, VARIANT* result);
  void Colour(const Arguments& args, VARIANT* result);
  void CountColour(const Arguments& args, VARIANT* result);
  void SameArea(const Arguments& args, VARIANT* result);

  // The control's window, or a failure of the call when it has none.
  HWND NeedWindow(const Arguments& args) const;
  // Sends the pointer action of `send` at the point of arguments 0 and 1.
  void Pointer(const Arguments& args, bool (InputDriver::*send)(int x, int y));
  // The control's client area named by arguments 0 to 3, captured after
  // the pending messages have been handled; `window` and `area` are what
  // it was taken from.
  std::vector<COLORREF> CapturedArea(const Arguments& args, HWND& window, RECT& area);

  HostedControl& m_control;
  InputDriver& m_input;
  MessagePump& m_pump;
  std::wstring m_scriptDir;
};

}  // namespace testcon
