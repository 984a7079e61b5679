// The forms of the orvane-toc command line, callable without a process so
// that tests drive exactly what a person or a script types.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace orvane::toc_tool {

// Exit statuses: 0 done (or a sound file for `check`), 1 the work failed or
// `check` found problems, 2 the command line was not understood.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// `args` are the arguments after the program name:
//   build OUTLINE.txt BOOK.TOC [--leading GROUPS] [--terminate]
//   dump BOOK.TOC
//   check BOOK.TOC
//   library LIBRARY.txt OUTDIR [--directory PATH]
//   text OUTLINE.txt OUTLINE.TXT
int RunOrvaneToc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace orvane::toc_tool
