// Windows-1256 decoding, built in so that titles decode the same whatever
// code pages the system has installed.
#ifndef HARFIX_CP1256_H
#define HARFIX_CP1256_H

#include <cstddef>
#include <string>

namespace harfix {

// The UTF-16 text of bytes[0, length); every byte maps to exactly one unit.
std::wstring DecodeCp1256(const char* bytes, std::size_t length);

}  // namespace harfix

#endif
