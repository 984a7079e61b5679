// orvane-toc: builds, prints and checks the control's TOC files and builds
// whole sample libraries. The forms are in toc_cli.h.
#include <iostream>

#include "tools/orvane-toc/toc_cli.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return orvane::toc_tool::RunOrvaneToc(args, std::cout, std::cerr);
}
