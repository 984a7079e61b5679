#include "hosts/testcon/property_store.h"

#include <windows.h>

#include "hosts/testcon/text_io.h"

namespace testcon {
namespace {

bool SameName(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool StartsWithName(std::wstring_view name, std::wstring_view prefix) {
  return name.size() >= prefix.size() && SameName(name.substr(0, prefix.size()), prefix);
}

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

}  // namespace

std::optional<std::wstring> PropertyStore::Find(std::wstring_view name) const {
  for (const Entry& e : m_entries)
    if (SameName(e.name, name)) return e.value;
  return std::nullopt;
}

void PropertyStore::Set(std::wstring_view name, std::wstring_view value) {
  for (Entry& e : m_entries) {
    if (SameName(e.name, name)) {
      e.value = value;
      return;
    }
  }
  m_entries.push_back({std::wstring(name), std::wstring(value)});
}

void PropertyStore::RemovePrefixed(std::wstring_view prefix) {
  std::erase_if(m_entries, [&](const Entry& e) { return StartsWithName(e.name, prefix); });
}

bool PropertyStore::HasPrefixed(std::wstring_view prefix) const {
  for (const Entry& e : m_entries)
    if (StartsWithName(e.name, prefix)) return true;
  return false;
}

std::string PropertyStore::Serialize() const {
  std::wstring text;
  for (const Entry& e : m_entries) {
    text += e.name;
    text += L'=';
    text += EscapeValue(e.value);
    text += L'\n';
  }
  return Utf8FromWide(text);
}

std::optional<PropertyStore> PropertyStore::Parse(std::string_view utf8, size_t* badLine) {
  if (utf8.size() >= 3 && utf8.substr(0, 3) == "\xEF\xBB\xBF") utf8.remove_prefix(3);
  std::wstring text = WideFromUtf8(utf8);
  PropertyStore store;
  size_t lineNumber = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring_view line(text.data() + start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
    if (line.empty() || line[0] == L'#') continue;
    size_t equals = line.find(L'=');
    if (equals == 0 || equals == std::wstring_view::npos) {
      if (badLine) *badLine = lineNumber;
      return std::nullopt;
    }
    store.Set(line.substr(0, equals), UnescapeValue(line.substr(equals + 1)));
  }
  return store;
}

std::wstring EscapeValue(std::wstring_view value) {
  std::wstring out;
  out.reserve(value.size());
  for (wchar_t c : value) {
    switch (c) {
      case L'%':
        out += L"%25";
        break;
      case L'\r':
        out += L"%0D";
        break;
      case L'\n':
        out += L"%0A";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::wstring UnescapeValue(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
        HexDigit(text[i + 2]) >= 0) {
      out += static_cast<wchar_t>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      i += 2;
    } else {
      out += text[i];  // a lone '%' is kept, as a person would have meant it
    }
  }
  return out;
}

}  // namespace testcon
