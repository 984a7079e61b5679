#include "loading/title_folding.h"

#include <array>

namespace orvane {
namespace {

struct Fold {
  FoldKind kind = FoldKind::Keep;
  uint8_t byte = 0;
};

constexpr std::array<Fold, 256> MakeDecodedTable() {
  std::array<Fold, 256> t{};
  for (int b = 0; b < 256; ++b) t[b] = {FoldKind::Keep, static_cast<uint8_t>(b)};
  for (int b = 'A'; b <= 'Z'; ++b) t[b].byte = static_cast<uint8_t>(b - 'A' + 'a');
  // Fathatan to sukun, tatweel, and the joiners and direction marks: a
  // reader types none of them.
  for (uint8_t b : {0xF0, 0xF1, 0xF2, 0xF3, 0xF5, 0xF6, 0xF8, 0xFA, 0xDC, 0x9D, 0x9E, 0xFD, 0xFE}) {
    t[b] = {FoldKind::Drop, 0};
  }
  for (uint8_t b : {0x20, 0x09, 0xA0}) t[b] = {FoldKind::Blank, ' '};
  t[0xC2].byte = 0xC7;  // alef with madda
  t[0xC3].byte = 0xC7;  // alef with hamza above
  t[0xC5].byte = 0xC7;  // alef with hamza below
  t[0xEC].byte = 0xED;  // alef maqsura -> ya
  t[0xC9].byte = 0xE5;  // ta marbuta -> ha
  t[0xC4].byte = 0xE6;  // waw with hamza -> waw
  t[0xC6].byte = 0xED;  // ya with hamza -> ya
  return t;
}

constexpr std::array<Fold, 256> kDecoded = MakeDecodedTable();

constexpr std::array<Fold, 256> MakeStoredTable() {
  std::array<Fold, 256> t{};
  for (int s = 0; s < 256; ++s) {
    const uint8_t c = static_cast<uint8_t>(s + 1);
    // The reader shows a line feed or carriage return as a blank.
    t[s] = (c == 0x0A || c == 0x0D) ? Fold{FoldKind::Blank, ' '} : kDecoded[c];
  }
  return t;
}

constexpr std::array<Fold, 256> kStored = MakeStoredTable();

bool IsEnd(uint8_t byte, TitleBytes bytes) {
  return byte == 0 || (bytes == TitleBytes::Stored && byte == 0xFF);
}

const std::array<Fold, 256>& TableFor(TitleBytes bytes) {
  return bytes == TitleBytes::Stored ? kStored : kDecoded;
}

// Feeds each folded byte of a title, blanks joined and leading ones dropped,
// to `take`, until the title ends or `take` returns true.
template <class Take>
bool EachFolded(const uint8_t* title, uint32_t length, TitleBytes bytes, Take take) {
  const std::array<Fold, 256>& table = TableFor(bytes);
  bool afterBlank = true;
  for (uint32_t k = 0; k < length; ++k) {
    const uint8_t b = title[k];
    if (IsEnd(b, bytes)) return false;
    const Fold f = table[b];
    if (f.kind == FoldKind::Drop) continue;
    if (f.kind == FoldKind::Blank) {
      if (afterBlank) continue;
      afterBlank = true;
    } else {
      afterBlank = false;
    }
    if (take(f.byte)) return true;
  }
  return false;
}

}  // namespace

FoldKind FoldOf(uint8_t byte, uint8_t& folded) {
  folded = kDecoded[byte].byte;
  return kDecoded[byte].kind;
}

std::string FoldCp1256(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool afterBlank = true;
  for (char ch : text) {
    const Fold f = kDecoded[static_cast<uint8_t>(ch)];
    if (f.kind == FoldKind::Drop) continue;
    if (f.kind == FoldKind::Blank) {
      if (afterBlank) continue;
      afterBlank = true;
    } else {
      afterBlank = false;
    }
    out.push_back(static_cast<char>(f.byte));
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

FoldedQuery::FoldedQuery(std::string_view cp1256) : m_folded(FoldCp1256(cp1256)) {
  if (m_folded.empty()) return;
  const uint8_t first = static_cast<uint8_t>(m_folded[0]);
  for (int b = 0; b < 256; ++b) {
    const auto mark = [&](const Fold& f, bool end) {
      if (end) return kTitleEnd;
      return f.kind == FoldKind::Keep && f.byte == first ? kCandidate : kPass;
    };
    m_firstByte[0][b] = mark(kDecoded[b], b == 0);
    m_firstByte[1][b] = mark(kStored[b], b == 0 || b == 0xFF);
  }
  bool distinct[256] = {};
  for (char ch : m_folded) {
    const uint8_t c = static_cast<uint8_t>(ch);
    if (distinct[c]) continue;
    distinct[c] = true;
    ByteSet need{};
    for (int b = 0; b < 256; ++b) {
      if (kDecoded[b].kind != FoldKind::Drop && kDecoded[b].byte == c) {
        need[b >> 6] |= uint64_t{1} << (b & 63);
      }
    }
    m_needs.push_back(need);
  }
  // The longest proper prefix of each prefix that is also its suffix: the
  // search goes on from there after a mismatch, so a title is folded once
  // whatever the query repeats.
  m_fallback.assign(m_folded.size(), 0);
  for (size_t i = 1, j = 0; i < m_folded.size(); ++i) {
    while (j > 0 && m_folded[i] != m_folded[j]) j = m_fallback[j - 1];
    if (m_folded[i] == m_folded[j]) ++j;
    m_fallback[i] = static_cast<uint32_t>(j);
  }
}

bool FoldedQuery::FoundIn(const uint8_t* title, uint32_t length, TitleBytes bytes) const {
  if (m_folded.empty() || title == nullptr) return false;
  // Most titles hold no byte that folds to the query's first: one pass of
  // lookups settles them without folding. The pass stops at the title's end
  // as well, so that nothing after it is matched.
  const uint8_t* first = m_firstByte[bytes == TitleBytes::Stored ? 1 : 0];
  uint32_t start = 0;
  while (start < length && first[title[start]] == kPass) ++start;
  if (start == length || first[title[start]] == kTitleEnd) return false;
  const size_t m = m_folded.size();
  size_t j = 0;
  return EachFolded(title + start, length - start, bytes, [&](uint8_t c) {
    while (j > 0 && static_cast<uint8_t>(m_folded[j]) != c) j = m_fallback[j - 1];
    if (static_cast<uint8_t>(m_folded[j]) == c) ++j;
    return j == m;
  });
}

bool FoldedQuery::MayBeIn(const ByteSet& present) const {
  for (const ByteSet& need : m_needs) {
    if (((need[0] & present[0]) | (need[1] & present[1]) | (need[2] & present[2]) |
         (need[3] & present[3])) == 0) {
      return false;
    }
  }
  return !m_folded.empty();
}

bool FoldedQuery::BeginsTitle(const uint8_t* title, uint32_t length, TitleBytes bytes) const {
  if (m_folded.empty() || title == nullptr) return false;
  const size_t m = m_folded.size();
  size_t j = 0;
  bool differs = false;
  EachFolded(title, length, bytes, [&](uint8_t c) {
    differs = static_cast<uint8_t>(m_folded[j]) != c;
    return differs || ++j == m;
  });
  return !differs && j == m;
}

}  // namespace orvane
