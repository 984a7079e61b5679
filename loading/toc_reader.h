// Reading a book's table-of-contents (TOC) file into section nodes.
//
// File: a 10-byte header (u16 at offset 6: number of top-level sections) and
// records of a 21-byte header plus a title stored as code - 1. The leading
// region holds whole sibling groups, depth first, and ends at the end of the
// file or at 21 zero bytes where a group would begin. Later records are
// reached through their parent's FirstChildPos, two bytes apart.
#pragma once

#include <cstdint>
#include <memory>

#include "model/outline_node.h"

namespace orvane {

class File;

// Decodes stored title bytes in place: stops at the first stored zero byte,
// adds 1 to each byte, and turns a decoded line feed or carriage return into
// a blank. Returns the number of bytes decoded.
uint32_t DecodeTitle(uint8_t* bytes, uint32_t length);

// Makes a node over the record at `pos` of `buffer`, decoding its title in
// place. The caller has checked that the whole record lies inside the buffer
// and that one more byte follows it (the TocBuffer's spare bytes).
std::unique_ptr<OutlineNode> NodeFromBuffer(uint8_t* buffer, uint32_t pos);

// Builds the leading region of one book under `book` (the book node) and
// returns the offset where the parse stopped: records before it hold decoded
// titles. `buffer` holds `length` bytes plus 2 spare bytes.
uint32_t ParseToc(OutlineNode& book, uint8_t* buffer, uint32_t length, int16_t bookNumber);
// The same, telling in `childrenWait` whether some section made was left
// waiting for children its group did not bring (they are in the file's runs,
// or nowhere).
uint32_t ParseToc(OutlineNode& book, uint8_t* buffer, uint32_t length, int16_t bookNumber,
                  bool& childrenWait);

// Reads the record at `pos` of `file` into a buffer the new node owns; null
// when the record cannot be read whole.
std::unique_ptr<OutlineNode> ReadRecordNode(File& file, uint32_t pos);

// Reads the children still missing from the run at the node's FirstChildPos,
// appends them after the children it has, and returns the number of children
// it now has. A section at the deepest level reads none.
int32_t LoadChildren(File& file, OutlineNode& node);

}  // namespace orvane
