// size 300x400
// The keys on the rows through real key presses: Left and Right in both
// alignments, '+' and '-', Up and Down reaching the host while the control's
// current node lags one key, and the mirror chords. No key the control takes
// reaches KeyDown, and no typed character reaches KeyPress.
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
function rowCount() { return Host.Rows().split("\n").length; }

var fso = new ActiveXObject("Scripting.FileSystemObject");
Orvane.ApplyCheck = true;
expect(Orvane.LoadBooks(fso.GetAbsolutePathName(".") + "\\INTERACT"), true, "LoadBooks");
expect(Orvane.Alignment, 2, "Alignment of a new control (tvRight)");
Host.Click(150, 8);
expect(Host.Selection, 0, "a click selects the first category");
taken();

// tvRight: Left goes inward (opens), Right outward (closes).
Host.Key(0x25);
expect(rowCount(), 4, "rows after Left on the closed category in tvRight");
Host.Key(0x27);
expect(rowCount(), 2, "rows after Right on the open category in tvRight");
expect(taken(), "", "KeyDown events of Left and Right");

// tvLeft: the keys swap roles.
Orvane.Alignment = 0;
Host.Key(0x27);
expect(rowCount(), 4, "rows after Right on the closed category in tvLeft");
Host.Key(0x25);
expect(rowCount(), 2, "rows after Left on the open category in tvLeft");

// The numeric pad's plus and minus, and the main keyboard's minus.
Host.Key(0x6B);
expect(rowCount(), 4, "rows after '+' on the closed category");
Host.Key(0x6B);
expect(rowCount(), 4, "rows after '+' on the open category: nothing happens");
Host.Key(0xBD);
expect(rowCount(), 2, "rows after the main keyboard's '-'");
Host.Key(0x6D);
expect(rowCount(), 2, "rows after '-' on the closed category: nothing happens");
expect(taken(), "", "KeyDown events of '+' and '-'");
expect(Host.Selection, 0, "the selection stays on the category");

// Up and Down reach the host and move the list; once each key is handled
// the current node is the row the list moved to, as after a click.
Host.Key(0x6B);
Host.Key(40);
expect(taken(), "KeyDown 40", "events of Down");
expect(Host.Selection, 1, "Selection after Down");
expect(Orvane.ActiveBook, 1, "ActiveBook after Down: the first book");
Host.Key(40);
expect(Host.Selection, 2, "Selection after a second Down");
expect(Orvane.ActiveBook, 2, "ActiveBook after the second Down: the second book");
Host.Key(38);
expect(Orvane.ActiveBook, 1, "ActiveBook after Up: the first book again");
taken();

// Shift and Ctrl held mirror on the key-down that completes the chord.
Host.Key(17, true);
expect(Orvane.Alignment, 2, "Alignment after Shift, then Ctrl");
Host.Key(16, false, true);
expect(Orvane.Alignment, 0, "Alignment after Ctrl, then Shift");
// Shift+Ctrl+Right: Ctrl mirrors to tvRight, Right mirrors back to tvLeft
// and then goes inward on the closed category.
Host.Click(150, 56);
expect(Host.Selection, 3, "the second category selected");
Host.Key(0x27, true, true);
expect(Orvane.Alignment, 0, "Alignment after Shift+Ctrl+Right: mirrored twice");
expect(rowCount(), 6, "rows after Shift+Ctrl+Right: the category opened under tvLeft");

// Shift+A typed mirrors; 'a' alone does not; nothing reaches KeyPress.
Host.Char("A");
expect(Orvane.Alignment, 2, "Alignment after typing 'A'");
Host.Char("a");
expect(Orvane.Alignment, 2, "Alignment after typing 'a'");
Host.Char("+-zA");
expect(Orvane.Alignment, 0, "Alignment after typing '+-zA'");
expect(taken().indexOf("KeyPress"), -1, "KeyPress events");

if (failures > 0) throw new Error(failures + " check(s) failed");
