// Finding titles as a script host does: a library written with every folded
// form (one book whole in its leading region, one with runs left in the
// file), searched before anything is read. Every title the folding rules
// say a query matches comes back, and no other, in outline order; FindNext
// and FindPrevious step through the matches with NodeSelect, in both
// layouts and both views; type-ahead moves the current row after KeyPress.
var failures = 0;

function expect(actual, expected, what) {
  Host.Echo("check: " + what + " is [" + expected + "]");
  if (actual !== expected) {
    failures++;
    Host.Echo("FAIL: " + what + ": expected [" + expected + "], got [" + actual + "]");
  }
}

var selected = [];
var keyPresses = 0;
function Orvane_NodeSelect(node) { selected.push(node.Title); }
function Orvane_KeyPress(keyAscii) { ++keyPresses; }

// ---- The catalogue of the folding books, beside the test container's ----
var fso = new ActiveXObject("Scripting.FileSystemObject");
var work = fso.GetAbsolutePathName(".");
var tocDir = "";
var testcon = fso.OpenTextFile(work + "\\TESTCON.INI", 1, false, 0);
while (!testcon.AtEndOfStream) {
  var line = testcon.ReadLine();
  if (line.substr(0, 4) === "TOC=") tocDir = line.substr(4);
}
testcon.Close();
// Written in the system's ANSI code page, 1256 under the test locale.
var ini = fso.CreateTextFile(work + "\\FIND.INI", true, false);
ini.Write("[Directories]\r\nTOC=" + tocDir + "\r\n[Books]\r\nCount=2\r\n" +
          "[Categories]\r\nCount=2\r\nName1=\u0643\u062a\u0628 \u0627\u0644\u0641\u0642\u0647\r\n" +
          "Name2=\u0643\u062a\u0628 \u0627\u0644\u0635\u064a\u0627\u0645\r\n" +
          "[Category1]\r\nCount=1\r\nTitle1=\u0627\u0644\u0637\u0647\u0627\u0631\u0629 \u0648\u0627\u0644\u0635\u0644\u0627\u0629\r\nName1=FOLDA\r\n" +
          "[Category2]\r\nCount=1\r\nTitle1=\u0627\u0644\u0635\u064a\u0627\u0645 \u0648\u0627\u0644\u062d\u062c\r\nName1=FOLDB\r\n");
ini.Close();
var topic = work + "\\FIND";

// ---- The reference: the rules, a Unicode character at a time ----
function fold(text) {
  var out = "", blank = true;
  for (var i = 0; i < text.length; ++i) {
    var c = text.charCodeAt(i);
    if ((c >= 0x064B && c <= 0x0652) || c === 0x0640 || (c >= 0x200C && c <= 0x200F)) continue;
    if (c === 0x20 || c === 0x09 || c === 0xA0) {
      if (!blank) out += " ";
      blank = true;
      continue;
    }
    blank = false;
    if (c >= 0x41 && c <= 0x5A) c += 0x20;
    if (c === 0x0622 || c === 0x0623 || c === 0x0625) c = 0x0627;
    if (c === 0x0649 || c === 0x0626) c = 0x064A;
    if (c === 0x0629) c = 0x0647;
    if (c === 0x0624) c = 0x0648;
    out += String.fromCharCode(c);
  }
  return out.charAt(out.length - 1) === " " ? out.substr(0, out.length - 1) : out;
}

function refMatches(query, title) {
  if (query.indexOf("\u4e2d") >= 0) return false;  // a character 1256 cannot write
  var q = fold(query);
  return q !== "" && fold(title).indexOf(q) >= 0;
}

// Every node in outline order, walked through the Nodes (which read what
// they need), with the book each lies in.
function outline() {
  var all = [];
  function walk(nodes) {
    for (var e = new Enumerator(nodes); !e.atEnd(); e.moveNext()) {
      all.push({title: e.item().Title, book: e.item().BookNumber});
      walk(e.item().Children);
    }
  }
  walk(Orvane.RootNodes);
  return all;
}

