// A text library that measures every byte as kCharWidth pixels and records
// each call, so that balloon widths and the calling order can be checked
// exactly.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "render/bidi_text_api.h"

namespace orvane::test {

inline constexpr int kCharWidth = 6;

struct LibraryCall {
  std::string name;
  std::string text;
  int flags = 0;
  int code = 0;
  RECT rect{};
  UINT textAlign = 0;
  LOGFONTA first{};
  LOGFONTA second{};
};

// Clears the record and returns the entry points.
const BidiTextApi& RecordingTextLibrary();
std::vector<LibraryCall>& LibraryCalls();
std::string LibraryCallNames();

}  // namespace orvane::test
