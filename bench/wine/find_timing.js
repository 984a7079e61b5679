// Times Find, FindNext and type-ahead in the real control under Wine, on the
// benchmark library (5,000 books, 1,000,000 sections) and a catalogue of
// 31,000 books, each beside its peer in the same run: a member call that
// does nothing (the script's round trip), GotoTocPosition into an unread
// book (that book's read), and the container's key wait with a key the
// control ignores. The bare reading of the same files is peer_timing.exe's
// figure in bench/wine/run-timings.sh. Prints the fastest and the median of
// several runs; asserts nothing.
var dir = Host.ScriptDir + "\\..\\..\\build\\bench-library";
var fso = new ActiveXObject("Scripting.FileSystemObject");
dir = fso.GetAbsolutePathName(dir);
var runs = 7;

function time(label, prepare, work) {
  var all = [];
  for (var i = 0; i < runs; ++i) {
    prepare(i);
    var t0 = new Date().getTime();
    work(i);
    all.push(new Date().getTime() - t0);
  }
  all.sort(function (a, b) { return a - b; });
  Host.Echo("control: " + label + ": " + all[0] + " ms fastest, " + all[(runs - 1) >> 1] +
            " ms median of " + runs);
}
function nothing() {}
// None of these is in a title of the library; the second holds only
// letters every book has, so that every title is read.
var noLetter = "\u0627\u0644\u0635\u064a\u0627\u0645";                 // الصيام
var allLetters = "\u0628\u0627\u0628 \u0627\u0644\u0623\u0630\u0627\u0646";  // باب الأذان

var found = -1;
time("the first Find of a freshly loaded library (every book read on the way)",
     function () { Orvane.LoadBooks(dir + "\\LIB"); },
     function () { found = Orvane.Find(allLetters, 100000).Count; });
Host.Echo("  (" + found + " found)");
time("Find of a query whose letters are all in every book, every book read", nothing,
     function () { found = Orvane.Find(allLetters, 100000).Count; });
time("Find of a query with a letter no title holds, every book read", nothing,
     function () { found = Orvane.Find(noLetter, 100000).Count; });
time("peer: FoldText of one letter (a call's round trip)", nothing,
     function () { Orvane.FoldText("x"); });

// FindNext from the last section of a book into the next, unread one,
// beside GotoTocPosition into an unread book (the read it must do).
var book = 100;
time("FindNext into an unread book", function (i) {
  Orvane.LoadBooks(dir + "\\LIB");
  Orvane.GotoTocPosition(book + 200 * i, 10);
  var top = Orvane.GetBookNode(book + 200 * i).Children;
  var last = top.Item(top.Count).Children;
  last.Item(last.Count).Select();
}, function () { Orvane.FindNext("\u0627\u0644\u0627\u0630\u0627\u0646"); });
Host.Echo("  (now in book " + Orvane.ActiveBook + ")");
time("peer: GotoTocPosition into an unread book", function () { Orvane.LoadBooks(dir + "\\LIB"); },
     function (i) { Orvane.GotoTocPosition(book + 1 + 200 * i, 10); });

// One keystroke of type-ahead over 31,002 rows, beside the container's key
// wait alone.
var ini = fso.CreateTextFile(dir + "\\BIG.INI", true);
ini.Write("[Directories]\r\nTOC=" + dir + "\\none\r\n[Books]\r\nCount=31000\r\n" +
          "[Categories]\r\nCount=2\r\nName1=Big\r\nName2=Small\r\n" +
          "[Category1]\r\nCount=30000\r\n[Category2]\r\nCount=1000\r\n");
ini.Close();
Orvane.LoadBooks(dir + "\\BIG");
Orvane.ApplyCheck = false;
Orvane.ApplyCheck = true;  // the rebuild: every category open, every book a row
Orvane.TypeAhead = true;
Host.Echo("  (" + Host.Rows().split("\n").length + " rows)");
time("peer: the container's key wait alone (F24)", function () { Host.Click(150, 8); Host.Wait(50); },
     function () { Host.Key(0x87); Host.Wait(0); });
time("a type-ahead keystroke no row begins (every row looked at)",
     function () { Host.Click(150, 8); Host.Wait(1200); },
     function () { Host.Char("q"); Host.Wait(0); });
Orvane.TypeAhead = false;
