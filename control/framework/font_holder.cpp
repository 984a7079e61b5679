#include "control/framework/font_holder.h"

namespace orvane {

FONTDESC FontDefault::Describe() const {
  FONTDESC desc{};
  desc.cbSizeofstruct = sizeof(FONTDESC);
  desc.lpstrName = const_cast<LPOLESTR>(face);
  desc.cySize.int64 = static_cast<LONGLONG>(points) * 10000;
  desc.sWeight = weight;
  desc.sCharset = charset;
  desc.fItalic = italic;
  desc.fUnderline = underline;
  desc.fStrikethrough = strikethrough;
  return desc;
}

void CFontHolder::InitializeFont(const FontDefault& fallback, IUnknown* hostFont) {
  ComPtr<IFont> font;
  if (hostFont != nullptr) {
    ComPtr<IFont> source;
    if (SUCCEEDED(hostFont->QueryInterface(IID_IFont, reinterpret_cast<void**>(source.Receive()))) &&
        source) {
      source->Clone(font.Receive());
    }
  }
  if (!font) {
    FONTDESC desc = fallback.Describe();
    OleCreateFontIndirect(&desc, IID_IFont, reinterpret_cast<void**>(font.Receive()));
  }
  // Keeps the earlier font when no new one could be made at all.
  if (font) m_font = font;
}

IFontDisp* CFontHolder::GetFontDispatch() const {
  IFontDisp* disp = nullptr;
  if (m_font) m_font->QueryInterface(IID_IFontDisp, reinterpret_cast<void**>(&disp));
  return disp;
}

HFONT CFontHolder::GetFontHandle() const {
  HFONT font = nullptr;
  if (m_font) m_font->get_hFont(&font);
  return font;
}

bool CFontHolder::GetLogFont(LOGFONTA& logFont) const {
  HFONT font = GetFontHandle();
  if (font == nullptr) return false;
  return GetObjectA(font, sizeof(logFont), &logFont) == sizeof(logFont);
}

}  // namespace orvane
