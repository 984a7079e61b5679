// The query list of tests/data/ini (queries.txt) and the recorded answers of
// the system's profile reading (wine-answers.txt): one query a line, fields
// separated by tabs, "\xNN" standing for any byte.
#pragma once

#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::test {

struct ProfileQuery {
  std::string file;  // relative to the data folder
  std::string section;
  std::string key;
  std::string deflt;
  std::string answer;  // only in the answers file
  int line = 0;
};

inline std::string UnescapeField(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
      out.push_back(static_cast<char>(std::stoi(std::string(text.substr(i + 2, 2)), nullptr, 16)));
      i += 3;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

// Printable ASCII stays; every other byte, and the backslash of an escape, is
// written as "\xNN".
inline std::string EscapeField(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    const bool looksLikeEscape = c == '\\' && i + 1 < text.size() && text[i + 1] == 'x';
    if (c < 0x20 || c >= 0x7F || looksLikeEscape) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      out += hex;
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return out;
}

// Queries in file order; an unreadable file gives none.
inline std::vector<ProfileQuery> ReadProfileQueries(const std::string& path) {
  std::vector<ProfileQuery> queries;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t i = 0; i <= line.size(); ++i) {
      if (i == line.size() || line[i] == '\t') {
        fields.push_back(UnescapeField(std::string_view(line).substr(start, i - start)));
        start = i + 1;
      }
    }
    fields.resize(5);
    queries.push_back({fields[0], fields[1], fields[2], fields[3], fields[4], number});
  }
  return queries;
}

inline std::string FormatProfileQuery(const ProfileQuery& q) {
  return EscapeField(q.file) + "\t" + EscapeField(q.section) + "\t" + EscapeField(q.key) + "\t" +
         EscapeField(q.deflt);
}

}  // namespace orvane::test
