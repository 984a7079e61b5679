// A stand-in for the text library that records every call with the state of
// the device context at that moment. In bar mode a title is drawn as a solid
// bar of the text colour, kBarCharWidth pixels per byte and kBarHeight high,
// centred vertically: its pixels are where the layout says the title goes.
// In GDI mode it draws real glyphs with the system's text drawing, for
// screenshots when the real library is not built.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "render/bidi_text_api.h"

namespace orvane::test {

inline constexpr int kBarCharWidth = 6;
inline constexpr int kBarHeight = 6;

struct TextCall {
  std::string name;  // "aSelectDC", "aTextExtent", "aDrawText", "aSetReadingOrder", "aReleaseDC"
  HDC dc = nullptr;
  std::string text;
  int length = 0;
  RECT rect{};
  int flags = 0;
  int code = 0;  // aSetReadingOrder
  COLORREF textColour = 0;
  UINT textAlign = 0;
  int bkMode = 0;
  LOGFONTA first{};
  LOGFONTA second{};
};

enum class FakeTextMode { Bars, Gdi };

// Starts a fresh record and returns the entry points; only one fake is in
// use at a time.
const BidiTextApi& FakeTextApi(FakeTextMode mode = FakeTextMode::Bars);
std::vector<TextCall>& TextCalls();
// The names of the recorded calls, in order.
std::vector<std::string> TextCallNames();
const TextCall* FindTextCall(const std::string& name);

}  // namespace orvane::test
