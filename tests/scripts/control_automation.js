// The control driven the way a script host drives it: created by ProgID,
// properties read and written by name, methods called on a small library.
// Arabic text is compared here, inside the script: cscript's own output is
// converted to the OEM code page.
var failures = 0;

function check(condition, what) {
  if (!condition) {
    failures++;
    WScript.Echo("FAIL: " + what);
  }
}

function equal(actual, expected, what) {
  check(actual === expected, what + ": expected [" + expected + "], got [" + actual + "]");
}

// Runs `write` and expects the "set not supported" error (CTL_E_SETNOTSUPPORTED).
function expectSetNotSupported(write, what) {
  try {
    write();
    check(false, what + " was accepted");
  } catch (e) {
    equal(e.number, 0x800A017F - 0x100000000, what + " error number");
  }
}

var fso = new ActiveXObject("Scripting.FileSystemObject");
var scriptDir = fso.GetParentFolderName(WScript.ScriptFullName);
var dataDir = fso.GetAbsolutePathName(scriptDir + "\\..\\data\\control");
var tempDir = fso.GetSpecialFolder(2).Path;

// Runs one group of checks; an error the script did not expect counts as a
// failure (the script host itself would end quietly with exit code 0).
function run(name, body) {
  try {
    body();
  } catch (e) {
    failures++;
    WScript.Echo("FAIL: " + name + " raised " + e.number + " " + e.description);
  }
}

// The catalogue names the committed TOC files' folder, which only this run knows.
function writeCatalogue(topic) {
  var ini = fso.CreateTextFile(topic + ".INI", true, false);
  ini.WriteLine("[Directories]");
  ini.WriteLine("TOC=" + dataDir);
  ini.WriteLine("[Books]");
  ini.WriteLine("Count=2");
  ini.WriteLine("[Categories]");
  ini.WriteLine("Count=2");
  ini.WriteLine("Name1=Grammar");
  ini.WriteLine("Name2=Law");
  ini.WriteLine("[Category1]");
  ini.WriteLine("Count=1");
  ini.WriteLine("Title1=Nahw");
  ini.WriteLine("Name1=NAHW");
  ini.WriteLine("[Category2]");
  ini.WriteLine("Count=1");
  ini.WriteLine("Title1=Fiqh");
  ini.WriteLine("Name1=FIQH");
  ini.Close();
}

// ---- A new control reads back every default ----
run("defaults", function () {
  var ctl = new ActiveXObject("ORVANE.OrvaneCtrl.1");
  equal(ctl.Alignment, 2, "Alignment");
  equal(ctl.Indent, 18, "Indent");
  equal(ctl.ReadingOrder, 1, "ReadingOrder");
  equal(ctl.ElapsedTime, 1000, "ElapsedTime");
  equal(ctl.FilePos, 0, "FilePos");
  equal(ctl.ApplyCheck, false, "ApplyCheck");
  equal(ctl.ShowBalloonHelp, true, "ShowBalloonHelp");
  equal(ctl.TocFile, "C:\\0\\1.TXT", "TocFile");
  equal(ctl.BooksDir, "C:\\Mirvak", "BooksDir");
  equal(ctl.TopicName, "", "TopicName");
  equal(ctl.ActiveCategory, 0, "ActiveCategory");
  equal(ctl.ActiveBook, 0, "ActiveBook");
  // Wine's font object reports the face and size it realized ("Fonta" is no
  // installed face), so only what survives realization is compared.
  equal(Math.round(ctl.Fonta.Size), 11, "Fonta size");
  equal(ctl.Fonta.Weight, 400, "Fonta weight");
  equal(ctl.Fonta.Charset, 0, "Fonta character set");
  equal(ctl.Fonta.Italic, false, "Fonta italic");
  // Colours are 32-bit integers read as signed: a system colour is negative
  // here, and the same value unsigned (>>> 0).
  equal(ctl.BackColor, 0x80000005 - 0x100000000, "BackColor");
  equal(ctl.ForeColor >>> 0, 0x80000008, "ForeColor");
  equal(typeof ctl.BackColor, "number", "typeof BackColor");
});

