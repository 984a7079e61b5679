// Opening and closing by the keys and the buttons, checking books by their
// check boxes, and the mirror chords, with real input; keys the control
// consumes never reach the script as KeyDown, and typed characters never as
// KeyPress.
var failures = 0;

function expect(actual, expected, what) {
  Host.Echo("check: " + what + " is [" + expected + "]");
  if (actual !== expected) {
    failures++;
    Host.Echo("FAIL: " + what + ": expected [" + expected + "], got [" + actual + "]");
  }
}

var log = [];
function Orvane_KeyDown(keyCode, shift) { log.push("KeyDown " + keyCode); }
function Orvane_KeyPress(keyAscii) { log.push("KeyPress " + keyAscii); }
function taken() { var text = log.join(", "); log = []; return text; }

// "title:open" of every row, joined by blanks.
function outline() {
  var rows = Host.Rows().split("\n"), shown = [];
  for (var i = 0; i < rows.length; i++) {
    var f = rows[i].split("|");
    if (f.length == 6) shown.push(f[5] + ":" + f[2]);
  }
  return shown.join(" ");
}

var VK_LEFT = 0x25, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_CONTROL = 0x11;
var VK_ADD = 0x6B, VK_SUBTRACT = 0x6D;
var closed = "الفقه:0 النحو:0";
var opened = "الفقه:1 متن الغاية:0 الشرح:0 النحو:0";

var fso = new ActiveXObject("Scripting.FileSystemObject");
Orvane.ApplyCheck = true;
Orvane.LoadBooks(fso.GetAbsolutePathName(".") + "\\TESTCON");
expect(outline(), closed, "the outline after loading");

// Right alignment (the default): the rows are laid out from the right edge,
// level 0's button in the rightmost Indent (18 pixels) of the client area.
var right = 298;  // 300 pixels less the single-line border
Host.Click(right - 9, 8);
expect(outline(), opened, "a click on the first category's button opens it");
Host.Click(right - 9, 8);
expect(outline(), closed, "a second click on the button closes it");
Host.Click(100, 8);
expect(outline(), closed, "a click on the title selects without opening");
expect(Host.Selection, 0, "Selection after the click on the title");
taken();

// With tvRight, Left goes inward (opens) and Right outward (closes).
Host.Key(VK_LEFT);
expect(outline(), opened, "Left opens the selected category");
Host.Key(VK_RIGHT);
expect(outline(), closed, "Right closes it");
Host.Key(VK_ADD);
expect(outline(), opened, "'+' opens it");
Host.Key(VK_ADD);
expect(outline(), opened, "'+' on an open node changes nothing");
Host.Key(VK_SUBTRACT);
expect(outline(), closed, "'-' closes it");
expect(taken(), "", "KeyDown events of Left, Right, '+' and '-'");
expect(Host.Selection, 0, "Selection after the keys");

// Inward on an open node moves to its first child; outward from a book
// moves back to its category.
Host.Key(VK_LEFT);
Host.Key(VK_LEFT);
expect(Host.Selection, 1, "Left on the open category selects its first book");
expect(Orvane.ActiveBook, 1, "ActiveBook after moving to the book");
Host.Key(VK_RIGHT);
expect(Host.Selection, 0, "Right on a closed book selects its category");
expect(outline(), opened, "the outline after moving between rows");

// The check box of book 1: two Indents inward of its button column.
var checkBoxX = right - 18 * 3 - 9;
Host.Click(checkBoxX, 24);
expect(Orvane.GetStateBook(1), 1, "a click on book 1's check box unchecks it");
expect(Host.Rows().split("\n")[0].split("|")[4], "2", "its category is partly checked");
Host.Click(checkBoxX, 24);
expect(Orvane.GetStateBook(1), 0, "a second click checks it again");

// Mirror chords: Shift with a typed 'A', and Shift and Ctrl held together.
expect(Orvane.Alignment, 2, "Alignment before the chords");
Host.Char("a");
expect(Orvane.Alignment, 2, "typing 'a' without Shift does not mirror");
Host.Char("A");
expect(Orvane.Alignment, 0, "typing 'A' (Shift+A) mirrors to tvLeft");
Host.Key(VK_CONTROL, true);
expect(Orvane.Alignment, 2, "pressing Ctrl while Shift is held mirrors back");
var typed = taken();
expect(typed.indexOf("KeyPress"), -1, "no KeyPress for typed characters (" + typed + ")");

// Under tvLeft the two arrows swap roles.
Host.Char("A");
expect(Orvane.Alignment, 0, "mirrored to tvLeft again");
Host.Click(100, 8);
Host.Key(VK_LEFT);
expect(outline(), closed, "with tvLeft, Left closes the open category");
Host.Key(VK_RIGHT);
expect(outline(), opened, "with tvLeft, Right opens it");

// Space in the check view checks and unchecks the current category, as a
// click on its box does, and does not reach KeyDown; outside it, it does.
var VK_SPACE = 0x20;
function stateOf(row) { return Host.Rows().split("\n")[row].split("|")[4]; }
Host.Click(100, 8);
taken();
expect(stateOf(0), "0", "the first category before Space");
Host.Key(VK_SPACE);
expect(stateOf(0), "1", "Space unchecks the current category");
Host.Key(VK_SPACE);
expect(stateOf(0), "0", "Space checks it again");
expect(taken(), "", "Space in the check view is the control's");
Orvane.ApplyCheck = false;
Host.Click(100, 8);
taken();
Host.Key(VK_SPACE);
expect(taken(), "KeyDown 32", "Space in the checked-only view is the host's");
Orvane.ApplyCheck = true;

// With MirrorKeys off, neither chord mirrors; the keys go on as others do.
Orvane.MirrorKeys = false;
var before = Orvane.Alignment;
Host.Key(0x53, true, true);  // Ctrl+Shift+S, a host's shortcut
Host.Char("A");
expect(Orvane.Alignment, before, "no mirror with MirrorKeys off");
expect(taken().indexOf("KeyDown 83") >= 0, true, "Ctrl+Shift+S reaches KeyDown");
Orvane.MirrorKeys = true;
Host.Char("A");
expect(Orvane.Alignment == before, false, "Shift+A mirrors again with MirrorKeys on");

if (failures > 0) throw new Error(failures + " check(s) failed");
