// Seams and fixtures for the core's tests: an in-memory profile source and
// file system, and a builder for TOC files with chosen (also broken) fields.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/orvane_core.h"
#include "loading/file_system.h"
#include "loading/memory_file.h"
#include "loading/profile_source.h"
#include "model/toc_record.h"
#include "platform/portable/gap_row_list.h"
#include "platform/portable/recording_hover_timer.h"

namespace orvane::test {

inline std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

// Profile values by "file|section|key", names compared without case.
class MapProfile : public ProfileSource {
 public:
  void Set(const std::string& file, const std::string& section, const std::string& key,
           const std::string& value) {
    m_values[Lower(file + "|" + section + "|" + key)] = value;
  }
  std::string GetString(std::string_view file, std::string_view section, std::string_view key,
                        std::string_view deflt) override {
    ++reads;
    auto it = m_values.find(
        Lower(std::string(file) + "|" + std::string(section) + "|" + std::string(key)));
    std::string v = it == m_values.end() ? std::string(deflt) : it->second;
    if (v.size() > kMaxProfileValue) v.resize(kMaxProfileValue);
    return v;
  }
  int reads = 0;

 private:
  std::map<std::string, std::string> m_values;
};

using orvane::MemoryFile;

// Files by path; names compared without case, as on Windows.
class MemoryFileSystem : public FileSystem {
 public:
  // `modified` is the time the file tells; a file written again with the
  // same bytes and time passes for the same file.
  void Put(const std::string& path, std::vector<uint8_t> bytes, int64_t modified = 0) {
    m_files[Lower(path)] = {std::move(bytes), modified};
  }
  void Put(const std::string& path, const std::string& text) {
    Put(path, std::vector<uint8_t>(text.begin(), text.end()));
  }
  void Remove(const std::string& path) { m_files.erase(Lower(path)); }
  std::unique_ptr<File> OpenRead(std::string_view path, Share share) override {
    opened.emplace_back(path);
    shares.push_back(share);
    auto it = m_files.find(Lower(std::string(path)));
    if (it == m_files.end()) return nullptr;
    return std::make_unique<MemoryFile>(it->second.bytes, it->second.modified);
  }
  std::vector<std::string> opened;
  std::vector<Share> shares;

 private:
  struct Stored {
    std::vector<uint8_t> bytes;
    int64_t modified = 0;
  };
  std::map<std::string, Stored> m_files;
};

// Builds TOC bytes record by record. Titles are given as text and stored as
// code - 1; every header field can be set, so broken files are easy to make.
class TocBytes {
 public:
  explicit TocBytes(uint16_t topLevel) : m_bytes(10, 0) { WriteU16(&m_bytes[6], topLevel); }

  struct Fields {
    uint32_t parentPos = 0;
    uint16_t childCount = 0;
    uint32_t firstChildPos = 0;
    uint8_t level = 2;
    int32_t filePos = -1;
    int recordLength = -1;  // -1: 21 + title length
  };

  // Appends a record and returns its TocPos.
  uint32_t Record(const std::string& title, Fields f) {
    uint32_t pos = static_cast<uint32_t>(m_bytes.size());
    m_bytes.resize(pos + 21 + title.size());
    uint8_t* r = &m_bytes[pos];
    WriteU16(r + rec::kRecordLength,
             static_cast<uint16_t>(f.recordLength >= 0 ? f.recordLength : 21 + title.size()));
    WriteU32(r + rec::kParentPos, f.parentPos);
    WriteU16(r + rec::kChildCount, f.childCount);
    WriteU32(r + rec::kFirstChildPos, f.firstChildPos);
    r[rec::kLevel] = f.level;
    WriteU32(r + rec::kFilePos, static_cast<uint32_t>(f.filePos));
    for (size_t i = 0; i < title.size(); ++i) {
      r[21 + i] = static_cast<uint8_t>(static_cast<uint8_t>(title[i]) - 1);
    }
    return pos;
  }
  void Zeros(size_t n) { m_bytes.resize(m_bytes.size() + n, 0); }
  void Bytes(std::initializer_list<uint8_t> b) { m_bytes.insert(m_bytes.end(), b); }
  uint32_t Size() const { return static_cast<uint32_t>(m_bytes.size()); }
  // Patches a 32-bit field of the record at `pos`.
  void Patch32(uint32_t pos, uint32_t offset, uint32_t v) { WriteU32(&m_bytes[pos + offset], v); }
  void Patch16(uint32_t pos, uint32_t offset, uint16_t v) { WriteU16(&m_bytes[pos + offset], v); }
  const std::vector<uint8_t>& Get() const { return m_bytes; }

