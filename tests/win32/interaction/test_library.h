// A small catalogue written to a temporary folder at start, loaded by each
// test through the system's own profile and file reading:
//
//   row 0  "Fiqh"    book 1 "Purity"  Water > Rain, Well; Ablution
//                    book 2 "Prayer"  Times
//   row 1  "Hadith"  book 3 kLongTitle  kLongSection > "Isnad"
//                    book 4 "Short"   (no TOC file)
#pragma once

#include <string>

namespace orvane::test {

inline constexpr const char* kLongTitle =
    "The Collection of Sound Reports with their Chains, Chapters and Commentary";
inline constexpr const char* kLongSection =
    "Chapter on the beginning of the revelation and how it came to the Prophet";

// The topic name (catalogue path without ".INI"), the files made once.
const std::string& TestTopic();

}  // namespace orvane::test