// ---- Writes are stored as given; read-only properties refuse them ----
run("writes", function () {
  var ctl = new ActiveXObject("ORVANE.OrvaneCtrl.1");
  ctl.Indent = 25;
  equal(ctl.Indent, 25, "Indent after set");
  ctl.Alignment = 1;  // no such TAlignment value, stored all the same
  equal(ctl.Alignment, 1, "Alignment 1 after set");
  ctl.ReadingOrder = 0;
  equal(ctl.ReadingOrder, 0, "ReadingOrder after set");
  ctl.ElapsedTime = 250;
  equal(ctl.ElapsedTime, 250, "ElapsedTime after set");
  ctl.ShowBalloonHelp = false;
  equal(ctl.ShowBalloonHelp, false, "ShowBalloonHelp after set");
  ctl.BooksDir = "D:\\Books\\\u0643\u062a\u0628";
  equal(ctl.BooksDir, "D:\\Books\\\u0643\u062a\u0628", "BooksDir with Arabic after set");
  ctl.TopicName = "LIB";
  equal(ctl.TopicName, "LIB", "TopicName after set");
  ctl.ApplyCheck = true;
  equal(ctl.ApplyCheck, true, "ApplyCheck before any load");
  ctl.BackColor = 0xFF;
  equal(ctl.BackColor, 0xFF, "BackColor after set");
  equal(ctl.BackColor + 1, 0x100, "BackColor + 1");
  check(ctl.BackColor < 0x100 && ctl.BackColor > 0xFE, "BackColor compares as a number");
  ctl.ForeColor = 0xFF8040;
  equal(ctl.ForeColor & 0xFF00, 0x8000, "the green byte of ForeColor");
  // Past 2^31 JScript sends a Double; the same 32 bits are stored.
  ctl.BackColor = 0x80000008;
  equal(ctl.BackColor >>> 0, 0x80000008, "BackColor after 0x80000008");
  ctl.BackColor = -1;
  equal(ctl.BackColor, -1, "BackColor after -1");
  try {
    ctl.BackColor = 0x100000000;
    check(false, "a colour past 32 bits was accepted");
  } catch (e) {
    check(e.number !== 0, "a colour past 32 bits raises an error");
  }
  equal(ctl.BackColor, -1, "a refused colour leaves BackColor as it was");

  // Fonta takes a copy of the font it is given.
  var font = ctl.Font;
  font.Size = 20;
  ctl.Fonta = font;
  equal(Math.round(ctl.Fonta.Size), 20, "Fonta after set");
  font.Size = 9;
  equal(Math.round(ctl.Fonta.Size), 20, "Fonta is a copy, not the given font");

  expectSetNotSupported(function () { ctl.FilePos = 5; }, "FilePos");
  expectSetNotSupported(function () { ctl.ActiveCategory = 1; }, "ActiveCategory");
  expectSetNotSupported(function () { ctl.ActiveBook = 1; }, "ActiveBook");
  equal(ctl.FilePos, 0, "FilePos after a refused set");
  equal(ctl.ActiveBook, 0, "ActiveBook after a refused set");

  // The result is the new item's Node, safe to drop.
  equal(ctl.AddChild(5, "item").Title, "item", "AddChild result");
  equal(ctl.AddSibling(-1, "item").Kind, 3, "AddSibling result: an item");
});

// ---- A small library: sections, parents, positions and check states ----
run("library", function () {
  var topic = tempDir + "\\ORVCTLJS";
  writeCatalogue(topic);
  var ctl = new ActiveXObject("ORVANE.OrvaneCtrl.1");

  // Before any load the section queries give their failure values.
  equal(ctl.GetSectionTitle(1, 10), "", "title before LoadBooks");
  ctl.TocFile = "1";
  ctl.LoadFromTocFile("10");
  equal(ctl.TocFile, "-1", "LoadFromTocFile before LoadBooks");

  equal(ctl.LoadBooks(topic), true, "LoadBooks");
  equal(ctl.TopicName, topic, "TopicName after LoadBooks");
  equal(ctl.BooksDir, dataDir, "BooksDir from the catalogue");

  var muqaddima = "\u0645\u0642\u062f\u0645\u0629";
  equal(ctl.GetSectionTitle(1, 10), muqaddima, "first title of book 1");
  equal(ctl.GetSectionTitle(1, 0), muqaddima, "TocPos 0 reads the record at 10");
  equal(ctl.GetSectionTitle(1, 143), "\u0627\u0644\u0645\u0627\u0636\u064a", "a third-level title");
  equal(ctl.GetSectionTitle(2, 43), "Purity", "a title of book 2");
  equal(ctl.GetSectionTitle(9, 10), "", "a book that does not exist");
  equal(ctl.GetSectionTitle(1, 100000), "", "a position past the book's end");

  equal(ctl.GetParentPos(1, 117), 36, "parent of a second-level section");
  equal(ctl.GetParentPos(1, 143), 117, "parent of a third-level section");
  equal(ctl.GetParentPos(1, 36), -1, "a top-level section has no parent");
  equal(ctl.GetParentPos(1, 10), -1, "the first record has no parent");
  equal(ctl.GetParentPos(1, -5), -1, "a negative position");

  ctl.TocFile = "1";
  ctl.LoadFromTocFile("143");
  equal(ctl.TocFile, "221", "LoadFromTocFile gives the FilePos");
  ctl.TocFile = "2";
  ctl.LoadFromTocFile("43");
  equal(ctl.TocFile, "2000", "LoadFromTocFile in book 2");

  equal(ctl.GetStateBook(1), 0, "a loaded book is checked");
  equal(ctl.GetStateBook(0), 0, "book 0");
  equal(ctl.GetStateBook(3), 0, "one past the last book");
  equal(ctl.SetStateBook(2, false), true, "SetStateBook unchecks");
  equal(ctl.GetStateBook(2), 1, "an unchecked book");
  equal(ctl.SetStateBook(2, true), true, "SetStateBook checks");
  equal(ctl.GetStateBook(2), 0, "checked again");
  equal(ctl.SetStateBook(3, false), false, "SetStateBook of a book that does not exist");

  // Without a window there are no rows to select.
  equal(ctl.GotoTocPosition(1, 36), false, "GotoTocPosition without rows");
  ctl.ActivateBook(1);
  ctl.DeactivateBook(1);
  ctl.ActivateBook(0);
  ctl.DeactivateBook(99);
  ctl.ChangeStateSelected();
  fso.DeleteFile(topic + ".INI");
});

// ---- Missing catalogue and files ----
run("missing", function () {
  var ctl = new ActiveXObject("ORVANE.OrvaneCtrl.1");
  equal(ctl.LoadBooks(tempDir + "\\NO_SUCH_TOPIC"), true, "LoadBooks without a catalogue");
  equal(ctl.BooksDir, "", "BooksDir emptied by a missing catalogue");
  ctl.LoadFromTextFile(tempDir + "\\no_such_outline.txt");
  equal(ctl.GetSectionTitle(1, 10), "", "no book after an empty catalogue");
});

if (failures > 0) {
  WScript.Echo(failures + " check(s) failed");
  WScript.Quit(1);
}
WScript.Echo("control automation: all checks passed");
WScript.Quit(0);