 private:
  std::vector<uint8_t> m_bytes;
};

// Writes catalogue `topic`: categories[k] lists book file names of category
// k+1; titles are "C<k>" and "B<k>.<j>"; books live in folder "lib".
inline void WriteCatalogue(MapProfile& profile, const std::string& topic,
                           const std::vector<std::vector<std::string>>& categories,
                           int bookCount = -1) {
  std::string ini = topic + ".INI";
  profile.Set(ini, "Directories", "TOC", "lib");
  int total = 0;
  for (auto& c : categories) total += static_cast<int>(c.size());
  profile.Set(ini, "Books", "Count", std::to_string(bookCount >= 0 ? bookCount : total));
  profile.Set(ini, "Categories", "Count", std::to_string(categories.size()));
  for (size_t k = 0; k < categories.size(); ++k) {
    std::string n = std::to_string(k + 1);
    profile.Set(ini, "Categories", "Name" + n, "C" + n);
    profile.Set(ini, "Category" + n, "Count", std::to_string(categories[k].size()));
    for (size_t j = 0; j < categories[k].size(); ++j) {
      std::string m = std::to_string(j + 1);
      profile.Set(ini, "Category" + n, "Title" + m, "B" + n + "." + m);
      profile.Set(ini, "Category" + n, "Name" + m, categories[k][j]);
    }
  }
}

// A core over in-memory seams, with a catalogue helper.
struct CoreFixture {
  GapRowList rows{20};
  MapProfile profile;
  MemoryFileSystem files;
  RecordingHoverTimer timer;
  OrvaneCore core{rows, profile, files, timer};

  void Catalogue(const std::string& topic, const std::vector<std::vector<std::string>>& categories,
                 int bookCount = -1) {
    WriteCatalogue(profile, topic, categories, bookCount);
  }
  void Book(const std::string& name, const TocBytes& toc) {
    files.Put("lib\\" + name + ".TOC", toc.Get());
  }

  std::string RowTitle(int32_t r) const {
    const OutlineNode* n = rows.NodeOf(r);
    return n ? n->TitleText() : "<none>";
  }
  std::vector<std::string> Titles() const {
    std::vector<std::string> out;
    for (int32_t r = 0; r < rows.Count(); ++r) out.push_back(RowTitle(r));
    return out;
  }
  int16_t RowOf(const std::string& title) const {
    for (int32_t r = 0; r < rows.Count(); ++r) {
      if (RowTitle(r) == title) return static_cast<int16_t>(r);
    }
    return -1;
  }
};

// A book with sections A (A1 (A1x), A2) and B (B1), in leading-region order
// A, B, A1, A2, A1x, B1, with FilePos 100, 200, 110, 120, 111, 210.
struct SampleBook {
  TocBytes toc{2};
  uint32_t a, b, a1, a2, a1x, b1;
  SampleBook() {
    a = toc.Record("A", {.childCount = 2, .level = 2, .filePos = 100});
    b = toc.Record("B", {.childCount = 1, .level = 2, .filePos = 200});
    a1 = toc.Record("A1", {.parentPos = a, .childCount = 1, .level = 3, .filePos = 110});
    a2 = toc.Record("A2", {.parentPos = a, .level = 3, .filePos = 120});
    a1x = toc.Record("A1x", {.parentPos = a1, .level = 4, .filePos = 111});
    b1 = toc.Record("B1", {.parentPos = b, .level = 3, .filePos = 210});
  }
};

}  // namespace orvane::test
