// Times the real control under Wine on the benchmark library (50 categories
// of 100 books, 1,000,000 sections) and on a catalogue of 31,000 books
// without TOC files. Prints milliseconds beside what each was asked to do;
// asserts nothing. bench/wine/run-timings.sh prints the peers beside them.
var dir = Host.ScriptDir + "\\..\\..\\build\\bench-library";
var fso = new ActiveXObject("Scripting.FileSystemObject");
dir = fso.GetAbsolutePathName(dir);

function time(label, work) {
  var t0 = new Date().getTime();
  work();
  var t1 = new Date().getTime();
  Host.Echo("control: " + label + ": " + (t1 - t0) + " ms");
}
function rowCount() { return Host.Rows().split("\n").length; }

for (var i = 0; i < 3; ++i) {
  time("LoadBooks 5,000 books, 1,000,000 sections", function () { Orvane.LoadBooks(dir + "\\LIB"); });
}
Host.Echo("  (" + rowCount() + " rows)");
Host.Wait(50);

// A category of 100 books opened with '+' on its selected row; the time
// includes painting the rows that come into view, and so reading their books.
Host.Click(150, 8);
time("opening a category of 100 books, with its repaint", function () {
  Host.Key(0x6B);  // VK_ADD
  Host.Wait(0);
});
Host.Echo("  (" + rowCount() + " rows)");

// Jumping into books nobody has looked at yet.
for (var b = 0; b < 3; ++b) {
  var book = 2500 + 1000 * b;
  time("GotoTocPosition into unread book " + book, function () { Orvane.GotoTocPosition(book, 10); });
}

// One category of 30,000 books above one of 1,000 (no TOC files needed).
var ini = fso.CreateTextFile(dir + "\\BIG.INI", true);
ini.WriteLine("[Directories]");
ini.WriteLine("TOC=" + dir + "\\none");
ini.WriteLine("[Books]");
ini.WriteLine("Count=31000");
ini.WriteLine("[Categories]");
ini.WriteLine("Count=2");
ini.WriteLine("Name1=Big");
ini.WriteLine("Name2=Small");
ini.WriteLine("[Category1]");
ini.WriteLine("Count=30000");
ini.WriteLine("[Category2]");
ini.WriteLine("Count=1000");
ini.Close();
Orvane.ApplyCheck = true;
for (var j = 0; j < 2; ++j) {
  time("LoadBooks 31,000 books without TOC files", function () { Orvane.LoadBooks(dir + "\\BIG"); });
}
for (var k = 0; k < 2; ++k) {
  // Each write rebuilds every row: both categories open, 31,002 rows.
  time("ApplyCheck = true (rebuild all 31,002 rows)", function () { Orvane.ApplyCheck = true; });
  Host.Echo("  (" + rowCount() + " rows)");
  time("ApplyCheck = false (rebuild checked rows)", function () { Orvane.ApplyCheck = false; });
  Host.Echo("  (" + rowCount() + " rows)");
}
