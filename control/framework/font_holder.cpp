#include "control/framework/font_holder.h"

namespace orvane {

// Listens to the font object's property changes for its holder. The holder
// cuts the link before it goes, so the sink never calls a holder that died.
class FontChangeSink : public ComBase<FontChangeSink, IPropertyNotifySink> {
 public:
  explicit FontChangeSink(std::function<void()> changed) : m_changed(std::move(changed)) {}
  static std::span<const InterfaceEntry> Interfaces() {
    static const InterfaceEntry kTable[] = {
        {&IID_IPropertyNotifySink, &CastTo<FontChangeSink, IPropertyNotifySink>}};
    return kTable;
  }
  STDMETHODIMP OnChanged(DISPID) override {
    return Guarded([&]() -> HRESULT {
      if (m_changed) {
        try {
          m_changed();
        } catch (...) {
          // Nothing may leave a notification.
        }
      }
      return S_OK;
    });
  }
  STDMETHODIMP OnRequestEdit(DISPID) override { return S_OK; }
  void Detach() { m_changed = nullptr; }

 private:
  std::function<void()> m_changed;
};

CFontHolder::CFontHolder() = default;

CFontHolder::~CFontHolder() {
  ReleaseFont();
  if (m_sink) m_sink->Detach();
}

void CFontHolder::ReleaseFont() {
  Unadvise();
  m_font.Reset();
}

void CFontHolder::SetChangeNotification(std::function<void()> changed) {
  Unadvise();
  if (m_sink) m_sink->Detach();
  m_sink = ComPtr<FontChangeSink>::Adopt(new (std::nothrow) FontChangeSink(std::move(changed)));
  Advise();
}

void CFontHolder::Advise() {
  if (!m_font || !m_sink || m_cookie != 0) return;
  ComPtr<IConnectionPointContainer> container =
      m_font.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
  ComPtr<IConnectionPoint> point;
  if (container &&
      SUCCEEDED(container->FindConnectionPoint(IID_IPropertyNotifySink, point.Receive())))
    point->Advise(static_cast<IPropertyNotifySink*>(m_sink.Get()), &m_cookie);
}

void CFontHolder::Unadvise() {
  if (!m_font || m_cookie == 0) return;
  ComPtr<IConnectionPointContainer> container =
      m_font.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
  ComPtr<IConnectionPoint> point;
  if (container &&
      SUCCEEDED(container->FindConnectionPoint(IID_IPropertyNotifySink, point.Receive())))
    point->Unadvise(m_cookie);
  m_cookie = 0;
}

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
    if (SUCCEEDED(
            hostFont->QueryInterface(IID_IFont, reinterpret_cast<void**>(source.Receive()))) &&
        source) {
      source->Clone(font.Receive());
    }
  }
  if (!font) {
    FONTDESC desc = fallback.Describe();
    OleCreateFontIndirect(&desc, IID_IFont, reinterpret_cast<void**>(font.Receive()));
  }
  // Keeps the earlier font when no new one could be made at all.
  if (font) {
    Unadvise();
    m_font = font;
    Advise();
  }
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
