// Host.Recreate: the control is deactivated, destroyed and made anew from
// the last saved properties; the script's Orvane and its event handlers
// follow the new control.
var failures = 0;

function expect(actual, expected, what) {
  Host.Echo("check: " + what + " is [" + expected + "]");
  if (actual !== expected) {
    failures++;
    Host.Echo("FAIL: " + what + ": expected [" + expected + "], got [" + actual + "]");
  }
}

var mouseDowns = 0;
function Orvane_MouseDown(button, shift, x, y) { mouseDowns++; }

var fso = new ActiveXObject("Scripting.FileSystemObject");
var work = fso.GetAbsolutePathName(".");

Orvane.LoadBooks(work + "\\TESTCON");
Orvane.Indent = 27;
Orvane.ReadingOrder = 0;
Orvane.Alignment = 0;
Orvane.ElapsedTime = 321;
Host.SaveProperties(work + "\\recreate.props");
Orvane.Indent = 40;  // after the save: the new control does not see it

Host.Recreate();
expect(Orvane.Indent, 27, "Indent of the new control (the saved value)");
expect(Orvane.ReadingOrder, 0, "ReadingOrder kept");
expect(Orvane.Alignment, 0, "Alignment kept");
expect(Orvane.ElapsedTime, 321, "ElapsedTime kept");
expect(Orvane.TopicName, "", "TopicName is not persisted");
expect(Host.Rows(), "", "the new control shows no rows");
expect(Host.Selection, -1, "Selection of the new control");

// The new control works and its events reach this script.
expect(Orvane.LoadBooks(work + "\\TESTCON"), true, "LoadBooks on the new control");
expect(Host.Rows().split("\n").length, 2, "rows of the new control after LoadBooks");
Host.Click(100, 8);
expect(mouseDowns, 1, "MouseDown events from the new control");
expect(Host.Selection, 0, "the click selected the first row of the new control");

// A second re-creation starts from the same saved properties.
Orvane.Indent = 12;
Host.Recreate();
expect(Orvane.Indent, 27, "Indent after a second Recreate");

// Properties loaded from a file are the last saved ones too.
Orvane.Indent = 19;
Host.SaveProperties(work + "\\recreate-19.props");
Orvane.Indent = 7;
Host.LoadProperties(work + "\\recreate.props");
Host.Recreate();
expect(Orvane.Indent, 27, "Indent after LoadProperties and Recreate");

if (failures > 0) throw new Error(failures + " check(s) failed");
