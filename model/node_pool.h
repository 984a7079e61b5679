// Storage for outline nodes. A library of a million sections makes a million
// nodes at once, and on Windows each heap allocation costs far more than the
// node's own work (0.7 s for a million under Wine). Nodes are therefore cut
// from chunks of a thousand and their slots reused; chunks are kept for the
// life of the process, for the next outline.
//
// Under AddressSanitizer nodes come from the ordinary heap, so that a node
// used after it was freed is still caught.
#pragma once

#include <cstddef>

namespace orvane::node_pool {

void* Allocate(std::size_t size);
void Release(void* slot, std::size_t size) noexcept;

}  // namespace orvane::node_pool
