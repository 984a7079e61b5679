// A host's event handlers that pull the control's state away under the
// control's own feet: reloading the library, re-creating the window,
// replacing the outline and deactivating books while the control is still
// inside the click, key or mouse move that raised the event. The control
// must survive each one and go on answering and drawing correctly.
var failures = 0;

function expect(actual, expected, what) {
  Host.Echo("check: " + what + " is [" + expected + "]");
  if (actual !== expected) {
    failures++;
    Host.Echo("FAIL: " + what + ": expected [" + expected + "], got [" + actual + "]");
  }
}

function rowCount() {
  var rows = Host.Rows();
  return rows === "" ? 0 : rows.split("\n").length;
}

var fso = new ActiveXObject("Scripting.FileSystemObject");
var topic = fso.GetAbsolutePathName(".") + "\\TESTCON";
var onMouseDown = null, onClick = null, onKeyDown = null, onMouseMove = null, onDblClick = null;
function Orvane_MouseDown(button, shift, x, y) { if (onMouseDown) onMouseDown(); }
function Orvane_Click() { if (onClick) onClick(); }
function Orvane_DblClick() { if (onDblClick) onDblClick(); }
function Orvane_KeyDown(keyCode, shift) { if (onKeyDown) onKeyDown(keyCode); }
function Orvane_MouseMove(button, shift, x, y) { if (onMouseMove) onMouseMove(); }

// Each case starts from the library loaded in the check view, with the first
// category open: rows الفقه, متن الغاية, الشرح, النحو.
function fresh() {
  onMouseDown = onClick = onKeyDown = onMouseMove = onDblClick = null;
  Orvane.ApplyCheck = true;
  Orvane.LoadBooks(topic);  // both categories, closed
  Host.Click(60, 8);         // select the first category
  Host.Key(0x6B);            // and open it with '+'
}

// The control still works: the library loads, navigation selects a row
// and the queries answer.
function stillWorks(what) {
  onMouseDown = onClick = onKeyDown = onMouseMove = onDblClick = null;
  Orvane.ApplyCheck = true;
  expect(Orvane.LoadBooks(topic), true, what + ": LoadBooks afterwards");
  expect(Orvane.GotoTocPosition(1, 10), true, what + ": GotoTocPosition afterwards");
  expect(Orvane.ActiveBook, 1, what + ": ActiveBook afterwards");
  expect(Host.Selection >= 0, true, what + ": a row is selected afterwards");
  Host.Screenshot(fso.GetAbsolutePathName(".") + "\\reentrant.png");
}

// A press that reloads the library before the control has looked at the
// row under the mouse.
fresh();
expect(rowCount(), 4, "rows before the presses");
expect(Host.Rows().split("\n")[1].split("|")[5], "متن الغاية", "the first book's row");
onMouseDown = function () { Orvane.LoadBooks(topic); };
Host.Click(60, 8 + 16);
expect(rowCount() >= 2, true, "rows after a reload inside MouseDown");
stillWorks("reload inside MouseDown");

// A press that re-creates the window it arrived at.
fresh();
onMouseDown = function () { Orvane.ReadingOrder = 1 - Orvane.ReadingOrder; };
Host.Click(60, 8);
expect(rowCount(), 0, "a re-created list is empty");
Host.Click(60, 8);
stillWorks("re-creation inside MouseDown");

// A click whose handler replaces the outline with a text outline and adds
// items at rows that do not exist.
fresh();
onClick = function () {
  Orvane.LoadFromTextFile(fso.GetAbsolutePathName(".") + "\\no such outline.txt");
  Orvane.AddChild(32767, "child of nothing");
  Orvane.AddSibling(-1, "sibling of nothing");
  Orvane.ChangeStateSelected();
};
Host.Click(60, 8 + 16);
Host.Click(60, 8 + 16 * 5);
stillWorks("outline changes inside Click");

// Keys whose handler reloads, so the row the key started from is gone.
fresh();
onKeyDown = function (keyCode) { Orvane.LoadBooks(topic); };
Host.Key(40);
Host.Key(38);
Host.Key(0x6B);
Host.Key(0x6D);
Host.Key(39);
Host.Key(37);
stillWorks("reload inside KeyDown");

// A key whose handler mirrors the control and turns the check view off.
fresh();
onKeyDown = function (keyCode) {
  Orvane.Alignment = Orvane.Alignment == 2 ? 0 : 2;
  Orvane.ApplyCheck = !Orvane.ApplyCheck;
};
Host.Key(40);
Host.Key(40);
stillWorks("alignment and view changes inside KeyDown");

// A double click that deactivates and hides the book it landed on.
fresh();
onDblClick = function () {
  Orvane.DeactivateBook(1);
  Orvane.SetStateBook(1, false);
  Orvane.ApplyCheck = false;
};
Host.DoubleClick(60, 8 + 16);
expect(Orvane.GetStateBook(1), 1, "the book was unchecked inside DblClick");
Orvane.ActivateBook(1);
stillWorks("deactivation inside DblClick");

// Hovering: the handler reloads while the balloon's timer runs for a row
// that no longer exists; the timer fires later on the new rows.
fresh();
Orvane.ElapsedTime = 100;
onMouseMove = function () { Orvane.LoadBooks(topic); };
Host.MouseMove(60, 8 + 16 * 2);
Host.MouseMove(62, 8 + 16 * 2);
Host.Wait(400);
onMouseMove = null;
Host.MouseMove(300, 300);
Host.Wait(200);
stillWorks("reload while hovering");

if (failures > 0) throw new Error(failures + " check(s) failed");
