// The control on a form being designed: testcon --design answers the
// ambient UserMode with false. The rows are drawn, and the host's own calls
// work, but clicks and keys open nothing, check nothing and raise no event,
// and no balloon comes up over a title that does not fit.
// Run by tests/scripts/run-testcon.sh as: testcon.exe --design design_mode.js
var failures = 0;

function expect(actual, expected, what) {
  Host.Echo("check: " + what + " is [" + expected + "]");
  if (actual !== expected) {
    failures++;
    Host.Echo("FAIL: " + what + ": expected [" + expected + "], got [" + actual + "]");
  }
}

var log = [];
function Orvane_Click() { log.push("Click"); }
function Orvane_MouseDown(b, s, x, y) { log.push("MouseDown"); }
function Orvane_MouseMove(b, s, x, y) { log.push("MouseMove"); }
function Orvane_KeyDown(keyCode, shift) { log.push("KeyDown " + keyCode); }
function Orvane_KeyPress(keyAscii) { log.push("KeyPress " + keyAscii); }
function taken() { var text = log.join(", "); log = []; return text; }

function outline() {
  var rows = Host.Rows().split("\n"), shown = [];
  for (var i = 0; i < rows.length; i++) {
    var f = rows[i].split("|");
    if (f.length == 6) shown.push(f[5] + ":" + f[2] + ":" + f[4]);
  }
  return shown.join(" ");
}

var fso = new ActiveXObject("Scripting.FileSystemObject");
Orvane.ApplyCheck = true;
expect(Orvane.LoadBooks(fso.GetAbsolutePathName(".") + "\\TESTCON"), true, "LoadBooks");
var closed = "الفقه:0:0 النحو:0:0";
expect(outline(), closed, "the outline after loading");

// The rows are painted: the first row holds more than the back colour.
// The far left of a right-aligned row is its background.
var area = 298 * 16;
expect(Host.CountColour(0, 0, 298, 16, Host.Colour(1, 8)) < area, true, "the first row is drawn");

var right = 298;
var VK_LEFT = 0x25, VK_ADD = 0x6B, VK_SPACE = 0x20;
Host.Click(right - 9, 8);
expect(outline(), closed, "a click on the first category's button opens nothing");
Host.Click(right - 45, 8);
expect(outline(), closed, "a click on the check box checks nothing");
Host.DoubleClick(100, 8);
expect(outline(), closed, "a double click opens nothing");
Host.Key(VK_LEFT);
Host.Key(VK_ADD);
Host.Char("+");
expect(outline(), closed, "keys open nothing");
Host.MouseMove(100, 24);
Host.Wait(Orvane.ElapsedTime + 300);
expect(taken(), "", "the events the form's code got");

// What the host asks is still done: design tools set up the control's
// state this way.
expect(Orvane.GotoTocPosition(1, 143), true, "GotoTocPosition");
expect(outline().indexOf("الفقه:1") == 0, true, "the host opened the first category");

if (failures == 0) Host.Echo("design mode: all checks passed");
else Host.Echo("FAIL: design mode: " + failures + " failure(s)");
