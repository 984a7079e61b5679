// The outline as a host walks it: Node and Nodes objects bound by name as a
// script binds them, their identity and weakness, the control's node members,
// and the events every cause of a change fires, once, after the rows show it.
#include <windows.h>
#include <oleacc.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ocx_module.h"
#include "test_container.h"

namespace orvane::test {
namespace {

// A VARIANT that clears itself.
struct Var {
  VARIANT v;
  Var() { VariantInit(&v); }
  ~Var() { VariantClear(&v); }
  Var(const Var&) = delete;
  Var& operator=(const Var&) = delete;
  IDispatch* Object() const { return V_VT(&v) == VT_DISPATCH ? V_DISPATCH(&v) : nullptr; }
};

VARIANT ObjectVariant(IDispatch* object) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_DISPATCH;
  V_DISPATCH(&v) = object;
  return v;
}

// Calls `name` on `object` as a script does: bound by name, arguments in
// call order. The refusal's details go to `exception` when asked for.
HRESULT CallByName(IDispatch* object, const wchar_t* name, WORD flags,
                   std::initializer_list<VARIANT> args, VARIANT* result,
                   EXCEPINFO* exception = nullptr) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID id = 0;
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  return InvokeById(object, id, flags, args, result, exception);
}

std::wstring TextOf(IDispatch* object, const wchar_t* name) {
  if (object == nullptr) return L"<nothing>";
  Var result;
  if (FAILED(CallByName(object, name, DISPATCH_PROPERTYGET, {}, &result.v))) return L"<refused>";
  Var text;
  if (FAILED(VariantChangeType(&text.v, &result.v, 0, VT_BSTR))) return L"<not text>";
  return V_BSTR(&text.v) ? V_BSTR(&text.v) : L"";
}

LONG NumberOf(IDispatch* object, const wchar_t* name) {
  Var result;
  if (FAILED(CallByName(object, name, DISPATCH_PROPERTYGET, {}, &result.v))) return -999;
  Var number;
  if (FAILED(VariantChangeType(&number.v, &result.v, 0, VT_I4))) return -998;
  return V_I4(&number.v);
}

ComPtr<IDispatch> ObjectOf(IDispatch* object, const wchar_t* name,
                           std::initializer_list<VARIANT> args = {},
                           WORD flags = DISPATCH_PROPERTYGET) {
  Var result;
  if (FAILED(CallByName(object, name, flags, args, &result.v))) return {};
  return ComPtr<IDispatch>(result.Object());
}

// Every Node of a Nodes collection, through its enumerator (For Each).
std::vector<ComPtr<IDispatch>> Enumerate(IDispatch* nodes) {
  std::vector<ComPtr<IDispatch>> out;
  Var enumerator;
  DISPPARAMS none{};
  if (FAILED(nodes->Invoke(DISPID_NEWENUM, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &enumerator.v,
                           nullptr, nullptr)))
    return out;
  ComPtr<IEnumVARIANT> items;
  V_UNKNOWN(&enumerator.v)
      ->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(items.Receive()));
  if (!items) return out;
  for (;;) {
    Var item;
    ULONG fetched = 0;
    if (items->Next(1, &item.v, &fetched) != S_OK || fetched != 1) break;
    out.emplace_back(item.Object());
  }
  return out;
}

// Records each event a host receives with the title of its Node, and runs
// a handler inside the event when one is given.
class NodeEventSink : public ComBase<NodeEventSink, IDispatch> {
 public:
  static std::span<const InterfaceEntry> Interfaces() {
    static const InterfaceEntry kTable[] = {{&IID_IDispatch, &CastTo<NodeEventSink, IDispatch>}};
    return kTable;
  }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    if (id < 0) return S_OK;  // the stock events are the stock tests'
    // The Node is the first argument: the last of the reversed list.
    IDispatch* node = nullptr;
    if (params->cArgs > 0 && V_VT(&params->rgvarg[params->cArgs - 1]) == VT_DISPATCH)
      node = V_DISPATCH(&params->rgvarg[params->cArgs - 1]);
    events.emplace_back(id, TextOf(node, L"Title"));
    if (id == ORVANE_DISPID_CONTEXTMENU && params->cArgs == 3)
      point = {V_I4(&params->rgvarg[1]), V_I4(&params->rgvarg[0])};
    if (handler) handler(id, node);
    return S_OK;
  }
  std::vector<std::pair<DISPID, std::wstring>> events;
  POINT point{-1, -1};
  std::function<void(DISPID, IDispatch*)> handler;
};

using Events = std::vector<std::pair<DISPID, std::wstring>>;

const wchar_t kIntroduction[] = L"\x0645\x0642\x062F\x0645\x0629";         // مقدمة
const wchar_t kSpeech[] = L"\x0627\x0644\x0643\x0644\x0627\x0645";         // الكلام
const wchar_t kNoun[] = L"\x0627\x0644\x0627\x0633\x0645";                 // الاسم
const wchar_t kVerb[] = L"\x0627\x0644\x0641\x0639\x0644";                 // الفعل
const wchar_t kPast[] = L"\x0627\x0644\x0645\x0627\x0636\x064A";           // الماضي
const wchar_t kParsing[] = L"\x0627\x0644\x0625\x0639\x0631\x0627\x0628";  // الإعراب

