// FileSystem over CreateFileA, with the share modes the loaders ask for.
#pragma once

#include "loading/file_system.h"

namespace orvane {

class Win32FileSystem : public FileSystem {
 public:
  std::unique_ptr<File> OpenRead(std::string_view path, Share share) override;
};

}  // namespace orvane
