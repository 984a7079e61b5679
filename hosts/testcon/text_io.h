// Text at the container's edges: UTF-8 on standard output and in files,
// UTF-16 inside COM, and file names that may arrive as Unix paths when the
// container runs under Wine.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace testcon {

std::string Utf8FromWide(std::wstring_view text);
// Invalid UTF-8 sequences become U+FFFD rather than failing.
std::wstring WideFromUtf8(std::string_view text);

// The whole file, or nothing when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, std::string_view bytes);

// A script's text: UTF-16 when it starts with that byte-order mark, UTF-8
// when it starts with that mark or is valid UTF-8, else the ANSI code page.
std::wstring DecodeScriptText(std::string_view bytes);

// A path the Windows API can open: Unix paths ("/tmp/x.png") are mapped
// through Wine's own file-name translation; anything else is returned as is.
std::wstring WindowsPathFrom(const std::wstring& path);

// Writes bytes to standard output or standard error unchanged, whatever the
// console's code page.
void WriteStdout(std::string_view utf8);
void WriteStderr(std::string_view utf8);

}  // namespace testcon
