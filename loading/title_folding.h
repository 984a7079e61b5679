// Folding titles the way readers of Arabic search them: marks and tatweel
// dropped, the alef forms, alef maqsura, ta marbuta and the hamza carriers
// reduced to their bare letters, Latin A-Z without case, and every run of
// blanks one space. It works on Windows-1256 bytes where they lie, through
// one 256-entry table, so that a search over a million titles decodes none
// of them to UTF-16.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/book_shelf.h"
#include <string_view>
#include <vector>

namespace orvane {

// What a byte of a title becomes: a folded byte, nothing, or a blank that
// joins the blanks around it.
enum class FoldKind : uint8_t { Keep, Drop, Blank };

// The folded byte of `byte` and what it does; a blank's folded byte is ' '.
FoldKind FoldOf(uint8_t byte, uint8_t& folded);

// The folding of Windows-1256 text: dropped bytes gone, letters reduced, runs
// of blanks one space, no blank at either end. Zero bytes are kept as they
// are (no title holds one).
std::string FoldCp1256(std::string_view text);

// How a title's bytes lie: decoded (a node's title, up to its first zero or
// its length), or as a book's file stores them (each byte one less than the
// character, ended by a stored zero, and a stored 0xFF decoding to the end).
enum class TitleBytes : uint8_t { Decoded, Stored };

// A query folded once, matched against titles folded as they are read.
class FoldedQuery {
 public:
  FoldedQuery() = default;
  // Folds `cp1256`; a query that folds to nothing matches nothing.
  explicit FoldedQuery(std::string_view cp1256);
  // A query that matches nothing, for text the code page cannot write.
  static FoldedQuery Nothing() { return FoldedQuery(); }

  const std::string& Folded() const { return m_folded; }
  bool MatchesNothing() const { return m_folded.empty(); }

  // Whether the folded query lies in the folded title.
  bool FoundIn(const uint8_t* title, uint32_t length, TitleBytes bytes) const;
  // Whether the folded title begins with the folded query.
  bool BeginsTitle(const uint8_t* title, uint32_t length, TitleBytes bytes) const;
  // False when decoded bytes of the values `present` cannot fold to every
  // byte of the query: then no title made of them matches.
  bool MayBeIn(const ByteSet& present) const;

 private:
  std::string m_folded;
  std::vector<uint32_t> m_fallback;
  std::vector<ByteSet> m_needs;  // per distinct query byte, the decoded bytes folding to it  // per
                                 // query byte, where a mismatch goes on from
  // Per title byte, decoded and stored: does it fold to the query's first
  // byte, or end the title? Titles without such a byte are passed over
  // without being folded.
  static constexpr uint8_t kPass = 0, kCandidate = 1, kTitleEnd = 2;
  uint8_t m_firstByte[2][256] = {};
};

}  // namespace orvane
