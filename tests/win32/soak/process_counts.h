// What a long session must not grow: the process's GDI and USER objects,
// its kernel handles and its private memory.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace orvane::soak {

struct ProcessCounts {
  // As the system counts them (GetGuiResources); Wine answers 0 for both.
  DWORD gdiObjects = 0;
  DWORD userObjects = 0;
  // Counted by what they do, which works under Wine as well: GDI objects
  // made since the first measurement, as the fall in the handle table's free
  // slots (taken one by one and given back); USER objects as the windows of
  // the process, message-only ones included.
  int64_t gdiSinceStart = 0;
  int64_t windows = 0;
  // Kernel handles: the system's count (GetProcessHandleCount, 0 under
  // Wine) and the process's entries in the system's handle list.
  DWORD handles = 0;
  int64_t handlesListed = 0;
  // Committed private memory: the system's figure (PrivateUsage) and the
  // sum of the committed private regions of the address space.
  uint64_t privateUsage = 0;
  uint64_t privateCommitted = 0;
  // Bytes in the busy blocks of every heap of the process, as the heap walk
  // reports them (under Wine it leaves out the low-fragmentation heap's
  // small blocks).
  uint64_t heapInUse = 0;
};

ProcessCounts MeasureProcess();

// One line of figures, labelled.
std::string Describe(const ProcessCounts& counts);

}  // namespace orvane::soak
