// size 300x400
// Clicks on the rows through real mouse input, in the tvLeft layout (columns
// of 18 pixels from the left): the button of a deactivated book, the
// check-box column below the last row, and a double-click on a button.
var failures = 0;
function expect(actual, expected, what) {
  Host.Echo("check: " + what + " is [" + expected + "]");
  if (actual !== expected) {
    failures++;
    Host.Echo("FAIL: " + what + ": expected [" + expected + "], got [" + actual + "]");
  }
}

var log = [];
function Orvane_MouseDown(button, shift, x, y) { log.push("MouseDown"); }
function Orvane_Click() { log.push("Click"); }
function Orvane_DblClick() { log.push("DblClick"); }
function taken() { var text = log.join(", "); log = []; return text; }
function rowCount() { return Host.Rows().split("\n").length; }

var fso = new ActiveXObject("Scripting.FileSystemObject");
Orvane.ApplyCheck = true;
expect(Orvane.LoadBooks(fso.GetAbsolutePathName(".") + "\\INTERACT"), true, "LoadBooks");
Orvane.Alignment = 0;

Host.Click(9, 8);
expect(rowCount(), 4, "rows after a click on the first category's button");
expect(taken(), "MouseDown, Click", "events of the click");

// Book 1 deactivated: its button and check box select the row only.
Orvane.DeactivateBook(1);
Host.Click(27, 24);
expect(Host.Selection, 1, "Selection after a click on the deactivated book's button");
expect(rowCount(), 4, "rows after that click: the book stays closed");
Host.Click(63, 24);
expect(Orvane.GetStateBook(1), 0, "the deactivated book's state after a click on its check box");
expect(Orvane.ActiveBook, 1, "ActiveBook: the deactivated book is current");
Host.Key(0x6B);
expect(rowCount(), 6, "rows after '+': the keys still open it");
Host.Key(0x6D);
Orvane.ActivateBook(1);

// Below the last row the check-box column of the selected row's level
// still changes its book; the button column does nothing there.
Host.Click(150, 40);
expect(Host.Selection, 2, "the second book selected");
Host.Click(63, 300);
expect(Orvane.GetStateBook(2), 1, "the second book's state after a click below the rows");
expect(Host.Selection, 2, "the selection after a click below the rows");
Host.Click(27, 300);
expect(rowCount(), 4, "rows after a click below the rows in the button column");
Host.Click(63, 300);
expect(Orvane.GetStateBook(2), 0, "the second book checked again");

// A double-click on a button opens the node once.
taken();
Host.DoubleClick(9, 56);
expect(rowCount(), 6, "rows after a double-click on the second category's button");
expect(taken(), "MouseDown, Click, DblClick, Click", "events of the double-click");

// With ApplyCheck off the check-box column changes nothing.
Orvane.ApplyCheck = false;
var rows = Host.Rows();
Host.Click(150, 24);
Host.Click(63, 24);
expect(Host.Rows(), rows, "rows after a check-box click with ApplyCheck off");

if (failures > 0) throw new Error(failures + " check(s) failed");
