// Whole-file reading and writing for the tool.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::toc_tool {

bool ReadFileText(const std::filesystem::path& path, std::string& text);
bool ReadFileBytes(const std::filesystem::path& path, std::vector<uint8_t>& bytes);
bool WriteFileBytes(const std::filesystem::path& path, std::string_view bytes);

}  // namespace orvane::toc_tool
