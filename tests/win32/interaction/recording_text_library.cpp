#include "recording_text_library.h"

#include <utility>

namespace orvane::test {
namespace {

int g_order = HARFIX_ORDER_LTR;

LibraryCall Call(const char* name, std::string text = std::string(), int flags = 0) {
  LibraryCall call;
  call.name = name;
  call.text = std::move(text);
  call.flags = flags;
  return call;
}

BOOL WINAPI SelectDC(HDC, const LOGFONTA* first, const LOGFONTA* second) {
  LibraryCall call = Call("aSelectDC");
  if (first) call.first = *first;
  if (second) call.second = *second;
  LibraryCalls().push_back(call);
  return first != nullptr && second != nullptr;
}

SIZE WINAPI TextExtent(HDC, const char* text, int length) {
  LibraryCalls().push_back(Call("aTextExtent", std::string(text, static_cast<size_t>(length))));
  return {length * kCharWidth, 16};
}

BOOL WINAPI DrawTextRecorded(HDC dc, const char* text, int length, const RECT* rect, int flags) {
  LibraryCall call = Call("aDrawText", std::string(text, static_cast<size_t>(length)), flags);
  if (rect) call.rect = *rect;
  call.textAlign = GetTextAlign(dc);
  LibraryCalls().push_back(call);
  return TRUE;
}

void WINAPI SetOrder(int code) {
  LibraryCall call = Call("aSetReadingOrder");
  call.code = code;
  LibraryCalls().push_back(call);
  g_order = code;
}

int WINAPI GetOrder() {
  LibraryCalls().push_back(Call("aGetReadingOrder"));
  return g_order;
}

BOOL WINAPI ReleaseDCRecorded(HDC) {
  LibraryCalls().push_back(Call("aReleaseDC"));
  return TRUE;
}

}  // namespace

std::vector<LibraryCall>& LibraryCalls() {
  static std::vector<LibraryCall> calls;
  return calls;
}

const BidiTextApi& RecordingTextLibrary() {
  static const BidiTextApi api{&SelectDC, &TextExtent, &DrawTextRecorded,
                               &SetOrder, &GetOrder,   &ReleaseDCRecorded};
  LibraryCalls().clear();
  g_order = HARFIX_ORDER_RTL;  // not the balloon's, so its save and restore show
  return api;
}

std::string LibraryCallNames() {
  std::string names;
  for (const LibraryCall& call : LibraryCalls()) {
    if (!names.empty()) names += ' ';
    names += call.name;
  }
  return names;
}

}  // namespace orvane::test