// The control in place, the test catalogue loaded, a sink connected.
class NodeFixture : public testing::Test {
 public:
  void SetUp() override {
    control = NewControl();
    ASSERT_TRUE(control);
    control->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.Receive()));
    site = ComPtr<TestSite>::Adopt(new TestSite(host.Handle(), RECT{10, 10, 310, 210}));
    object = ActivateInPlace(control.Get(), site.Get(), host.Handle(), RECT{10, 10, 310, 210});
    ASSERT_TRUE(object);
    Load();
    ComPtr<IConnectionPointContainer> container;
    control->QueryInterface(IID_IConnectionPointContainer,
                            reinterpret_cast<void**>(container.Receive()));
    ASSERT_EQ(container->FindConnectionPoint(DIID__DOrvaneEvents, point.Receive()), S_OK);
    sink = ComPtr<NodeEventSink>::Adopt(new NodeEventSink);
    ASSERT_EQ(point->Advise(static_cast<IDispatch*>(sink.Get()), &cookie), S_OK);
  }
  void TearDown() override {
    if (point) point->Unadvise(cookie);
    CloseInPlace(object.Get());
  }

  void Load() {
    Bstr topic(WriteTestCatalogue(L"NODES"));
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(control->LoadBooks(topic.Get(), &loaded), S_OK);
  }
  HWND ListBox() { return ControlWindowOf(control.Get()); }
  ComPtr<IDispatch> Book(short number) {
    VARIANT n = LongVariant(number);
    return ObjectOf(dispatch.Get(), L"GetBookNode", {n}, DISPATCH_METHOD);
  }
  ComPtr<IDispatch> Section(short book, LONG tocPos) {
    return ObjectOf(dispatch.Get(), L"GetSectionNode", {LongVariant(book), LongVariant(tocPos)},
                    DISPATCH_METHOD);
  }
  // The TocPos of the section of `book` titled `title`, read through the
  // outline itself.
  LONG TocPosOf(const wchar_t* title, short book = 1) {
    std::vector<ComPtr<IDispatch>> todo{Book(book)};
    while (!todo.empty()) {
      ComPtr<IDispatch> node = todo.back();
      todo.pop_back();
      if (TextOf(node.Get(), L"Title") == title) return NumberOf(node.Get(), L"TocPos");
      for (auto& child : Enumerate(ObjectOf(node.Get(), L"Children").Get())) todo.push_back(child);
    }
    return -1;
  }
  HRESULT Put(IDispatch* on, const wchar_t* name, VARIANT value) {
    return CallByName(on, name, DISPATCH_PROPERTYPUT, {value}, nullptr);
  }
  HRESULT Call(IDispatch* on, const wchar_t* name) {
    return CallByName(on, name, DISPATCH_METHOD, {}, nullptr);
  }
  short ActiveBook() {
    short book = -1;
    control->get_ActiveBook(&book);
    return book;
  }

  HostWindow host;
  ComPtr<TestSite> site;
  ComPtr<IOrvaneAutomation> control;
  ComPtr<IDispatch> dispatch;
  ComPtr<IOleObject> object;
  ComPtr<IConnectionPoint> point;
  ComPtr<NodeEventSink> sink;
  DWORD cookie = 0;
};

// ---- Walking ----

struct Expected {
  const wchar_t* title;
  LONG level, kind, category, book, index;
};

