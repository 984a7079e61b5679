// ChildReader: reads a section's children that its book's leading region left
// in the file. The row view asks for them when a section opens; the catalogue
// knows where the book's file is.
#pragma once

namespace orvane {

class OutlineNode;

class ChildReader {
 public:
  virtual ~ChildReader() = default;
  // Appends the node's missing children; false when there is nothing to read
  // or the file cannot be opened.
  virtual bool ReadDeferredChildren(OutlineNode& node) = 0;
};

}  // namespace orvane
