// The control as a screen reader reads it: a client that knows only oleacc
// asks the control's window for its client object and reads and drives the
// rows through IAccessible, and an out-of-context event hook hears what
// clicks and keys change.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <oleacc.h>
#include <windows.h>

#include <string>
#include <vector>

#include "ocx_module.h"
#include "test_container.h"

namespace orvane::test {
namespace {

// The import library's IID_IAccessible is a thunk, not the GUID.
const IID kAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

const std::wstring kGrammar = L"كتب النحو";
const std::wstring kAjurrumiyya = L"الآجرومية";
const std::wstring kFiqh = L"متن الفقه";
const std::wstring kAdab = L"الأدب";
const std::wstring kKamil = L"الكامل";  // no TOC file: nothing to open

// A catalogue in the ANSI code page (1256 under the tests' locale): the
// first category holds the two books with TOC files, the second one book
// without.
std::wstring WriteArabicCatalogue() {
  const std::wstring topic = TempFolder() + L"\\ARABIC";
  const std::wstring lines[] = {L"[Directories]",
                                L"TOC=" + DataFolder(),
                                L"[Books]",
                                L"Count=3",
                                L"[Categories]",
                                L"Count=2",
                                L"Name1=" + kGrammar,
                                L"Name2=" + kAdab,
                                L"[Category1]",
                                L"Count=2",
                                L"Title1=" + kAjurrumiyya,
                                L"Name1=NAHW",
                                L"Title2=" + kFiqh,
                                L"Name2=FIQH",
                                L"[Category2]",
                                L"Count=1",
                                L"Title1=" + kKamil,
                                L"Name1=KAMIL"};
  std::string text;
  for (const std::wstring& line : lines) {
    char bytes[512];
    const int n = WideCharToMultiByte(1256, 0, line.c_str(), static_cast<int>(line.size()), bytes,
                                      sizeof bytes, nullptr, nullptr);
    text.append(bytes, static_cast<size_t>(n));
    text += "\r\n";
  }
  HANDLE file =
      CreateFileW((topic + L".INI").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return topic;
}

VARIANT Child(long id) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_I4;
  V_I4(&v) = id;
  return v;
}

// The child id a VARIANT answer holds; -1 for VT_EMPTY, -2 for anything else.
long IdOf(const VARIANT& v) {
  if (V_VT(&v) == VT_EMPTY) return -1;
  return V_VT(&v) == VT_I4 ? V_I4(&v) : -2;
}

// Win events recorded by an out-of-context hook, for one window.
struct HeardEvent {
  DWORD event;
  LONG child;
  bool operator==(const HeardEvent&) const = default;
};
std::vector<HeardEvent> g_heard;
HWND g_watched = nullptr;

void CALLBACK Hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  if (window == g_watched && object == OBJID_CLIENT) g_heard.push_back({event, child});
}

class Accessibility : public testing::Test {
 protected:
  void SetUp() override {
    control = NewControl();
    ASSERT_TRUE(control);
    site = ComPtr<TestSite>::Adopt(new TestSite(host.Handle(), RECT{10, 10, 310, 210}));
    object = ActivateInPlace(control.Get(), site.Get(), host.Handle(), RECT{10, 10, 310, 210});
    ASSERT_TRUE(object);
    Bstr topic(WriteArabicCatalogue());
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(control->LoadBooks(topic.Get(), &loaded), S_OK);
    ASSERT_EQ(loaded, VARIANT_TRUE);
    Connect();
  }
  void TearDown() override {
    accessible = ComPtr<IAccessible>();
    CloseInPlace(object.Get());
  }

  // What a client does first: the client object of the control's window.
  void Connect() {
    accessible = ComPtr<IAccessible>();
    ASSERT_EQ(AccessibleObjectFromWindow(ListBox(), static_cast<DWORD>(OBJID_CLIENT), kAccessible,
                                         reinterpret_cast<void**>(accessible.Receive())),
              S_OK);
    ASSERT_TRUE(accessible);
  }

