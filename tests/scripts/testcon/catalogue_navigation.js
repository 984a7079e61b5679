// A small catalogue (two categories, three books) loaded with LoadBooks:
// the rows it shows, then GotoTocPosition opening the outline down to a
// section and selecting its row, with the active category and book.
var failures = 0;

function expect(actual, expected, what) {
  Host.Echo("check: " + what + " is [" + expected + "]");
  if (actual !== expected) {
    failures++;
    Host.Echo("FAIL: " + what + ": expected [" + expected + "], got [" + actual + "]");
  }
}

var fso = new ActiveXObject("Scripting.FileSystemObject");
var topic = fso.GetAbsolutePathName(".") + "\\TESTCON";
var dataDir = fso.GetAbsolutePathName(Host.ScriptDir + "\\..\\..\\data\\testcon");

Orvane.ApplyCheck = true;
expect(Orvane.LoadBooks(topic), true, "LoadBooks of the test catalogue");
expect(Orvane.TopicName, topic, "TopicName: the topic LoadBooks was given");
expect(Orvane.BooksDir.toUpperCase(), dataDir.toUpperCase(), "BooksDir: the catalogue's TOC folder");
expect(Host.Rows(), "0|0|0|1|0|الفقه\n1|0|0|1|0|النحو", "the rows: both categories, closed");
expect(Host.Selection, -1, "Selection after loading");

// Book 1, section "فروض الوضوء" at TocPos 143, two levels below its book.
expect(Orvane.GotoTocPosition(1, 143), true, "GotoTocPosition(1, 143)");
expect(Host.Selection, 5, "Selection after GotoTocPosition(1, 143)");
expect(Orvane.ActiveCategory, 1, "ActiveCategory after GotoTocPosition(1, 143)");
expect(Orvane.ActiveBook, 1, "ActiveBook after GotoTocPosition(1, 143)");
expect(Host.Rows(),
       ["0|0|1|1|0|الفقه", "1|1|1|1|0|متن الغاية", "2|2|1|1|0|كتاب الطهارة",
        "3|3|0|1|0|فصل في المياه", "4|3|1|1|0|فصل في الوضوء", "5|4|0|1|0|فروض الوضوء",
        "6|2|0|1|0|كتاب الصلاة", "7|1|0|1|0|الشرح", "8|0|0|1|0|النحو"].join("\n"),
       "the rows opened down to the section");

// Book 3 is the first book of category 2: numbering runs across categories.
expect(Orvane.GotoTocPosition(3, 73), true, "GotoTocPosition(3, 73)");
expect(Orvane.ActiveCategory, 2, "ActiveCategory after GotoTocPosition(3, 73)");
expect(Orvane.ActiveBook, 3, "ActiveBook (the BookNumber) after GotoTocPosition(3, 73)");
var rows = Host.Rows().split("\n");
expect(rows[Host.Selection], Host.Selection + "|3|0|1|0|علامات الرفع", "the selected row");
expect(Host.TopIndex, 0, "TopIndex: every row fits");

// A jump that cannot be made changes nothing.
var before = Host.Rows();
expect(Orvane.GotoTocPosition(9, 10), false, "GotoTocPosition of a book that does not exist");
expect(Orvane.GotoTocPosition(0, 10), false, "GotoTocPosition of book 0");
expect(Host.Rows(), before, "the rows after the refused jumps");

if (failures > 0) throw new Error(failures + " check(s) failed");