TEST_F(NodeFixture, WalkGivesEveryNodeWithItsFactsInOutlineOrder) {
  // Depth first from the roots: the order a walking script prints in.
  const Expected expected[] = {
      {L"Grammar", 0, 0, 1, 0, 1}, {L"Nahw", 1, 1, 1, 1, 1},         {kIntroduction, 2, 2, 1, 1, 1},
      {kSpeech, 2, 2, 1, 1, 2},    {kNoun, 3, 2, 1, 1, 1},           {kVerb, 3, 2, 1, 1, 2},
      {kPast, 4, 2, 1, 1, 1},      {kParsing, 2, 2, 1, 1, 3},        {L"Law", 0, 0, 2, 0, 2},
      {L"Fiqh", 1, 1, 2, 2, 1},    {L"Introduction", 2, 2, 2, 2, 1}, {L"Purity", 2, 2, 2, 2, 2},
      {L"Water", 3, 2, 2, 2, 1},   {L"Vessels", 3, 2, 2, 2, 2},      {L"Prayer", 2, 2, 2, 2, 3}};
  std::vector<Expected> seen;
  std::vector<std::wstring> titles;
  std::function<void(IDispatch*, IDispatch*)> walk = [&](IDispatch* nodes, IDispatch* parent) {
    for (auto& node : Enumerate(nodes)) {
      titles.push_back(TextOf(node.Get(), L"Title"));
      EXPECT_EQ(ObjectOf(node.Get(), L"Parent").Get(), parent) << "a child's Parent is its parent";
      EXPECT_EQ(NumberOf(node.Get(), L"Valid"), -1);
      walk(ObjectOf(node.Get(), L"Children").Get(), node.Get());
    }
  };
  walk(ObjectOf(dispatch.Get(), L"RootNodes").Get(), nullptr);
  ASSERT_EQ(titles.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) EXPECT_EQ(titles[i], expected[i].title) << i;

  // Each node's facts, found again by its book and position or number.
  for (const Expected& e : expected) {
    SCOPED_TRACE(std::wstring(e.title).size());
    ComPtr<IDispatch> node;
    if (e.kind == 0) {
      node =
          ObjectOf(dispatch.Get(), L"GetCategoryNode", {LongVariant(e.category)}, DISPATCH_METHOD);
    } else if (e.kind == 1) {
      node = Book(static_cast<short>(e.book));
    } else {
      const short book = static_cast<short>(e.book);
      const LONG pos = TocPosOf(e.title, book);
      ASSERT_GT(pos, 0);
      node = Section(book, pos);
      Bstr title;
      ASSERT_EQ(control->GetSectionTitle(book, pos, title.Receive()), S_OK);
      EXPECT_EQ(title.Text(), e.title) << "TocPos names the record the queries read";
    }
    ASSERT_TRUE(node);
    EXPECT_EQ(TextOf(node.Get(), L"Title"), e.title);
    EXPECT_EQ(NumberOf(node.Get(), L"Level"), e.level);
    EXPECT_EQ(NumberOf(node.Get(), L"Kind"), e.kind);
    EXPECT_EQ(NumberOf(node.Get(), L"Category"), e.category);
    EXPECT_EQ(NumberOf(node.Get(), L"BookNumber"), e.book);
    EXPECT_EQ(NumberOf(node.Get(), L"Index"), e.index);
    if (e.kind != 2) {
      EXPECT_EQ(NumberOf(node.Get(), L"TocPos"), 0);
    }
  }
}

TEST_F(NodeFixture, CollectionCountsFromOneAndRefusesIndexesOutsideIt) {
  ComPtr<IDispatch> roots = ObjectOf(dispatch.Get(), L"RootNodes");
  ASSERT_TRUE(roots);
  EXPECT_EQ(NumberOf(roots.Get(), L"Count"), 2);
  // Item is the default member: roots(1) in a script.
  Var first;
  ASSERT_EQ(InvokeById(roots.Get(), DISPID_VALUE, DISPATCH_PROPERTYGET | DISPATCH_METHOD,
                       {LongVariant(1)}, &first.v),
            S_OK);
  EXPECT_EQ(TextOf(first.Object(), L"Title"), L"Grammar");
  for (LONG bad : {0L, 3L, -1L, 2147483647L, -2147483647L - 1}) {
    Var none;
    EXCEPINFO exception{};
    HRESULT hr = CallByName(roots.Get(), L"Item", DISPATCH_PROPERTYGET, {LongVariant(bad)}, &none.v,
                            &exception);
    EXPECT_EQ(hr == DISP_E_EXCEPTION ? exception.scode : hr, DISP_E_BADINDEX) << bad;
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  }
}

// ---- Identity and weakness ----

TEST_F(NodeFixture, TheSameNodeGivesTheSameObjectWhileItIsHeld) {
  ComPtr<IDispatch> first = Book(1);
  ComPtr<IDispatch> again = Book(1);
  ASSERT_TRUE(first);
  EXPECT_EQ(first.Get(), again.Get());
  ComPtr<IDispatch> viaWalk = Enumerate(
      ObjectOf(Enumerate(ObjectOf(dispatch.Get(), L"RootNodes").Get())[0].Get(), L"Children")
          .Get())[0];
  EXPECT_EQ(viaWalk.Get(), first.Get()) << "a walk meets the object the host holds";
  EXPECT_NE(Book(2).Get(), first.Get());
}