  HWND ListBox() { return ControlWindowOf(control.Get()); }
  long Count() {
    long count = -1;
    EXPECT_EQ(accessible->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, SendMessageW(ListBox(), LB_GETCOUNT, 0, 0));
    return count;
  }
  std::wstring Name(long id) {
    Bstr name;
    HRESULT hr = accessible->get_accName(Child(id), name.Receive());
    return hr == S_OK ? name.Text() : L"<" + std::to_wstring(hr) + L">";
  }
  std::vector<std::wstring> Names() {
    std::vector<std::wstring> out;
    for (long id = 1, n = Count(); id <= n; ++id) out.push_back(Name(id));
    return out;
  }
  std::wstring Value(long id) {
    Bstr value;
    return accessible->get_accValue(Child(id), value.Receive()) == S_OK ? value.Text() : L"-";
  }
  std::wstring Action(long id) {
    Bstr action;
    return accessible->get_accDefaultAction(Child(id), action.Receive()) == S_OK ? action.Text()
                                                                                 : L"-";
  }
  long Role(long id) {
    VARIANT role;
    EXPECT_EQ(accessible->get_accRole(Child(id), &role), S_OK);
    return V_VT(&role) == VT_I4 ? V_I4(&role) : -1;
  }
  long State(long id) {
    VARIANT state;
    EXPECT_EQ(accessible->get_accState(Child(id), &state), S_OK);
    return V_VT(&state) == VT_I4 ? V_I4(&state) : -1;
  }
  long Navigate(long direction, long from) {
    VARIANT end;
    HRESULT hr = accessible->accNavigate(direction, Child(from), &end);
    if (hr == S_FALSE) return -1;
    EXPECT_EQ(hr, S_OK);
    return IdOf(end);
  }
  long IdOfRow(const std::wstring& name) {
    for (long id = 1, n = Count(); id <= n; ++id) {
      if (Name(id) == name) return id;
    }
    return 0;
  }

