// What went wrong in a script, as the container reports it: one line on
// standard error with the script's name, the line and the description, and
// the container's exit code.
#pragma once

#include <oaidl.h>

#include <string>

namespace testcon {

class ScriptErrors {
 public:
  explicit ScriptErrors(std::wstring scriptName) : m_scriptName(std::move(scriptName)) {}

  // `line` is 1-based; 0 when unknown.
  void Report(unsigned line, unsigned column, const std::wstring& description) noexcept;
  // An exception handed back by a call into the script (an event handler).
  void ReportException(const std::wstring& where, HRESULT hr, EXCEPINFO* info);
  bool Any() const { return m_count > 0; }

 private:
  std::wstring m_scriptName;
  unsigned m_count = 0;
};

// The text of an EXCEPINFO (filled in first when the engine deferred it),
// or of the HRESULT when it has none.
std::wstring DescribeException(HRESULT hr, EXCEPINFO* info);

}  // namespace testcon
