// size 300x400
// The hover balloon through real pointer moves. While it is up the balloon
// holds the pointer, so moves over it reach no MouseMove of the control:
// that, and the screenshots the runner measures, show whether it is up.
var failures = 0;
function expect(actual, expected, what) {
  Host.Echo("check: " + what + " is [" + expected + "]");
  if (actual !== expected) {
    failures++;
    Host.Echo("FAIL: " + what + ": expected [" + expected + "], got [" + actual + "]");
  }
}

var moves = 0, log = [];
function Orvane_MouseMove(button, shift, x, y) { moves++; }
function Orvane_MouseDown(button, shift, x, y) { log.push("MouseDown " + x + " " + y); }
function Orvane_Click() { log.push("Click"); }
// Whether a move at (x, y) reaches the control: not while a balloon holds
// the pointer.
function moveReaches(x, y) { moves = 0; Host.MouseMove(x, y); return moves > 0; }

var fso = new ActiveXObject("Scripting.FileSystemObject");
var shots = fso.GetAbsolutePathName(Host.ScriptDir + "\\..\\..\\..\\build\\interaction");
var delay = 300;
Orvane.ElapsedTime = delay;
expect(Orvane.LoadBooks(fso.GetAbsolutePathName(".") + "\\INTERACT"), true, "LoadBooks");
Orvane.Alignment = 0;
// The second category open: row 2 is the book with the long title, row 3
// a book whose title fits.
Host.Click(150, 24);
Host.Key(0x6B);
expect(Host.Rows().split("\n").length, 4, "rows with the second category open");

// Resting on the long title shows the balloon once the delay has passed.
Host.MouseMove(120, 40);
expect(moveReaches(122, 40), true, "a move before the delay reaches the control");
Host.Wait(delay + 700);
expect(moveReaches(125, 40), false, "a move over the balloon after the delay reaches the control");
Host.Screenshot(shots + "\\balloon-left.png");

// After five seconds it hides by itself and does not come back on this row.
Host.Wait(5300);
expect(moveReaches(130, 40), true, "a move after the balloon's five seconds reaches the control");
Host.Wait(delay + 700);
expect(moveReaches(135, 40), true, "a move on the same row later still reaches the control");
Host.Screenshot(shots + "\\balloon-gone.png");

// Another row and back arms it again.
Host.MouseMove(120, 56);
Host.MouseMove(120, 40);
Host.Wait(delay + 700);
expect(moveReaches(124, 40), false, "a move after coming back to the row: the balloon is up again");
Host.Screenshot(shots + "\\balloon-again.png");

// A click on the balloon is a click on the row beneath.
log = [];
Host.Click(124, 40);
expect(log.join(", "), "MouseDown 124 40, Click", "events of a click on the balloon");
expect(Host.Selection, 2, "Selection after a click on the balloon");

// Leaving the balloon hides it: the next move reaches the control.
Host.MouseMove(120, 56);
Host.Wait(delay + 700);
Host.MouseMove(120, 40);
Host.Wait(delay + 700);
expect(moveReaches(121, 40), false, "the balloon up over the long title");
moves = 0;
Host.MouseMove(120, 200);
Host.MouseMove(121, 200);
expect(moves > 0, true, "moves below the rows after leaving the balloon reach the control");

// In tvRight with ApplyCheck on the balloon ends one icon cell further from
// the tree lines; it is up as before, reaching left past the control.
// Setting ApplyCheck shows every category open with its books: the long
// title is on row 4.
Orvane.Alignment = 2;
Orvane.ApplyCheck = true;
expect(Host.Rows().split("\n")[4].indexOf("4|1|"), 0, "row 4 is a book");
Host.MouseMove(150, 72);
Host.Wait(delay + 700);
expect(moveReaches(152, 72), false, "the balloon up in tvRight");
Host.Screenshot(shots + "\\balloon-right.png");
Host.Wait(5300);

// A new window (ReadingOrder re-creates it) gets a balloon of its own: the
// rows rebuilt, resting on the long title shows it again and a click on it
// reaches the new window.
Orvane.ReadingOrder = 0;
Orvane.ApplyCheck = false;
Orvane.ApplyCheck = true;
Host.MouseMove(150, 88);
Host.MouseMove(150, 72);
Host.Wait(delay + 700);
expect(moveReaches(152, 72), false, "the balloon up after the window was re-created");
log = [];
Host.Click(152, 72);
expect(log.join(", "), "MouseDown 152 72, Click", "events of a click on the new window's balloon");
expect(Host.Selection, 4, "Selection after that click");

// With ShowBalloonHelp off, moves arm nothing.
Orvane.ShowBalloonHelp = false;
Host.MouseMove(150, 88);
Host.MouseMove(150, 72);
Host.Wait(delay + 700);
expect(moveReaches(152, 72), true, "a move after resting with ShowBalloonHelp off");

if (failures > 0) throw new Error(failures + " check(s) failed");
