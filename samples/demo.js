// The demo: the control in the test container on the bundled library. It
// loads the catalogue, opens categories and books, checks and unchecks
// books, switches to the checked-only view, jumps with GotoTocPosition,
// hovers a long title, mirrors the layout, prints the visible rows after
// each step and writes screenshots to build/demo/.
var fso = new ActiveXObject("Scripting.FileSystemObject");
var library = fso.GetAbsolutePathName(Host.ScriptDir + "\\..\\build\\samples");
var shots = fso.GetAbsolutePathName(Host.ScriptDir + "\\..\\build\\demo");
// scripts/demo runs this again in a prefix of 144 DPI: rows 24 pixels, and
// the screenshots named for it.
var dpi = Number(new ActiveXObject("WScript.Shell").Environment("PROCESS")("ORVANE_DEMO_DPI")) || 96;
var scale = dpi / 96;
var suffix = dpi == 96 ? "" : "-" + dpi + "dpi";

function show(step) {
  Host.Echo("");
  Host.Echo("== " + step);
  var lines = Host.Rows().split("\n");
  for (var i = 0; i < lines.length; ++i) {
    var f = lines[i].split("|");
    if (f.length < 6) continue;
    var indent = "";
    for (var l = 0; l < Number(f[1]); ++l) indent += "    ";
    var box = Orvane.ApplyCheck ? ["[x] ", "[ ] ", "[~] "][Number(f[4])] : "";
    Host.Echo(indent + box + f.slice(5).join("|") + (f[2] == "1" ? "  (open)" : "") +
              (f[3] == "0" ? "  (greyed)" : ""));
  }
}
function shot(name) {
  Host.Wait(200);
  Host.Screenshot(shots + "\\" + name + suffix + ".png");
  Host.Echo("   picture: build/demo/" + name + suffix + ".png");
}
// The row of the first book whose title is too long for the control.
function longTitleRow() {
  var lines = Host.Rows().split("\n");
  for (var i = 0; i < lines.length; ++i) {
    var f = lines[i].split("|");
    if (f[1] == "1" && f.slice(5).join("|").length > 60) return Number(f[0]);
  }
  return -1;
}

Orvane.ApplyCheck = true;
Orvane.ElapsedTime = 400;
Orvane.LoadBooks(library + "\\MAKTABA");
show("LoadBooks: one row per category");

Orvane.GotoTocPosition(1, 10);   // the Quran: first part, first sura
Orvane.GotoTocPosition(6, 10);   // Abu Shuja': the book of purity
show("GotoTocPosition opened the way to two sections and selected the last");
shot("right-layout");

Orvane.SetStateBook(2, false);
Orvane.SetStateBook(5, false);
Orvane.SetStateBook(9, false);
Orvane.SetStateBook(10, false);
Host.Wait(100);
show("Check view: books 2, 5, 9 and 10 unchecked; their categories show partly or not checked");
shot("check-view");

Orvane.ApplyCheck = false;
show("Checked-only view: unchecked books are hidden");
shot("checked-only-view");

Orvane.ApplyCheck = true;
Orvane.GotoTocPosition(3, 10);   // al-Bukhari: its long title needs the balloon
var row = longTitleRow();
if (row >= 0) {
  var y = Math.round(((row - Host.TopIndex) * 16 + 8) * scale);
  Host.MouseMove(Math.round(150 * scale), y);
  Host.MouseMove(Math.round(152 * scale), y);
  Host.Wait(Orvane.ElapsedTime + 600);
  show("Hovering the long title of row " + row);
  shot("balloon");
  Host.MouseMove(Math.round(150 * scale), Math.round(390 * scale));
  Host.Wait(300);
}

// Mirror the layout. The new side shows at the next paint; rebuilding the
// rows (writing ApplyCheck) brings one, and two jumps open books again.
Orvane.Alignment = 0;
Orvane.ApplyCheck = true;
Orvane.GotoTocPosition(7, 10);
Orvane.GotoTocPosition(8, 10);
show("Left layout");
shot("left-layout");
