#include "fake_text_library.h"

namespace orvane::test {

namespace {

FakeTextMode g_mode = FakeTextMode::Bars;
std::vector<TextCall> g_calls;
int g_readingOrder = kLibraryLtr;
HFONT g_font = nullptr;
HGDIOBJ g_oldFont = nullptr;

TextCall& Record(const char* name, HDC dc) {
  TextCall call;
  call.name = name;
  call.dc = dc;
  if (dc) {
    call.textColour = GetTextColor(dc);
    call.textAlign = GetTextAlign(dc);
    call.bkMode = GetBkMode(dc);
  }
  g_calls.push_back(call);
  return g_calls.back();
}

BOOL WINAPI SelectDC(HDC dc, const LOGFONTA* first, const LOGFONTA* second) {
  TextCall& call = Record("aSelectDC", dc);
  if (first) call.first = *first;
  if (second) call.second = *second;
  if (g_mode == FakeTextMode::Gdi && second) {
    g_font = CreateFontIndirectA(second);
    g_oldFont = SelectObject(dc, g_font);
  }
  return TRUE;
}

SIZE WINAPI TextExtent(HDC dc, const char* text, int length) {
  TextCall& call = Record("aTextExtent", dc);
  call.text.assign(text, static_cast<size_t>(length));
  call.length = length;
  SIZE size{length * kBarCharWidth, kBarHeight};
  if (g_mode == FakeTextMode::Gdi) GetTextExtentPoint32A(dc, text, length, &size);
  return size;
}

BOOL WINAPI DrawTitle(HDC dc, const char* text, int length, const RECT* rect, int flags) {
  TextCall& call = Record("aDrawText", dc);
  call.text.assign(text, static_cast<size_t>(length));
  call.length = length;
  call.rect = *rect;
  call.flags = flags;
  if (g_mode == FakeTextMode::Gdi) {
    RECT r = *rect;
    UINT align = SetTextAlign(dc, TA_TOP | TA_LEFT);
    UINT format = DT_SINGLELINE | DT_NOPREFIX | ((flags & 4) ? DT_VCENTER : 0) |
                  ((flags & 2) ? DT_RIGHT : DT_LEFT) |
                  (g_readingOrder == kLibraryRtl ? DT_RTLREADING : 0);
    DrawTextA(dc, text, length, &r, format);
    SetTextAlign(dc, align);
    return TRUE;
  }
  const int width = length * kBarCharWidth;
  RECT bar = *rect;
  if (flags & 2) {
    bar.left = rect->right - width;
  } else {
    bar.right = rect->left + width;
  }
  if (flags & 4) bar.top = rect->top + (rect->bottom - rect->top - kBarHeight) / 2;
  bar.bottom = bar.top + kBarHeight;
  HBRUSH brush = CreateSolidBrush(GetTextColor(dc));
  FillRect(dc, &bar, brush);
  DeleteObject(brush);
  return TRUE;
}

void WINAPI SetReadingOrder(int code) {
  Record("aSetReadingOrder", nullptr).code = code;
  g_readingOrder = code;
}

int WINAPI GetReadingOrder() { return g_readingOrder; }

BOOL WINAPI ReleaseDCProc(HDC dc) {
  Record("aReleaseDC", dc);
  if (g_font) {
    SelectObject(dc, g_oldFont);
    DeleteObject(g_font);
    g_font = nullptr;
  }
  return TRUE;
}

}  // namespace

const BidiTextApi& FakeTextApi(FakeTextMode mode) {
  static BidiTextApi api;
  api.aSelectDC = SelectDC;
  api.aTextExtent = TextExtent;
  api.aDrawText = DrawTitle;
  api.aSetReadingOrder = SetReadingOrder;
  api.aGetReadingOrder = GetReadingOrder;
  api.aReleaseDC = ReleaseDCProc;
  g_mode = mode;
  g_calls.clear();
  return api;
}

std::vector<TextCall>& TextCalls() { return g_calls; }

std::vector<std::string> TextCallNames() {
  std::vector<std::string> names;
  for (const TextCall& call : g_calls) names.push_back(call.name);
  return names;
}

const TextCall* FindTextCall(const std::string& name) {
  for (const TextCall& call : g_calls) {
    if (call.name == name) return &call;
  }
  return nullptr;
}

}  // namespace orvane::test
