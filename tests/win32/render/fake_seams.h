// Small in-memory stand-ins for the core's seams, enough to load a catalogue
// and open rows without a window, a profile file or a disk.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "loading/file_system.h"
#include "loading/memory_file.h"
#include "loading/profile_source.h"
#include "rows/hover_timer.h"
#include "rows/row_list.h"

namespace orvane::test {

inline std::string Lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

class VectorRowList : public RowList {
 public:
  int32_t Append(OutlineNode* node) override {
    m_rows.push_back(node);
    return static_cast<int32_t>(m_rows.size()) - 1;
  }
  void Insert(int32_t index, OutlineNode* node) override {
    m_rows.insert(m_rows.begin() + index, node);
    if (m_selection >= index) ++m_selection;
  }
  void Delete(int32_t index) override {
    m_rows.erase(m_rows.begin() + index);
    if (m_selection == index)
      m_selection = -1;
    else if (m_selection > index)
      --m_selection;
  }
  void Clear() override {
    m_rows.clear();
    m_selection = -1;
  }
  int32_t Count() const override { return static_cast<int32_t>(m_rows.size()); }
  OutlineNode* NodeOf(int32_t index) const override {
    return index >= 0 && index < Count() ? m_rows[static_cast<size_t>(index)] : nullptr;
  }
  int32_t Selection() const override { return m_selection; }
  void SetSelection(int32_t index) override { m_selection = index; }
  int32_t TopIndex() const override { return 0; }
  void SetTopIndex(int32_t) override {}
  int32_t RowHeight() const override { return 16; }

 private:
  std::vector<OutlineNode*> m_rows;
  int32_t m_selection = -1;
};

// Values by section and key, case-insensitive, whatever the file name.
class MapProfile : public ProfileSource {
 public:
  void Set(std::string_view section, std::string_view key, std::string_view value) {
    m_values[Lower(section) + "|" + Lower(key)] = std::string(value);
  }
  std::string GetString(std::string_view, std::string_view section, std::string_view key,
                        std::string_view deflt) override {
    auto it = m_values.find(Lower(section) + "|" + Lower(key));
    return it == m_values.end() ? std::string(deflt) : it->second;
  }

 private:
  std::map<std::string, std::string> m_values;
};

class MemoryFileSystem : public FileSystem {
 public:
  void Add(std::string_view path, std::vector<uint8_t> bytes) {
    m_files[Lower(path)] = std::move(bytes);
  }
  std::unique_ptr<File> OpenRead(std::string_view path, Share) override {
    auto it = m_files.find(Lower(path));
    if (it == m_files.end()) return nullptr;
    return std::make_unique<MemoryFile>(it->second);
  }

 private:
  std::map<std::string, std::vector<uint8_t>> m_files;
};

class IdleHoverTimer : public HoverTimer {
 public:
  void Stop() override {}
  void Start() override {}
};

}  // namespace orvane::test