function titlesOf(nodes) {
  var out = [];
  for (var e = new Enumerator(nodes); !e.atEnd(); e.moveNext()) out.push(e.item().Title);
  return out.join(" | ");
}

var queries = [
  "\u0627\u062d\u064a\u0627\u0621",                      // احياء for إحياء
  "\u0627\u0644\u0627\u0630\u0627\u0646",                // الاذان for الأذان
  "\u0627\u0644\u0642\u0631\u0627\u0646",                // القران for القرآن
  "\u0645\u0633\u0627\u0644\u0647",                      // مساله for مسألة
  "\u0627\u0644\u0633\u0648\u0627\u0644",                // السوال for السؤال
  "\u0627\u0644\u0645\u0633\u0627\u064a\u0644",          // المسايل for المسائل
  "\u0645\u0648\u0633\u064a",                            // موسي for موسى
  "\u0639\u064a\u0633\u0649",                            // عيسى as written
  "\u062c\u0632\u0621",                                  // جزء: the lone hamza stays
  "\u062c\u0632\u0648",                                  // جزو: and matches no waw
  "\u0643\u062a\u0627\u0628 \u0627\u0644\u0632\u0643\u0627\u0647",  // over tatweel and blanks
  "sahih", "BUKHARI", "cafe", "caf\u00e9",
  "\u0627\u0644\u0646\u064a\u0647",                      // النيه for النِّيَّة (deferred)
  "\u0627\u0644\u0627\u0641\u0637\u0627\u0631",          // الافطار (deferred)
  "\u0627\u0644\u0633\u062d\u0648\u0631",                // السحور (deferred, deeper)
  "\u0628\u0647\u0646\u0627\u0645",                      // بهنام over a joiner mark
  "\u0627\u0644\u062e\u0627\u062a\u0645\u0647",          // الخاتمه between direction marks
  "\u0628\u0627\u0628 \u0627\u0644\u0648\u0642\u0641",   // over a no-break space
  "  \u0627\u0644\u0635\u0644\u0627\u0647  ",            // blanks at the ends
  "\u0628\u0627\u0628", "\u0643\u062a\u0628",
  "\u064e\u0651\u064f", "", "\u4e2d", "\u0627\u0644\u0635\u0644\u0627\u0647\u4e2d"
];

// ---- Find over a library nothing of which has been read ----
Orvane.LoadBooks(topic);
var found = [];
for (var i = 0; i < queries.length; ++i) found.push(titlesOf(Orvane.Find(queries[i], 100000)));
var all = outline();  // reads everything, after the searches
expect(all.length, 26, "nodes in the folding library");
for (var i = 0; i < queries.length; ++i) {
  var expected = [];
  for (var k = 0; k < all.length; ++k) {
    if (refMatches(queries[i], all[k].title)) expected.push(all[k].title);
  }
  expect(found[i], expected.join(" | "), "Find(query " + i + ")");
}
expect(Orvane.Find("\u0628\u0627\u0628", 2).Count, 2, "Find at most MaxCount");
var raised = 0;
try { Orvane.Find("x", 0); } catch (e) { raised = e.number & 0xFFFF; }
expect(raised, 5, "error of MaxCount 0");
raised = 0;
try { Orvane.Find("x", 100001); } catch (e) { raised = e.number & 0xFFFF; }
expect(raised, 5, "error of MaxCount 100001");
expect(Orvane.FoldText("\u0625\u062d\u064a\u0627\u0621  \u0639\u0644\u0648\u0645\u064f \u0627\u0644\u062f\u064a\u0646"),
       "\u0627\u062d\u064a\u0627\u0621 \u0639\u0644\u0648\u0645 \u0627\u0644\u062f\u064a\u0646", "FoldText of Arabic");
expect(Orvane.FoldText(" Sahih \u4e2d "), "sahih \u4e2d", "FoldText keeps what 1256 cannot write");