  HostWindow host;
  ComPtr<TestSite> site;
  ComPtr<IOrvaneAutomation> control;
  ComPtr<IOleObject> object;
  ComPtr<IAccessible> accessible;
};

constexpr long kOpenable = STATE_SYSTEM_EXPANDED | STATE_SYSTEM_COLLAPSED;
constexpr long kChecks = STATE_SYSTEM_CHECKED | STATE_SYSTEM_MIXED;

TEST_F(Accessibility, TheOutlineAndItsRowsInArabic) {
  EXPECT_EQ(Role(CHILDID_SELF), ROLE_SYSTEM_OUTLINE);
  EXPECT_EQ(Names(), (std::vector<std::wstring>{kGrammar, kAdab}));
  EXPECT_EQ(Role(1), ROLE_SYSTEM_OUTLINEITEM);
  EXPECT_EQ(Value(1), L"1");
  EXPECT_EQ(State(1) & kOpenable, STATE_SYSTEM_COLLAPSED);
  EXPECT_EQ(Action(1), L"Expand");

  // The default action opens the category as its button does.
  ASSERT_EQ(accessible->accDoDefaultAction(Child(1)), S_OK);
  EXPECT_EQ(Names(), (std::vector<std::wstring>{kGrammar, kAjurrumiyya, kFiqh, kAdab}));
  EXPECT_EQ(State(1) & kOpenable, STATE_SYSTEM_EXPANDED);
  EXPECT_EQ(Action(1), L"Collapse");
  EXPECT_EQ(Value(2), L"2");
  EXPECT_EQ(State(2) & kOpenable, STATE_SYSTEM_COLLAPSED) << "a book with sections";
  EXPECT_EQ(State(1) & STATE_SYSTEM_SELECTED, STATE_SYSTEM_SELECTED)
      << "as a click makes it current";

  // A book opens to its top sections, whose Arabic titles come from its
  // file; a section with sections of its own can open in turn.
  ASSERT_EQ(accessible->accDoDefaultAction(Child(2)), S_OK);
  EXPECT_EQ(Count(), 7);
  EXPECT_EQ(Name(3), L"مقدمة");
  EXPECT_EQ(Value(3), L"3");
  EXPECT_EQ(Role(3), ROLE_SYSTEM_OUTLINEITEM);
  EXPECT_EQ(State(3) & kOpenable, 0);
  EXPECT_EQ(Name(4), L"الكلام");
  EXPECT_EQ(State(4) & kOpenable, STATE_SYSTEM_COLLAPSED);
  ASSERT_EQ(accessible->accDoDefaultAction(Child(4)), S_OK);
  EXPECT_EQ(Name(6), L"الفعل");
  EXPECT_EQ(Value(6), L"4");

  // Closing the category takes every row under it away.
  ASSERT_EQ(accessible->accDoDefaultAction(Child(1)), S_OK);
  EXPECT_EQ(Names(), (std::vector<std::wstring>{kGrammar, kAdab}));
  // A book without a file has nothing to open, and outside the check view
  // no other action.
  ASSERT_EQ(accessible->accDoDefaultAction(Child(2)), S_OK);
  const long kamil = IdOfRow(kKamil);
  ASSERT_GT(kamil, 0);
  EXPECT_EQ(State(kamil) & kOpenable, 0);
  EXPECT_EQ(Action(kamil), L"-");
  EXPECT_EQ(accessible->accDoDefaultAction(Child(kamil)), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Action(CHILDID_SELF), L"-");
}

TEST_F(Accessibility, CheckStatesGreyingAndTheCheckAction) {
  // The check view shows every category open with its books.
  ASSERT_EQ(control->put_ApplyCheck(VARIANT_TRUE), S_OK);
  ASSERT_EQ(Names(), (std::vector<std::wstring>{kGrammar, kAjurrumiyya, kFiqh, kAdab, kKamil}));
  for (long id = 1; id <= 5; ++id) EXPECT_EQ(State(id) & kChecks, STATE_SYSTEM_CHECKED) << id;

  VARIANT_BOOL done = VARIANT_FALSE;
  control->SetStateBook(2, VARIANT_FALSE, &done);
  EXPECT_EQ(State(3) & kChecks, 0) << "unchecked";
  EXPECT_EQ(State(1) & kChecks, STATE_SYSTEM_MIXED) << "one of two books";

  // Where checking is the row's only action, it is the default one, done
  // as a click on the box does it.
  EXPECT_EQ(Action(5), L"Uncheck");
  ASSERT_EQ(accessible->accDoDefaultAction(Child(5)), S_OK);
  short state = -1;
  control->GetStateBook(3, &state);
  EXPECT_EQ(state, 1) << "csUnchecked";
  EXPECT_EQ(State(5) & kChecks, 0);
  EXPECT_EQ(State(4) & kChecks, 0) << "its category, with no book checked";
  EXPECT_EQ(Action(5), L"Check");
  EXPECT_EQ(State(5) & STATE_SYSTEM_SELECTED, STATE_SYSTEM_SELECTED);

  // A greyed book is unavailable and has no action, as a click does nothing.
  ASSERT_EQ(control->DeactivateBook(1), S_OK);
  EXPECT_EQ(State(2) & STATE_SYSTEM_UNAVAILABLE, STATE_SYSTEM_UNAVAILABLE);
  EXPECT_EQ(State(3) & STATE_SYSTEM_UNAVAILABLE, 0);
  EXPECT_EQ(Action(2), L"-");
  EXPECT_EQ(accessible->accDoDefaultAction(Child(2)), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Count(), 5);
  ASSERT_EQ(control->ActivateBook(1), S_OK);
  EXPECT_EQ(Action(2), L"Expand");

  // The checked-only view shows no boxes and leaves the unchecked books out.
  ASSERT_EQ(control->put_ApplyCheck(VARIANT_FALSE), S_OK);
  EXPECT_EQ(Names(), (std::vector<std::wstring>{kGrammar, kAjurrumiyya}));
  EXPECT_EQ(State(1) & kChecks, 0);
  EXPECT_EQ(State(1) & kOpenable, STATE_SYSTEM_EXPANDED);
}

TEST_F(Accessibility, LocationsAndHitTestsFollowTheRowsInBothLayouts) {
  for (long alignment : {2L, 0L}) {
    SCOPED_TRACE(alignment);
    ASSERT_EQ(control->put_Alignment(static_cast<::TAlignment>(alignment)), S_OK);
    Connect();
    if (Count() == 2) accessible->accDoDefaultAction(Child(1));
    ASSERT_EQ(Count(), 4);
    RECT client{};
    GetClientRect(ListBox(), &client);
    for (long id = 1; id <= 4; ++id) {
      RECT item{};
      SendMessageW(ListBox(), LB_GETITEMRECT, static_cast<WPARAM>(id - 1),
                   reinterpret_cast<LPARAM>(&item));
      MapWindowPoints(ListBox(), nullptr, reinterpret_cast<POINT*>(&item), 2);
      long x = 0, y = 0, w = 0, h = 0;
      ASSERT_EQ(accessible->accLocation(&x, &y, &w, &h, Child(id)), S_OK);
      EXPECT_EQ(x, item.left);
      EXPECT_EQ(y, item.top);
      EXPECT_EQ(w, item.right - item.left);
      EXPECT_EQ(h, 16);
      VARIANT hit;
      ASSERT_EQ(accessible->accHitTest(item.left + 5, item.top + h - 1, &hit), S_OK);
      EXPECT_EQ(IdOf(hit), id);
    }
    POINT below{20, 4 * 16 + 8};
    ClientToScreen(ListBox(), &below);
    VARIANT hit;
    ASSERT_EQ(accessible->accHitTest(below.x, below.y, &hit), S_OK);
    EXPECT_EQ(IdOf(hit), CHILDID_SELF) << "below the rows";
    POINT outside{client.right + 30, 5};
    ClientToScreen(ListBox(), &outside);
    EXPECT_EQ(accessible->accHitTest(outside.x, outside.y, &hit), S_FALSE);
    EXPECT_EQ(IdOf(hit), -1);

    // The parent lies toward the tree lines, as the arrow keys go.
    const long outward = alignment == 2 ? NAVDIR_RIGHT : NAVDIR_LEFT;
    const long inward = alignment == 2 ? NAVDIR_LEFT : NAVDIR_RIGHT;
    EXPECT_EQ(Navigate(outward, 3), 1);
    EXPECT_EQ(Navigate(outward, 1), -1) << "a top-level row";
    EXPECT_EQ(Navigate(inward, 1), 2);
    EXPECT_EQ(Navigate(inward, 2), -1) << "a closed book";
  }
  EXPECT_EQ(Navigate(NAVDIR_FIRSTCHILD, CHILDID_SELF), 1);
  EXPECT_EQ(Navigate(NAVDIR_LASTCHILD, CHILDID_SELF), 4);
  EXPECT_EQ(Navigate(NAVDIR_NEXT, 1), 2);
  EXPECT_EQ(Navigate(NAVDIR_DOWN, 3), 4);
  EXPECT_EQ(Navigate(NAVDIR_NEXT, 4), -1);
  EXPECT_EQ(Navigate(NAVDIR_PREVIOUS, 2), 1);
  EXPECT_EQ(Navigate(NAVDIR_UP, 1), -1);
  VARIANT end;
  EXPECT_EQ(accessible->accNavigate(NAVDIR_FIRSTCHILD, Child(2), &end), E_INVALIDARG);
}

// The rows at the display's DPI, as the prefix's LogPixels sets it
// (tests/scripts/run-dpi.sh runs this at 120, 144 and 192): their pitch,
// their accessible places and the check-box column a click hits.
TEST_F(Accessibility, RowsFollowTheDisplaysDpi) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  const struct {
    int dpi, row, indent;
  } scales[] = {{96, 16, 18}, {120, 20, 23}, {144, 24, 27}, {192, 32, 36}};
  const auto* scale = std::find_if(std::begin(scales), std::end(scales),
                                   [&](const auto& s) { return s.dpi == dpi; });
  if (scale == std::end(scales)) GTEST_SKIP() << "no figures for " << dpi << " DPI";
  EXPECT_EQ(SendMessageW(ListBox(), LB_GETITEMHEIGHT, 0, 0), scale->row);

