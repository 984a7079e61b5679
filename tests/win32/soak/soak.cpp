// A long session in one process, as a host that opens and closes forms all
// day sees it: each cycle creates the control, activates it in a window,
// loads a library, navigates, hovers a title until its balloon shows,
// re-creates the control's window twice and destroys the control.
//
//   orvane_soak.exe [cycles] [report every]      (defaults: 50, 100)
//
// The process's GDI and USER objects, handles and private memory are printed
// before the first cycle, after it, every `report every` cycles and at the
// end. The run fails (exit code 1) when a cycle could not be run, or when
// the last figures pass those after the first cycle (which include what
// the first cycle caches): any growth of objects, windows or handles, or of
// memory by more than its slack.
#include <windows.h>
#include <olectl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ocx_module.h"
#include "process_counts.h"
#include "test_container.h"

namespace orvane::soak {
namespace {

using test::Bstr;

// Committed pages move by whole pages and regions as the heaps grow and
// shrink. The heaps' busy bytes are finer, but Wine's heap walk does not
// see the blocks of its low-fragmentation heap (where small blocks live),
// so under Wine a leak of small blocks shows only once it takes new pages:
// about a kilobyte a cycle over a thousand cycles. The core's own
// allocations are checked for leaks, to the byte, under LeakSanitizer.
constexpr uint64_t kCommittedSlack = 512 * 1024;
constexpr uint64_t kHeapSlack = 64 * 1024;

// The control is narrow, so that titles do not fit and hovering shows them.
constexpr RECT kControlRect{10, 10, 110, 210};

// Pumps messages for `ms` milliseconds, or until `done` holds.
template <typename Done>
bool PumpUntil(DWORD ms, Done done) {
  const DWORD start = GetTickCount();
  for (;;) {
    test::PumpMessages();
    if (done()) return true;
    if (GetTickCount() - start >= ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

bool BalloonShown() {
  HWND balloon = FindWindowW(L"OrvaneBalloonWindow", nullptr);
  return balloon != nullptr && IsWindowVisible(balloon);
}

// Rests the pointer on row `row` of the list box until the balloon shows.
bool Hover(HWND list, int row) {
  RECT item{};
  if (SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item)) == LB_ERR)
    return false;
  POINT point{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
  POINT screen = point;
  ClientToScreen(list, &screen);
  SetCursorPos(screen.x, screen.y);
  PostMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
  return PumpUntil(2000, BalloonShown);
}

void Key(HWND list, UINT key) {
  SendMessageW(list, WM_KEYDOWN, key, 0);
  SendMessageW(list, WM_KEYUP, key, 0xC0000000);
}

// Walks every node through the Node objects, holding each until the walk
// ends, opening and selecting some on the way.
void HoldChildren(IDispatch* nodes, std::vector<ComPtr<IDispatch>>& held) {
  ComPtr<INodesAutomation> list;
  if (nodes == nullptr ||
      FAILED(nodes->QueryInterface(IID_INodesAutomation, reinterpret_cast<void**>(list.Receive()))))
    return;
  LONG count = 0;
  list->get_Count(&count);
  for (LONG i = 1; i <= count; ++i) {
    ComPtr<IDispatch> item;
    if (FAILED(list->get_Item(i, item.Receive())) || !item) continue;
    ComPtr<INodeAutomation> node;
    item->QueryInterface(IID_INodeAutomation, reinterpret_cast<void**>(node.Receive()));
    if (!node) continue;
    if (i == 1) node->put_Expanded(VARIANT_TRUE);
    if (i == count) node->Select();
    ComPtr<IDispatch> children;
    node->get_Children(children.Receive());
    held.push_back(item);
    HoldChildren(children.Get(), held);
  }
}

void HoldWholeOutline(IOrvaneAutomation* control) {
  std::vector<ComPtr<IDispatch>> held;
  ComPtr<IDispatch> roots;
  control->get_RootNodes(roots.Receive());
  HoldChildren(roots.Get(), held);
}

struct CycleResult {
  bool ran = false;
  bool balloonShown = false;
};

CycleResult RunCycle(HWND host, const std::wstring& topic, IFontDisp* font) {
  CycleResult result;
  ComPtr<IOrvaneAutomation> control = test::NewControl();
  if (!control) return result;
  auto site = ComPtr<test::TestSite>::Adopt(new test::TestSite(host, kControlRect));
  ComPtr<IOleObject> object = test::ActivateInPlace(control.Get(), site.Get(), host, kControlRect);
  if (!object) return result;

  control->put_ElapsedTime(1);
  VARIANT_BOOL ok = VARIANT_FALSE;
  control->LoadBooks(Bstr(topic).Get(), &ok);
  if (!ok) {
    test::CloseInPlace(object.Get());
    return result;
  }
  // Navigation: the host's jumps, check states, both views, keys.
  control->put_ApplyCheck(VARIANT_TRUE);
  control->GotoTocPosition(1, 10, &ok);
  control->GotoTocPosition(2, 10, &ok);
  control->ActivateBook(1);
  control->SetStateBook(2, VARIANT_FALSE, &ok);
  control->put_ApplyCheck(VARIANT_FALSE);
  control->put_ApplyCheck(VARIANT_TRUE);
  HWND list = test::ControlWindowOf(control.Get());
  Key(list, VK_HOME);
  Key(list, VK_DOWN);
  Key(list, VK_RIGHT);
  Key(list, VK_DOWN);
  Key(list, VK_LEFT);
  Bstr title;
  control->GetSectionTitle(1, 10, title.Receive());
  control->DeactivateBook(1);

  result.balloonShown = Hover(list, 1);

  // Two re-creations of the window, then the rows again and another hover.
  control->put_ReadingOrder(RTL);
  control->putref_Fonta(font);
  control->put_ApplyCheck(VARIANT_FALSE);
  control->put_ApplyCheck(VARIANT_TRUE);
  list = test::ControlWindowOf(control.Get());
  result.balloonShown = Hover(list, 1) && result.balloonShown;
  // The outline as a host walks it: every node held, then let go, then a
  // Node kept over a reload (which makes it stale) and released after.
  ComPtr<IDispatch> kept;
  control->GetBookNode(1, kept.Receive());
  HoldWholeOutline(control.Get());
  control->LoadBooks(Bstr(topic).Get(), &ok);
  control->put_ApplyCheck(VARIANT_TRUE);
  HoldWholeOutline(control.Get());
  kept.Reset();

  test::CloseInPlace(object.Get());
  object.Reset();
  control.Reset();
  site.Reset();
  test::PumpMessages();
  result.ran = true;
  return result;
}

bool Grew(const char* what, uint64_t before, uint64_t after, uint64_t slack = 0) {
  if (after <= before + slack) return false;
  std::printf("soak: %s grew from %llu to %llu\n", what, static_cast<unsigned long long>(before),
              static_cast<unsigned long long>(after));
  return true;
}

int Run(int cycles, int every) {
  test::HostWindow host;
  const std::wstring topic = test::WriteTestCatalogue(L"SOAK");
  FONTDESC desc{sizeof(FONTDESC),
                const_cast<LPOLESTR>(L"Tahoma"),
                {{120000, 0}},
                700,
                0,
                FALSE,
                FALSE,
                FALSE};
  ComPtr<IFontDisp> font;
  OleCreateFontIndirect(&desc, IID_IFontDisp, reinterpret_cast<void**>(font.Receive()));
  test::PumpMessages();

  std::printf("soak: %d cycles\n", cycles);
  std::printf("before      %s\n", Describe(MeasureProcess()).c_str());
  ProcessCounts first;
  int balloons = 0;
  for (int cycle = 1; cycle <= cycles; ++cycle) {
    CycleResult r = RunCycle(host.Handle(), topic, font.Get());
    if (!r.ran) {
      std::printf("soak: cycle %d could not be run\n", cycle);
      return 1;
    }
    balloons += r.balloonShown ? 1 : 0;
    if (cycle == 1) {
      first = MeasureProcess();
      std::printf("cycle %5d %s\n", cycle, Describe(first).c_str());
    } else if (cycle % every == 0 || cycle == cycles) {
      std::printf("cycle %5d %s\n", cycle, Describe(MeasureProcess()).c_str());
    }
    std::fflush(stdout);
  }
  const ProcessCounts last = MeasureProcess();
  std::printf("soak: the balloon showed in %d of %d cycles\n", balloons, cycles);

  bool grew = false;
  grew |= Grew("GDI objects", first.gdiObjects, last.gdiObjects);
  grew |= Grew("USER objects", first.userObjects, last.userObjects);
  grew |= Grew("GDI objects made since start", static_cast<uint64_t>(first.gdiSinceStart),
               static_cast<uint64_t>(last.gdiSinceStart));
  grew |=
      Grew("windows", static_cast<uint64_t>(first.windows), static_cast<uint64_t>(last.windows));
  grew |= Grew("handles", first.handles, last.handles);
  grew |= Grew("listed handles", static_cast<uint64_t>(first.handlesListed),
               static_cast<uint64_t>(last.handlesListed));
  grew |= Grew("private memory", first.privateUsage, last.privateUsage, kCommittedSlack);
  grew |= Grew("committed private memory", first.privateCommitted, last.privateCommitted,
               kCommittedSlack);
  grew |= Grew("bytes in use in the heaps", first.heapInUse, last.heapInUse, kHeapSlack);
  if (balloons != cycles) {
    std::printf("soak: the balloon did not show in every cycle\n");
    grew = true;
  }
  std::printf(grew ? "soak: FAILED\n" : "soak: no growth\n");
  return grew ? 1 : 0;
}

}  // namespace
}  // namespace orvane::soak

int main(int argc, char** argv) {
  const int cycles = argc > 1 ? std::atoi(argv[1]) : 50;
  const int every = argc > 2 ? std::atoi(argv[2]) : 100;
  if (cycles < 1 || every < 1) {
    std::fprintf(stderr, "usage: orvane_soak [cycles] [report every]\n");
    return 2;
  }
  if (FAILED(OleInitialize(nullptr))) return 1;
  const int status = orvane::soak::Run(cycles, every);
  OleUninitialize();
  return status;
}
