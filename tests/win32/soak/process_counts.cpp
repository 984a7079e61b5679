#include "process_counts.h"

#include <psapi.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <vector>

namespace orvane::soak {
namespace {

// The GDI table's free slots, found by filling them. The count of objects in
// use is the table's size less this; the size is fixed, so a leak shows as
// a fall in free slots.
int64_t FreeGdiSlots() {
  constexpr size_t kMostSlots = 200000;
  std::vector<HGDIOBJ> taken;
  taken.reserve(70000);
  while (taken.size() < kMostSlots) {
    HGDIOBJ pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    if (!pen) break;
    taken.push_back(pen);
  }
  for (HGDIOBJ pen : taken) DeleteObject(pen);
  return static_cast<int64_t>(taken.size());
}

struct WindowCount {
  DWORD process;
  int64_t count;
};

BOOL CALLBACK CountChild(HWND, LPARAM param) {
  ++reinterpret_cast<WindowCount*>(param)->count;
  return TRUE;
}

void CountWindow(HWND window, WindowCount& tally) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != tally.process) return;
  ++tally.count;
  EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&tally));
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM param) {
  CountWindow(window, *reinterpret_cast<WindowCount*>(param));
  return TRUE;
}

int64_t ProcessWindows() {
  WindowCount tally{GetCurrentProcessId(), 0};
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&tally));
  for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
       w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr))
    CountWindow(w, tally);
  return tally.count;
}

// One entry of the system's handle list (SystemHandleInformation).
struct HandleEntry {
  ULONG ownerPid;
  BYTE objectType;
  BYTE flags;
  USHORT value;
  PVOID object;
  ULONG access;
};

struct HandleList {
  ULONG count;
  HandleEntry entries[1];
};

int64_t ListedHandles() {
  using QuerySystem = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  static const auto query = reinterpret_cast<QuerySystem>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return -1;
  constexpr ULONG kSystemHandleInformation = 16;
  constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);
  std::vector<uint8_t> buffer(1 << 20);
  for (;;) {
    ULONG needed = 0;
    LONG status =
        query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status == kLengthMismatch && buffer.size() < (1u << 28)) {
      buffer.resize(std::max<size_t>(buffer.size() * 2, needed));
      continue;
    }
    if (status < 0) return -1;
    break;
  }
  const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
  const size_t offset = offsetof(HandleList, entries);
  const auto* entries = reinterpret_cast<const HandleEntry*>(buffer.data() + offset);
  const size_t room = (buffer.size() - offset) / sizeof(HandleEntry);
  const DWORD self = GetCurrentProcessId();
  int64_t ours = 0;
  for (size_t i = 0; i < count && i < room; ++i) ours += entries[i].ownerPid == self ? 1 : 0;
  return ours;
}

uint64_t CommittedPrivateBytes() {
  uint64_t total = 0;
  MEMORY_BASIC_INFORMATION info;
  const char* at = nullptr;
  while (VirtualQuery(at, &info, sizeof info) == sizeof info) {
    if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += info.RegionSize;
    const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
    if (next <= at) break;
    at = next;
  }
  return total;
}

uint64_t HeapBytesInUse() {
  std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
  heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
  uint64_t total = 0;
  for (HANDLE heap : heaps) {
    if (!HeapLock(heap)) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry)) {
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
    }
    HeapUnlock(heap);
  }
  return total;
}

}  // namespace

ProcessCounts MeasureProcess() {
  ProcessCounts c;
  HANDLE self = GetCurrentProcess();
  c.gdiObjects = GetGuiResources(self, GR_GDIOBJECTS);
  c.userObjects = GetGuiResources(self, GR_USEROBJECTS);
  // The free slots at the first measurement; later ones count from there.
  static const int64_t slots = FreeGdiSlots();
  c.gdiSinceStart = slots - FreeGdiSlots();
  c.windows = ProcessWindows();
  GetProcessHandleCount(self, &c.handles);
  c.handlesListed = ListedHandles();
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(self, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof memory))
    c.privateUsage = memory.PrivateUsage;
  c.privateCommitted = CommittedPrivateBytes();
  c.heapInUse = HeapBytesInUse();
  return c;
}

std::string Describe(const ProcessCounts& c) {
  char line[320];
  std::snprintf(line, sizeof line,
                "GDI %lu USER %lu | GDI since start %+lld, windows %lld | "
                "handles %lu, listed %lld | "
                "private %llu KB (committed %llu KB, heaps %llu B)",
                static_cast<unsigned long>(c.gdiObjects), static_cast<unsigned long>(c.userObjects),
                static_cast<long long>(c.gdiSinceStart), static_cast<long long>(c.windows),
                static_cast<unsigned long>(c.handles), static_cast<long long>(c.handlesListed),
                static_cast<unsigned long long>(c.privateUsage / 1024),
                static_cast<unsigned long long>(c.privateCommitted / 1024),
                static_cast<unsigned long long>(c.heapInUse));
  return line;
}

}  // namespace orvane::soak