  accessible->accDoDefaultAction(Child(1));
  ASSERT_EQ(Count(), 4);
  for (long id = 1; id <= 4; ++id) {
    long x = 0, y = 0, w = 0, h = 0;
    ASSERT_EQ(accessible->accLocation(&x, &y, &w, &h, Child(id)), S_OK);
    POINT top{0, (id - 1) * scale->row};
    ClientToScreen(ListBox(), &top);
    EXPECT_EQ(y, top.y) << id;
    EXPECT_EQ(h, scale->row) << id;
    VARIANT hit;
    ASSERT_EQ(accessible->accHitTest(x + 5, y + h - 1, &hit), S_OK);
    EXPECT_EQ(IdOf(hit), id) << "the row's lowest pixel row";
  }

  // The first book's box, level 1 + 2 indents in from the right edge, at
  // the scaled Indent; the column beside it is no box.
  ASSERT_EQ(control->put_ApplyCheck(VARIANT_TRUE), S_OK);
  RECT client{};
  GetClientRect(ListBox(), &client);
  const int y = scale->row + scale->row / 2;
  auto click = [&](int x) {
    SendMessageW(ListBox(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(ListBox(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  };
  short state = -1;
  click(client.right - 4 * scale->indent - 1);
  ASSERT_EQ(control->GetStateBook(1, &state), S_OK);
  EXPECT_EQ(state, 0) << "past the box's column";
  click(client.right - 3 * scale->indent - 1);
  ASSERT_EQ(control->GetStateBook(1, &state), S_OK);
  EXPECT_EQ(state, 1) << "the box's last column";
}

// Rows scrolled out of a short control are offscreen, and still have their
// places above and below it.
TEST_F(Accessibility, RowsOutOfViewAreOffscreen) {
  accessible->accDoDefaultAction(Child(1));
  ASSERT_EQ(Count(), 4);
  RECT window{};
  GetWindowRect(ListBox(), &window);
  SetWindowPos(ListBox(), nullptr, 0, 0, window.right - window.left, 40,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(ListBox(), LB_SETTOPINDEX, 1, 0);
  ASSERT_EQ(SendMessageW(ListBox(), LB_GETTOPINDEX, 0, 0), 1);
  RECT client{};
  GetClientRect(ListBox(), &client);
  const long shown = (client.bottom + 15) / 16;
  for (long id = 1; id <= 4; ++id) {
    const bool inView = id >= 2 && id < 2 + shown;
    EXPECT_EQ((State(id) & STATE_SYSTEM_OFFSCREEN) != 0, !inView) << id;
    long x = 0, y = 0, w = 0, h = 0;
    ASSERT_EQ(accessible->accLocation(&x, &y, &w, &h, Child(id)), S_OK);
    POINT top{0, static_cast<LONG>((id - 2) * 16)};
    ClientToScreen(ListBox(), &top);
    EXPECT_EQ(y, top.y) << id;
  }
  VARIANT hit;
  POINT first{5, 2};
  ClientToScreen(ListBox(), &first);
  ASSERT_EQ(accessible->accHitTest(first.x, first.y, &hit), S_OK);
  EXPECT_EQ(IdOf(hit), 2) << "the top row shown";
}

TEST_F(Accessibility, SelectionFocusAndRowsThatAreGone) {
  accessible->accDoDefaultAction(Child(1));
  SetFocus(ListBox());
  ASSERT_EQ(accessible->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, Child(3)), S_OK);
  EXPECT_EQ(SendMessageW(ListBox(), LB_GETCURSEL, 0, 0), 2);
  short book = 0;
  control->get_ActiveBook(&book);
  EXPECT_EQ(book, 2) << "the core's current node follows";
  VARIANT answer;
  ASSERT_EQ(accessible->get_accSelection(&answer), S_OK);
  EXPECT_EQ(IdOf(answer), 3);
  ASSERT_EQ(accessible->get_accFocus(&answer), S_OK);
  EXPECT_EQ(IdOf(answer), 3);
  EXPECT_EQ(State(3) & (STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED),
            STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED);
  EXPECT_EQ(State(2) & STATE_SYSTEM_SELECTED, 0);
  EXPECT_EQ(accessible->accSelect(SELFLAG_ADDSELECTION, Child(2)), E_INVALIDARG);

  // Without the keyboard focus the row stays selected but not focused.
  SetFocus(host.Handle());
  EXPECT_EQ(accessible->get_accFocus(&answer), S_FALSE);
  EXPECT_EQ(State(3) & STATE_SYSTEM_FOCUSED, 0);

  // Ids follow the rows as they are now: after closing, the old last ids
  // name nothing.
  accessible->accDoDefaultAction(Child(1));
  ASSERT_EQ(Count(), 2);
  Bstr name;
  EXPECT_EQ(accessible->get_accName(Child(3), name.Receive()), E_INVALIDARG);
  EXPECT_EQ(accessible->get_accState(Child(4), &answer), E_INVALIDARG);
  EXPECT_EQ(accessible->accDoDefaultAction(Child(0x7fffffff)), E_INVALIDARG);
  EXPECT_EQ(accessible->get_accName(Child(-3), name.Receive()), E_INVALIDARG);

  // A client holding the object past the window gets a failure, not a crash.
  CloseInPlace(object.Get());
  object = ComPtr<IOleObject>();
  long count = -1;
  EXPECT_EQ(accessible->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(accessible->accDoDefaultAction(Child(1)), CO_E_OBJNOTCONNECTED);
}

class AccessibilityEvents : public Accessibility {
 protected:
  void SetUp() override {
    Accessibility::SetUp();
    g_heard.clear();
    g_watched = ListBox();
    hook = SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_STATECHANGE, nullptr, Hear, 0, 0,
                           WINEVENT_OUTOFCONTEXT);
    ASSERT_TRUE(hook);
    SetFocus(ListBox());
    Heard();
  }
  void TearDown() override {
    UnhookWinEvent(hook);
    g_watched = nullptr;
    Accessibility::TearDown();
  }
  // What the hook heard of our events since the last call.
  std::vector<HeardEvent> Heard() {
    for (int i = 0; i < 5; ++i) {
      PumpMessages();
      Sleep(10);
    }
    std::vector<HeardEvent> out;
    for (const HeardEvent& e : g_heard) {
      if (e.event == EVENT_OBJECT_FOCUS || e.event == EVENT_OBJECT_SELECTION ||
          e.event == EVENT_OBJECT_STATECHANGE || e.event == EVENT_OBJECT_REORDER)
        out.push_back(e);
    }
    g_heard.clear();
    return out;
  }
  static bool Has(const std::vector<HeardEvent>& events, DWORD event, LONG child) {
    for (const HeardEvent& e : events) {
      if (e.event == event && e.child == child) return true;
    }
    return false;
  }
  LPARAM RowPoint(int row, int x) { return MAKELPARAM(x, row * 16 + 8); }

  HWINEVENTHOOK hook = nullptr;
};

TEST_F(AccessibilityEvents, ClicksAndKeys) {
  // A click on the first row's button (right layout: the rightmost column)
  // makes it current and opens it.
  RECT client{};
  GetClientRect(ListBox(), &client);
  SendMessageW(ListBox(), WM_LBUTTONDOWN, MK_LBUTTON, RowPoint(0, client.right - 9));
  SendMessageW(ListBox(), WM_LBUTTONUP, 0, RowPoint(0, client.right - 9));
  std::vector<HeardEvent> heard = Heard();
  EXPECT_TRUE(Has(heard, EVENT_OBJECT_FOCUS, 1));
  EXPECT_TRUE(Has(heard, EVENT_OBJECT_SELECTION, 1));
  EXPECT_TRUE(Has(heard, EVENT_OBJECT_STATECHANGE, 1));
  EXPECT_TRUE(Has(heard, EVENT_OBJECT_REORDER, CHILDID_SELF));
  EXPECT_EQ(Count(), 4);

  // Down moves the current row; '+' opens it in place.
  SendMessageW(ListBox(), WM_KEYDOWN, VK_DOWN, 0);
  heard = Heard();
  EXPECT_TRUE(Has(heard, EVENT_OBJECT_FOCUS, 2));
  EXPECT_TRUE(Has(heard, EVENT_OBJECT_SELECTION, 2));
  EXPECT_FALSE(Has(heard, EVENT_OBJECT_STATECHANGE, 2));
  SendMessageW(ListBox(), WM_KEYDOWN, VK_ADD, 0);
  heard = Heard();
  EXPECT_TRUE(Has(heard, EVENT_OBJECT_STATECHANGE, 2));
  EXPECT_TRUE(Has(heard, EVENT_OBJECT_REORDER, CHILDID_SELF));
  EXPECT_FALSE(Has(heard, EVENT_OBJECT_FOCUS, 2)) << "the current row did not move";
  EXPECT_EQ(State(2) & kOpenable, STATE_SYSTEM_EXPANDED);

  // A host's jump moves the current row too.
  VARIANT_BOOL found = VARIANT_FALSE;
  ASSERT_EQ(control->GotoTocPosition(2, 10, &found), S_OK);
  ASSERT_EQ(found, VARIANT_TRUE);
  heard = Heard();
  const long current = static_cast<long>(SendMessageW(ListBox(), LB_GETCURSEL, 0, 0)) + 1;
  EXPECT_TRUE(Has(heard, EVENT_OBJECT_FOCUS, current));
  EXPECT_TRUE(Has(heard, EVENT_OBJECT_SELECTION, current));

  // Checking from the host, and greying a book.
  ASSERT_EQ(control->put_ApplyCheck(VARIANT_TRUE), S_OK);
  EXPECT_TRUE(Has(Heard(), EVENT_OBJECT_REORDER, CHILDID_SELF)) << "the rows were made again";
  control->SetStateBook(1, VARIANT_FALSE, &found);
  heard = Heard();
  EXPECT_TRUE(Has(heard, EVENT_OBJECT_STATECHANGE, IdOfRow(kAjurrumiyya)));
  EXPECT_TRUE(Has(heard, EVENT_OBJECT_STATECHANGE, IdOfRow(kGrammar)));
  control->DeactivateBook(2);
  EXPECT_TRUE(Has(Heard(), EVENT_OBJECT_STATECHANGE, IdOfRow(kFiqh)));
}

}  // namespace
}  // namespace orvane::test