TEST_F(NodeFixture, ANodeOfAReplacedOutlineIsInvalidAndRefusesEveryMember) {
  ComPtr<IDispatch> book = Book(1);
  ComPtr<IDispatch> children = ObjectOf(book.Get(), L"Children");
  ASSERT_TRUE(book && children);
  Load();
  EXPECT_EQ(NumberOf(book.Get(), L"Valid"), 0);
  struct Use {
    const wchar_t* name;
    WORD flags;
    std::vector<VARIANT> args;
  };
  VARIANT yes;
  VariantInit(&yes);
  V_VT(&yes) = VT_BOOL;
  V_BOOL(&yes) = VARIANT_TRUE;
  const Use uses[] = {{L"Title", DISPATCH_PROPERTYGET, {}},
                      {L"Level", DISPATCH_PROPERTYGET, {}},
                      {L"Kind", DISPATCH_PROPERTYGET, {}},
                      {L"Category", DISPATCH_PROPERTYGET, {}},
                      {L"BookNumber", DISPATCH_PROPERTYGET, {}},
                      {L"TocPos", DISPATCH_PROPERTYGET, {}},
                      {L"Index", DISPATCH_PROPERTYGET, {}},
                      {L"Parent", DISPATCH_PROPERTYGET, {}},
                      {L"Children", DISPATCH_PROPERTYGET, {}},
                      {L"Visible", DISPATCH_PROPERTYGET, {}},
                      {L"Selected", DISPATCH_PROPERTYGET, {}},
                      {L"Expanded", DISPATCH_PROPERTYGET, {}},
                      {L"State", DISPATCH_PROPERTYGET, {}},
                      {L"Expanded", DISPATCH_PROPERTYPUT, {yes}},
                      {L"State", DISPATCH_PROPERTYPUT, {LongVariant(1)}},
                      {L"Select", DISPATCH_METHOD, {}},
                      {L"EnsureVisible", DISPATCH_METHOD, {}}};
  for (const Use& use : uses) {
    SCOPED_TRACE(std::wstring(use.name).size());
    Var result;
    EXCEPINFO exception{};
    LPOLESTR names[] = {const_cast<LPOLESTR>(use.name)};
    DISPID id = 0;
    ASSERT_EQ(book->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
    DISPID named = DISPID_PROPERTYPUT;
    std::vector<VARIANT> args = use.args;
    DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    if (use.flags == DISPATCH_PROPERTYPUT) {
      params.rgdispidNamedArgs = &named;
      params.cNamedArgs = 1;
    }
    EXPECT_EQ(book->Invoke(id, IID_NULL, 0, use.flags, &params, &result.v, &exception, nullptr),
              DISP_E_EXCEPTION);
    EXPECT_EQ(exception.scode, MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 1001));
    EXPECT_STREQ(exception.bstrDescription, L"The node no longer exists");
    EXPECT_STREQ(exception.bstrSource, L"Orvane");
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  }
  EXPECT_EQ(NumberOf(children.Get(), L"Count"), -999) << "a collection of the old outline too";
  // The new outline's book is a new object.
  EXPECT_NE(Book(1).Get(), book.Get());
  EXPECT_EQ(NumberOf(Book(1).Get(), L"Valid"), -1);
}

TEST_F(NodeFixture, ANodeOutlivesItsControlAsInvalid) {
  ComPtr<IDispatch> book = Book(1);
  ASSERT_TRUE(book);
  point->Unadvise(cookie);
  point.Reset();
  CloseInPlace(object.Get());
  object.Reset();
  dispatch.Reset();
  control.Reset();
  EXPECT_EQ(NumberOf(book.Get(), L"Valid"), 0);
  EXPECT_EQ(TextOf(book.Get(), L"Title"), L"<refused>");
}

// ---- Members of the control ----

TEST_F(NodeFixture, SelectOpensTheWayAndMakesTheNodeCurrent) {
  ComPtr<IDispatch> past = Section(1, TocPosOf(kPast));
  ASSERT_TRUE(past);
  EXPECT_EQ(NumberOf(past.Get(), L"Visible"), 0);
  ASSERT_EQ(Call(past.Get(), L"Select"), S_OK);
  EXPECT_EQ(NumberOf(past.Get(), L"Visible"), -1);
  EXPECT_EQ(NumberOf(past.Get(), L"Selected"), -1);
  EXPECT_EQ(ObjectOf(dispatch.Get(), L"SelectedNode").Get(), past.Get());
  EXPECT_EQ(ActiveBook(), 1);
  const LRESULT row = SendMessageW(ListBox(), LB_GETCURSEL, 0, 0);
  EXPECT_EQ(row, 6) << "Grammar, Nahw, intro, speech, noun, verb, past";

  // SelectedNode takes a Node as Select does, and Nothing leaves no row current.
  ComPtr<IDispatch> law =
      ObjectOf(dispatch.Get(), L"GetCategoryNode", {LongVariant(2)}, DISPATCH_METHOD);
  ASSERT_EQ(CallByName(dispatch.Get(), L"SelectedNode", DISPATCH_PROPERTYPUTREF,
                       {ObjectVariant(law.Get())}, nullptr),
            S_OK);
  EXPECT_EQ(NumberOf(law.Get(), L"Selected"), -1);
  EXPECT_EQ(CallByName(dispatch.Get(), L"SelectedNode", DISPATCH_PROPERTYPUTREF,
                       {ObjectVariant(nullptr)}, nullptr),
            S_OK);
  EXPECT_FALSE(ObjectOf(dispatch.Get(), L"SelectedNode"));
  EXPECT_EQ(SendMessageW(ListBox(), LB_GETCURSEL, 0, 0), LB_ERR);
}

