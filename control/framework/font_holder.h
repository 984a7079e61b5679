// CFontHolder: a control's font property, held as the system's font object
// (OleCreateFontIndirect), with the host's font copied in on a set.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <functional>

#include "control/framework/com_base.h"

namespace orvane {

// A font description whose face name and size outlive the FONTDESC.
struct FontDefault {
  const wchar_t* face;
  int points;
  short weight;
  short charset;
  bool italic;
  bool underline;
  bool strikethrough;

  FONTDESC Describe() const;
};

class FontChangeSink;

class CFontHolder {
 public:
  CFontHolder();
  ~CFontHolder();
  CFontHolder(const CFontHolder&) = delete;
  CFontHolder& operator=(const CFontHolder&) = delete;

  // Takes a copy of `hostFont` (any object with IFont); when there is none,
  // or it cannot be copied, a new font from `fallback`.
  void InitializeFont(const FontDefault& fallback, IUnknown* hostFont = nullptr);
  void ReleaseFont();
  // Calls `changed` whenever a property of the held font changes (a host
  // that sets the size of the font object it read back, for example).
  void SetChangeNotification(std::function<void()> changed);

  IFont* Font() const { return m_font.Get(); }
  // The font's automation object with an added reference, or null.
  IFontDisp* GetFontDispatch() const;
  // The GDI font; valid while the holder keeps this font.
  HFONT GetFontHandle() const;
  // The logical-font description of the font; false without one.
  bool GetLogFont(LOGFONTA& logFont) const;

 private:
  void Advise();
  void Unadvise();

  ComPtr<IFont> m_font;
  ComPtr<FontChangeSink> m_sink;
  DWORD m_cookie = 0;
};

}  // namespace orvane
