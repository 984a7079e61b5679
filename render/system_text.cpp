#include "render/system_text.h"

#include <string>

namespace orvane {

namespace {

constexpr UINT kTitleCodePage = 1256;

std::wstring Widen(const char* title, int length) {
  if (title == nullptr || length <= 0) return {};
  const int chars = MultiByteToWideChar(kTitleCodePage, 0, title, length, nullptr, 0);
  if (chars <= 0) return {};
  std::wstring wide(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(kTitleCodePage, 0, title, length, wide.data(), chars);
  return wide;
}

// The title font selected for one call, and the caller's put back after it.
class SelectedFont {
 public:
  SelectedFont(HDC dc, const LOGFONTA& description)
      : m_dc(dc), m_font(CreateFontIndirectA(&description)) {
    if (m_font) m_previous = SelectObject(dc, m_font);
  }
  ~SelectedFont() {
    if (m_previous) SelectObject(m_dc, m_previous);
    if (m_font) DeleteObject(m_font);
  }
  SelectedFont(const SelectedFont&) = delete;
  SelectedFont& operator=(const SelectedFont&) = delete;

 private:
  HDC m_dc;
  HFONT m_font;
  HGDIOBJ m_previous = nullptr;
};

UINT DrawFlags(int flags, bool rightToLeft) {
  // The library's alignment flags share DrawText's values; a title is one
  // line whatever it holds, and an ampersand in it is a character.
  UINT draw = static_cast<UINT>(flags) & (DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM);
  draw |= DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP;
  if (rightToLeft) draw |= DT_RTLREADING;
  return draw;
}

}  // namespace

SIZE SystemTextExtent(HDC dc, const LOGFONTA& font, const char* title, int length) {
  SIZE size{0, 0};
  const std::wstring wide = Widen(title, length);
  if (dc == nullptr || wide.empty()) return size;
  SelectedFont selected(dc, font);
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  return size;
}

void SystemDrawText(HDC dc, const LOGFONTA& font, const char* title, int length, const RECT& rect,
                    int flags, bool rightToLeft) {
  const std::wstring wide = Widen(title, length);
  if (dc == nullptr || wide.empty()) return;
  SelectedFont selected(dc, font);
  const int mode = SetBkMode(dc, TRANSPARENT);
  const UINT align = SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  RECT box = rect;
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &box, DrawFlags(flags, rightToLeft));
  if (align != GDI_ERROR) SetTextAlign(dc, align);
  if (mode) SetBkMode(dc, mode);
}

}  // namespace orvane