TEST_F(NodeFixture, ExpandedOpensAndClosesAsTheReaderDoes) {
  ComPtr<IDispatch> speech = Section(1, TocPosOf(kSpeech));
  VARIANT yes = LongVariant(-1), no = LongVariant(0);
  ASSERT_EQ(Put(speech.Get(), L"Expanded", yes), S_OK);
  // The closed category and book opened first, then the section: Grammar,
  // Nahw, its three sections and the two below the second, Law.
  EXPECT_EQ(SendMessageW(ListBox(), LB_GETCOUNT, 0, 0), 8);
  EXPECT_EQ(NumberOf(Book(1).Get(), L"Expanded"), -1);
  EXPECT_EQ(NumberOf(Section(1, TocPosOf(kNoun)).Get(), L"Visible"), -1);
  ASSERT_EQ(Put(speech.Get(), L"Expanded", no), S_OK);
  EXPECT_EQ(SendMessageW(ListBox(), LB_GETCOUNT, 0, 0), 6);
  EXPECT_EQ(NumberOf(speech.Get(), L"Expanded"), 0);
}

TEST_F(NodeFixture, HitTestAndTopNodeFollowTheRows) {
  // Rows are 16 pixels high from the top of the client area.
  struct Probe {
    LONG x, y;
    const wchar_t* title;
  };
  for (const Probe& p :
       {Probe{5, 2, L"Grammar"}, Probe{5, 17, L"Law"}, Probe{5, 40, L"<nothing>"},
        Probe{-1, 2, L"<nothing>"}, Probe{5, -3, L"<nothing>"}, Probe{100000, 2, L"<nothing>"}}) {
    ComPtr<IDispatch> hit =
        ObjectOf(dispatch.Get(), L"HitTest", {LongVariant(p.x), LongVariant(p.y)}, DISPATCH_METHOD);
    EXPECT_EQ(TextOf(hit.Get(), L"Title"), p.title) << p.x << "," << p.y;
  }
  EXPECT_EQ(TextOf(ObjectOf(dispatch.Get(), L"TopNode").Get(), L"Title"), L"Grammar");
  // A window two rows high: revealing a deep section scrolls to it, writing
  // the top row scrolls, and EnsureVisible scrolls back, none selecting.
  SetWindowPos(ListBox(), nullptr, 0, 0, 300, 36, SWP_NOMOVE | SWP_NOZORDER);
  ComPtr<IDispatch> past = Section(1, TocPosOf(kPast));
  ASSERT_EQ(Call(past.Get(), L"EnsureVisible"), S_OK);
  EXPECT_EQ(NumberOf(past.Get(), L"Visible"), -1);
  EXPECT_EQ(NumberOf(past.Get(), L"Selected"), 0);
  const LRESULT top = SendMessageW(ListBox(), LB_GETTOPINDEX, 0, 0);
  EXPECT_TRUE(top == 5 || top == 6) << top << ": the past tense's row 6 is in view";
  EXPECT_EQ(SendMessageW(ListBox(), LB_GETCURSEL, 0, 0), LB_ERR);
  ComPtr<IDispatch> parsing = Section(1, TocPosOf(kParsing));
  ASSERT_EQ(CallByName(dispatch.Get(), L"TopNode", DISPATCH_PROPERTYPUTREF,
                       {ObjectVariant(parsing.Get())}, nullptr),
            S_OK);
  EXPECT_EQ(ObjectOf(dispatch.Get(), L"TopNode").Get(), parsing.Get());
  ComPtr<IDispatch> grammar =
      ObjectOf(dispatch.Get(), L"GetCategoryNode", {LongVariant(1)}, DISPATCH_METHOD);
  ASSERT_EQ(Call(grammar.Get(), L"EnsureVisible"), S_OK);
  EXPECT_EQ(ObjectOf(dispatch.Get(), L"TopNode").Get(), grammar.Get());
}

TEST_F(NodeFixture, AddChildHandsBackTheNewItemsNodeInTheLibrarysEncoding) {
  // Arabic, and a character Windows-1256 has no byte for.
  const wchar_t* texts[] = {L"\x0628\x0627\x0628", L"plain", L"\x4E2D"};
  const wchar_t* kept[] = {L"\x0628\x0627\x0628", L"plain", L"?"};
  for (size_t i = 0; i < std::size(texts); ++i) {
    Bstr text(texts[i]);
    IUnknown* added = nullptr;
    ASSERT_EQ(control->AddChild(0, text.Get(), &added), S_OK);
    ComPtr<IDispatch> node;
    ASSERT_NE(added, nullptr);
    added->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(node.Receive()));
    added->Release();
    EXPECT_EQ(TextOf(node.Get(), L"Title"), kept[i]);
    EXPECT_EQ(NumberOf(node.Get(), L"Kind"), 3);
    EXPECT_EQ(NumberOf(node.Get(), L"Category"), 1) << "hung under the first category";
    EXPECT_EQ(TextOf(ObjectOf(node.Get(), L"Parent").Get(), L"Title"), L"Grammar");
  }
}