// ---- FindNext and FindPrevious in both layouts and both views ----
var query = "\u0628\u0627\u0628";  // باب
var layouts = [0, 2];
for (var l = 0; l < layouts.length; ++l) {
  for (var view = 0; view < 2; ++view) {
    var label = "alignment " + layouts[l] + (view ? ", checked-only view" : ", every book");
    Orvane.Alignment = layouts[l];
    Orvane.ApplyCheck = view === 0;
    Orvane.LoadBooks(topic);
    if (view) Orvane.SetStateBook(2, false);  // its matches are passed over
    var steps = [];
    for (var k = 0; k < all.length; ++k) {
      if (refMatches(query, all[k].title) && !(view && all[k].book === 2)) steps.push(all[k].title);
    }
    expect(steps.length > 1, true, "matches to step through, " + label);
    selected = [];
    var seen = [];
    for (var k = 0; k < steps.length + 1; ++k) {
      expect(Orvane.FindNext(query), true, "FindNext " + k + ", " + label);
      seen.push(Orvane.SelectedNode.Title);
      expect(Host.Selection >= 0, true, "a current row after FindNext " + k + ", " + label);
    }
    var wanted = steps.concat([steps[0]]);
    expect(seen.join(" | "), wanted.join(" | "), "FindNext's walk and its wrap, " + label);
    expect(selected.join(" | "), wanted.join(" | "), "NodeSelect of each move, " + label);
    seen = [];
    for (var k = 0; k < steps.length; ++k) {
      Orvane.FindPrevious(query);
      seen.push(Orvane.SelectedNode.Title);
    }
    var back = [];
    for (var k = steps.length - 1; k >= 0; --k) back.push(steps[k]);
    expect(seen.join(" | "), back.join(" | "), "FindPrevious back round, " + label);
    var rows = Host.Rows();
    selected = [];
    expect(Orvane.FindNext("\u0632\u0632\u0632"), false, "FindNext of nothing, " + label);
    expect(Host.Rows(), rows, "rows unchanged by a FindNext of nothing, " + label);
    expect(selected.length, 0, "no NodeSelect for nothing, " + label);
  }
}

// ---- Type-ahead over the rows, in both layouts ----
for (var l = 0; l < layouts.length; ++l) {
  var label = "alignment " + layouts[l];
  Orvane.Alignment = layouts[l];
  Orvane.LoadBooks(topic);
  // Switching the view rebuilds the rows: every category open, every book a
  // row (كتب الفقه, الطهارة والصلاة, كتب الصيام, الصيام والحج).
  Orvane.ApplyCheck = false;
  Orvane.ApplyCheck = true;
  Orvane.TypeAhead = false;
  Host.Click(60, 8);
  keyPresses = 0;
  Host.Char("\u0627");
  expect(Host.Selection, 0, "type-ahead off: nothing moves, " + label);
  expect(keyPresses, 0, "type-ahead off: no KeyPress, " + label);
  Orvane.TypeAhead = true;
  selected = [];
  Host.Char("\u0627\u0644");  // ال
  expect(Host.Selection, 1, "the first row the prefix begins, " + label);
  Host.Char("\u0635");        // الص: the book of the second category
  expect(Host.Selection, 3, "the prefix grows, " + label);
  expect(keyPresses, 3, "KeyPress for each character, " + label);
  expect(selected.join(" | "), "\u0627\u0644\u0637\u0647\u0627\u0631\u0629 \u0648\u0627\u0644\u0635\u0644\u0627\u0629 | " +
         "\u0627\u0644\u0635\u064a\u0627\u0645 \u0648\u0627\u0644\u062d\u062c", "NodeSelect of each move, " + label);
  Host.Wait(1500);  // a pause longer than twice the double-click time
  Host.Char("\u0643");        // ك starts afresh, round past the end
  expect(Host.Selection, 0, "a new prefix after a pause, " + label);
}
Orvane.TypeAhead = false;

Host.Echo(failures === 0 ? "find: all checks passed" : "FAIL: find: " + failures + " checks failed");
