// What a host's Node objects cost under Wine, measured on the real control:
// the heap bytes 100,000 held section Nodes take beyond the outline (beside
// the outline's own bytes per section node and the 64-byte goal), what is
// left once they are released, and the heap after 10 and after 1,000 cycles
// that walk, hold, release and reload a small library. Asserts nothing.
//   wine node_memory_timing.exe ORVANE.OCX BENCH_TOPIC SMALL_TOPIC
#include <windows.h>
#include <ocidl.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "orvane_h.h"

namespace {

template <class I>
struct Ref {
  I* p = nullptr;
  ~Ref() {
    if (p) p->Release();
  }
  I** operator&() { return &p; }
  I* operator->() const { return p; }
};

// Bytes in use on every heap of the process, with their bookkeeping.
double HeapBytes() {
  HANDLE heaps[64];
  const DWORD count = GetProcessHeaps(64, heaps);
  double total = 0;
  for (DWORD i = 0; i < count && i < 64; ++i) {
    HeapLock(heaps[i]);
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heaps[i], &entry)) {
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData + entry.cbOverhead;
    }
    HeapUnlock(heaps[i]);
  }
  return total;
}

HRESULT NewControl(HMODULE module, IOrvaneAutomation** out) {
  auto getClassObject = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  if (getClassObject == nullptr) return E_FAIL;
  Ref<IClassFactory> factory;
  HRESULT hr = getClassObject(CLSID_Orvane, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) return hr;
  hr = factory->CreateInstance(nullptr, IID_IOrvaneAutomation, reinterpret_cast<void**>(out));
  if (FAILED(hr)) return hr;
  Ref<IPersistStreamInit> persist;
  (*out)->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist));
  if (persist.p) persist->InitNew();
  return S_OK;
}

bool Load(IOrvaneAutomation* control, const wchar_t* topic) {
  BSTR name = SysAllocString(topic);
  VARIANT_BOOL loaded = VARIANT_FALSE;
  control->LoadBooks(name, &loaded);
  SysFreeString(name);
  return loaded != VARIANT_FALSE;
}

// Appends the children of `node` (and, when `deep`, all below them).
void HoldChildren(IDispatch* node, std::vector<IDispatch*>& held, bool deep) {
  Ref<INodeAutomation> automation;
  node->QueryInterface(IID_INodeAutomation, reinterpret_cast<void**>(&automation));
  if (!automation.p) return;
  Ref<IDispatch> children;
  if (FAILED(automation->get_Children(&children)) || !children.p) return;
  Ref<INodesAutomation> nodes;
  children->QueryInterface(IID_INodesAutomation, reinterpret_cast<void**>(&nodes));
  LONG count = 0;
  nodes->get_Count(&count);
  for (LONG i = 1; i <= count; ++i) {
    IDispatch* child = nullptr;
    if (FAILED(nodes->get_Item(i, &child)) || child == nullptr) continue;
    held.push_back(child);
    if (deep) HoldChildren(child, held, true);
  }
}

void ReleaseAll(std::vector<IDispatch*>& held) {
  for (IDispatch* node : held) node->Release();
  held.clear();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    std::printf("usage: node_memory_timing ORVANE.OCX BENCH_TOPIC SMALL_TOPIC\n");
    return 2;
  }
  OleInitialize(nullptr);
  HMODULE module = LoadLibraryW(argv[1]);
  IOrvaneAutomation* control = nullptr;
  if (module == nullptr || FAILED(NewControl(module, &control))) {
    std::printf("cannot create the control from %ls\n", argv[1]);
    return 1;
  }

  // The outline first, every book read, so that only the Nodes are counted.
  const double empty = HeapBytes();
  if (!Load(control, argv[2])) return 1;
  short books = 0;
  for (int b = 1; b <= INT16_MAX; ++b) {
    BSTR title = nullptr;
    IDispatch* book = nullptr;
    control->GetBookNode(static_cast<short>(b), &book);
    if (book == nullptr) break;
    book->Release();
    control->GetSectionTitle(static_cast<short>(b), 10, &title);
    SysFreeString(title);
    books = static_cast<short>(b);
  }
  const double outline = HeapBytes();
  std::vector<IDispatch*> held;
  held.reserve(110000);
  const double before = HeapBytes();
  for (short b = 1; b <= books && held.size() < 100000; ++b) {
    IDispatch* book = nullptr;
    control->GetBookNode(b, &book);
    if (book == nullptr) continue;
    HoldChildren(book, held, false);
    book->Release();
  }
  const double holding = HeapBytes();
  const size_t count = held.size();
  ReleaseAll(held);
  const double released = HeapBytes();
  // The sections' share of the outline: a section node with its allocator
  // header and its pointer in its parent's list (docs/architecture.md).
  std::printf("nodes: the outline of %d books: %.1f MB of heap\n", books, (outline - empty) / 1e6);
  std::printf(
      "nodes: %zu section Nodes held: %.1f bytes each beyond the outline "
      "(goal: at most 64; a section node itself: 88)\n",
      count, (holding - before) / static_cast<double>(count ? count : 1));
  std::printf("nodes: after releasing them: %.0f bytes left of %.0f\n", released - before,
              holding - before);

  // The soak: a small library walked whole, held, released and reloaded.
  double at10 = 0, at1000 = 0;
  for (int cycle = 1; cycle <= 1000; ++cycle) {
    if (!Load(control, argv[3])) return 1;
    IDispatch* roots = nullptr;
    control->get_RootNodes(&roots);
    Ref<INodesAutomation> nodes;
    roots->QueryInterface(IID_INodesAutomation, reinterpret_cast<void**>(&nodes));
    roots->Release();
    LONG top = 0;
    nodes->get_Count(&top);
    for (LONG i = 1; i <= top; ++i) {
      IDispatch* node = nullptr;
      nodes->get_Item(i, &node);
      held.push_back(node);
      HoldChildren(node, held, true);
    }
    ReleaseAll(held);
    if (cycle == 10) at10 = HeapBytes();
    if (cycle == 1000) at1000 = HeapBytes();
  }
  std::printf(
      "nodes: soak of 1,000 walk, hold, release and reload cycles: heap %.0f bytes "
      "after 10, %.0f after 1,000 (growth %.0f)\n",
      at10, at1000, at1000 - at10);
  control->Release();
  OleUninitialize();
  return 0;
}