TEST_F(NodeFixture, StateSetsBooksAndCategoriesAndRefusesThePartialState) {
  ComPtr<IDispatch> nahw = Book(1);
  ComPtr<IDispatch> grammar = ObjectOf(nahw.Get(), L"Parent");
  ASSERT_EQ(Put(nahw.Get(), L"State", LongVariant(1)), S_OK);
  short state = -1;
  control->GetStateBook(1, &state);
  EXPECT_EQ(state, 1);
  EXPECT_EQ(NumberOf(grammar.Get(), L"State"), 1) << "its only book is unchecked";
  ASSERT_EQ(Put(grammar.Get(), L"State", LongVariant(0)), S_OK);
  control->GetStateBook(1, &state);
  EXPECT_EQ(state, 0);
  EXPECT_NE(Put(nahw.Get(), L"State", LongVariant(2)), S_OK);
  EXPECT_NE(Put(Section(1, TocPosOf(kSpeech)).Get(), L"State", LongVariant(1)), S_OK);
  EXPECT_EQ(NumberOf(Section(1, TocPosOf(kSpeech)).Get(), L"State"), 0) << "its book's";
}

// ---- Events ----

struct EventCase {
  const char* cause;
  std::function<void(NodeFixture&)> act;
  Events expected;
};

class NodeEvents : public NodeFixture, public testing::WithParamInterface<int> {};

std::vector<EventCase> EventCases() {
  const DISPID select = ORVANE_DISPID_NODESELECT, expand = ORVANE_DISPID_NODEEXPAND,
               collapse = ORVANE_DISPID_NODECOLLAPSE, check = ORVANE_DISPID_NODECHECK;
  auto key = [](NodeFixture& f, WPARAM vk) {
    SendMessageW(f.ListBox(), WM_KEYDOWN, vk, 0);
    SendMessageW(f.ListBox(), WM_KEYUP, vk, 0);
  };
  return {
      {"a click on a category's button",
       [](NodeFixture& f) {
         // The button of a right-aligned row lies at its right end.
         RECT client{};
         GetClientRect(f.ListBox(), &client);
         const LPARAM at = MAKELPARAM(client.right - 12, 8);
         SendMessageW(f.ListBox(), WM_LBUTTONDOWN, MK_LBUTTON, at);
         SendMessageW(f.ListBox(), WM_LBUTTONUP, 0, at);
       },
       {{expand, L"Grammar"}, {select, L"Grammar"}}},
      {"Down, then Down again",
       [key](NodeFixture& f) {
         SendMessageW(f.ListBox(), LB_SETCURSEL, 0, 0);
         key(f, VK_DOWN);
         key(f, VK_DOWN);
       },
       {{select, L"Law"}}},
      {"Expanded written twice",
       [](NodeFixture& f) {
         f.Put(f.Book(1).Get(), L"Expanded", LongVariant(-1));
         f.Put(f.Book(1).Get(), L"Expanded", LongVariant(-1));
       },
       {{expand, L"Grammar"}, {expand, L"Nahw"}}},
      {"the outward arrow on an open category",
       [key](NodeFixture& f) {
         ComPtr<IDispatch> grammar =
             ObjectOf(f.dispatch.Get(), L"GetCategoryNode", {LongVariant(1)}, DISPATCH_METHOD);
         f.Put(grammar.Get(), L"Expanded", LongVariant(-1));
         SendMessageW(f.ListBox(), LB_SETCURSEL, 0, 0);
         f.sink->events.clear();
         key(f, VK_RIGHT);  // outward in the right-to-left layout
       },
       {{collapse, L"Grammar"}, {select, L"Grammar"}}},
      {"a screen reader's default action on a category, then its selection of the other",
       [](NodeFixture& f) {
         // {618736E0-3C3D-11CF-810C-00AA00389B71}
         const IID accessibleIid = {
             0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
         ComPtr<IAccessible> reader;
         ASSERT_EQ(
             AccessibleObjectFromWindow(f.ListBox(), static_cast<DWORD>(OBJID_CLIENT),
                                        accessibleIid, reinterpret_cast<void**>(reader.Receive())),
             S_OK);
         VARIANT first = LongVariant(1), third = LongVariant(3);  // Grammar; then Law
         ASSERT_EQ(reader->accDoDefaultAction(first), S_OK);
         ASSERT_EQ(reader->accSelect(SELFLAG_TAKESELECTION, third), S_OK);
       },
       {{expand, L"Grammar"}, {select, L"Grammar"}, {select, L"Law"}}},
      {"GotoTocPosition to a deep section",
       [](NodeFixture& f) {
         const LONG pos = f.TocPosOf(kPast);
         VARIANT_BOOL found = VARIANT_FALSE;
         f.sink->events.clear();
         f.control->GotoTocPosition(1, pos, &found);
       },
       {{expand, L"Grammar"},
        {expand, L"Nahw"},
        {expand, kSpeech},
        {expand, kVerb},
        {select, kPast}}},
      {"a book's state, which moves its category's summary",
       [](NodeFixture& f) {
         VARIANT_BOOL done = VARIANT_FALSE;
         f.control->SetStateBook(2, VARIANT_FALSE, &done);
       },
       {{check, L"Fiqh"}, {check, L"Law"}}},
      {"a category checked with its books, from the check box",
       [](NodeFixture& f) {
         f.control->put_ApplyCheck(VARIANT_TRUE);
         // Grammar, Nahw, Law, Fiqh: the list box is told to select Law.
         SendMessageW(f.ListBox(), LB_SETCURSEL, 2, 0);
         f.sink->events.clear();
         f.control->ChangeStateSelected();
       },
       {{check, L"Law"}, {select, L"Law"}}},
      {"a rebuild and a load",
       [](NodeFixture& f) {
         f.control->put_ApplyCheck(VARIANT_TRUE);
         f.control->put_ApplyCheck(VARIANT_FALSE);
         f.Load();
       },
       {}},
      {"the context menu key, then a right-button release",
       [](NodeFixture& f) {
         SendMessageW(f.ListBox(), LB_SETCURSEL, 1, 0);
         SendMessageW(f.ListBox(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(f.ListBox()),
                      MAKELPARAM(-1, -1));
         POINT screen{5, 3};
         ClientToScreen(f.ListBox(), &screen);
         SendMessageW(f.ListBox(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(f.ListBox()),
                      MAKELPARAM(screen.x, screen.y));
       },
       {{ORVANE_DISPID_CONTEXTMENU, L"Law"},
        {select, L"Law"},
        {ORVANE_DISPID_CONTEXTMENU, L"Grammar"}}},
  };
}

TEST_P(NodeEvents, EachChangeFiresOnceForItsCause) {
  const EventCase c = EventCases()[static_cast<size_t>(GetParam())];
  SCOPED_TRACE(c.cause);
  sink->events.clear();
  c.act(*this);
  PumpMessages();
  EXPECT_EQ(sink->events, c.expected);
}

INSTANTIATE_TEST_SUITE_P(EveryCause, NodeEvents,
                         testing::Range(0, static_cast<int>(EventCases().size())));

TEST_F(NodeFixture, AKeyLeavesActiveBookOnTheRowItMovedTo) {
  ComPtr<IDispatch> nahw = Book(1);
  ASSERT_EQ(Call(nahw.Get(), L"Select"), S_OK);
  // Grammar, Nahw, Law: Down from the book lands on the second category.
  SendMessageW(ListBox(), WM_KEYDOWN, VK_DOWN, 0);
  short category = -1;
  control->get_ActiveCategory(&category);
  EXPECT_EQ(category, 2);
  EXPECT_EQ(ActiveBook(), 0);
  SendMessageW(ListBox(), WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(ActiveBook(), 1);
}

TEST_F(NodeFixture, AHandlerMayCallBackInReloadOrReleaseTheControl) {
  // Reading and walking inside the event, then reloading from it: the
  // opening's later events name nodes that are gone and are dropped.
  int reads = 0;
  sink->handler = [&](DISPID id, IDispatch* node) {
    if (id != ORVANE_DISPID_NODEEXPAND) return;
    reads += static_cast<int>(Enumerate(ObjectOf(node, L"Children").Get()).size());
    short book = 0;
    control->get_ActiveBook(&book);
    Load();
  };
  VARIANT_BOOL found = VARIANT_FALSE;
  ASSERT_EQ(control->GotoTocPosition(1, TocPosOf(kPast), &found), S_OK);
  EXPECT_EQ(reads, 1) << "Grammar's one book, then nothing more of the old outline";
  EXPECT_EQ(sink->events.size(), 1u);
  EXPECT_EQ(SendMessageW(ListBox(), LB_GETCOUNT, 0, 0), 2) << "the reload's categories";

  // Releasing the control from inside an event: the call still returns.
  sink->events.clear();
  sink->handler = [&](DISPID, IDispatch*) {
    point->Unadvise(cookie);
    point.Reset();
    CloseInPlace(object.Get());
    object.Reset();
    dispatch.Reset();
    control.Reset();
  };
  ComPtr<IOrvaneAutomation> caller = control;
  caller->GotoTocPosition(1, 10, &found);
  caller.Reset();
  EXPECT_FALSE(control);
  EXPECT_EQ(sink->events.size(), 1u) << "the first event's handler let go of everything";
}

// ---- Arabic names on any system ----

// A catalogue named in Arabic, in a folder named in Arabic, naming a book
// file named in Arabic: every name is Windows-1256 in the catalogue and
// reaches the file system as Unicode, whatever the system's code page.
TEST(LibraryNames, ArabicFolderAndFileNamesOpenOnAnySystem) {
  const std::wstring folder = TempFolder() + L"\\\x0645\x0643\x062A\x0628\x0629";  // مكتبة
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring book = L"\x0646\x062D\x0648";  // نحو
  ASSERT_TRUE(CopyFileW((DataFolder() + L"\\NAHW.TOC").c_str(),
                        (folder + L"\\" + book + L".TOC").c_str(), FALSE));
  const std::wstring topic = folder + L"\\\x0641\x0647\x0631\x0633";  // فهرس
  const std::wstring lines[] = {L"[Directories]",
                                L"TOC=" + folder,
                                L"[Books]",
                                L"Count=1",
                                L"[Categories]",
                                L"Count=1",
                                L"Name1=\x0627\x0644\x0646\x062D\x0648",
                                L"[Category1]",
                                L"Count=1",
                                L"Title1=" + book,
                                L"Name1=" + book};
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
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);

  ComPtr<IOrvaneAutomation> control = NewControl();
  Bstr name(topic);
  VARIANT_BOOL loaded = VARIANT_FALSE;
  ASSERT_EQ(control->LoadBooks(name.Get(), &loaded), S_OK);
  Bstr title, dir;
  ASSERT_EQ(control->GetSectionTitle(1, 10, title.Receive()), S_OK);
  EXPECT_EQ(title.Text(), kIntroduction) << "the book file opened, its title read back";
  ASSERT_EQ(control->get_BooksDir(dir.Receive()), S_OK);
  EXPECT_EQ(dir.Text(), folder) << "the folder's name comes back as it was written";
  ComPtr<IDispatch> category;
  ASSERT_EQ(control->GetCategoryNode(1, category.Receive()), S_OK);
  EXPECT_EQ(TextOf(category.Get(), L"Title"), L"\x0627\x0644\x0646\x062D\x0648");
}

// ---- A host of the first version ----

TEST(FirstVersionClient, FindsEveryMemberOfVersionOneAtItsNumber) {
  ASSERT_EQ(RegisterOcx(), S_OK);
  ComPtr<ITypeLib> lib;
  HRESULT newer = LoadRegTypeLib(LIBID_ORVANELib, 1, 1, 0x409, lib.Receive());
  lib.Reset();
  ASSERT_EQ(LoadRegTypeLib(LIBID_ORVANELib, 1, 0, 0x409, lib.Receive()), S_OK)
      << "a host that asks for 1.0 gets the library; 1.1: " << std::hex << newer;
  ComPtr<IOrvaneAutomation> control = NewControl();
  ComPtr<IDispatch> dispatch;
  control->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.Receive()));
  const std::pair<const wchar_t*, DISPID> members[] = {{L"Indent", 1},
                                                       {L"ShowBalloonHelp", 2},
                                                       {L"ElapsedTime", 3},
                                                       {L"TocFile", 4},
                                                       {L"ApplyCheck", 5},
                                                       {L"TopicName", 6},
                                                       {L"Alignment", 7},
                                                       {L"Fonta", 8},
                                                       {L"ReadingOrder", 9},
                                                       {L"FilePos", 10},
                                                       {L"BooksDir", 11},
                                                       {L"ActiveCategory", 12},
                                                       {L"ActiveBook", 13},
                                                       {L"Demo", 14},
                                                       {L"LoadFromTocFile", 15},
                                                       {L"LoadFromTextFile", 16},
                                                       {L"AddChild", 17},
                                                       {L"AddSibling", 18},
                                                       {L"ChangeStateSelected", 19},
                                                       {L"LoadBooks", 20},
                                                       {L"GetSectionTitle", 21},
                                                       {L"GotoTocPosition", 22},
                                                       {L"SetStateBook", 23},
                                                       {L"GetStateBook", 24},
                                                       {L"ActivateBook", 25},
                                                       {L"DeactivateBook", 26},
                                                       {L"GetParentPos", 27},
                                                       {L"BackColor", -501},
                                                       {L"BorderStyle", -504},
                                                       {L"Font", -512},
                                                       {L"ForeColor", -513},
                                                       {L"AboutBox", -552}};
  for (const auto& [name, expected] : members) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = 0;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK) << id;
    EXPECT_EQ(id, expected);
  }
  // A 1.0 script's session: load, jump, read back, as before.
  Bstr topic(WriteTestCatalogue(L"FIRST"));
  Var loaded, title;
  ASSERT_EQ(CallByName(dispatch.Get(), L"LoadBooks", DISPATCH_METHOD, {[&] {
                         VARIANT v;
                         VariantInit(&v);
                         V_VT(&v) = VT_BSTR;
                         V_BSTR(&v) = topic.Get();
                         return v;
                       }()},
                       &loaded.v),
            S_OK);
  EXPECT_EQ(V_BOOL(&loaded.v), VARIANT_TRUE);
  ASSERT_EQ(
      InvokeById(dispatch.Get(), 21, DISPATCH_METHOD, {LongVariant(1), LongVariant(10)}, &title.v),
      S_OK);
  EXPECT_STREQ(V_BSTR(&title.v), kIntroduction);
  // The sets of read-only properties are refused as 1.0 refused them.
  EXPECT_EQ(InvokeById(dispatch.Get(), 13, DISPATCH_PROPERTYPUT, {LongVariant(3)}),
            DISP_E_EXCEPTION);
}

}  // namespace
}  // namespace orvane::test
