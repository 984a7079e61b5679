// JScript handlers named Orvane_<event> receive the control's events as
// VBScript subs do.
var failures = 0;

function expect(actual, expected, what) {
  Host.Echo("check: " + what + " is [" + expected + "]");
  if (actual !== expected) {
    failures++;
    Host.Echo("FAIL: " + what + ": expected [" + expected + "], got [" + actual + "]");
  }
}

var log = [];
function Orvane_MouseDown(button, shift, x, y) { log.push("MouseDown " + [button, shift, x, y].join(" ")); }
function Orvane_Click() { log.push("Click"); }
function Orvane_KeyDown(keyCode, shift) { log.push("KeyDown " + keyCode + " " + shift); }
function Orvane_KeyUp(keyCode, shift) { log.push("KeyUp " + keyCode + " " + shift); }
function taken() { var text = log.join(", "); log = []; return text; }

var fso = new ActiveXObject("Scripting.FileSystemObject");
Orvane.LoadBooks(fso.GetAbsolutePathName(".") + "\\TESTCON");

Host.Click(60, 8);
expect(taken(), "MouseDown 1 0 60 8, Click", "events of a click on the first row");
expect(Host.Selection, 0, "Selection after the click");
Host.Key(40);
expect(taken(), "KeyDown 40 0, KeyUp 40 0", "events of Down");
expect(Host.Selection, 1, "Selection after Down");
Host.Key(36, false, true);
expect(taken(), "KeyDown 17 2, KeyDown 36 2, KeyUp 36 2, KeyUp 17 0", "events of Ctrl+Home");
expect(Host.Selection, 0, "Selection after Ctrl+Home");

// Char types with the keys of the keyboard layout: "a" is the A key alone,
// "A" the A key with Shift held.
Host.Char("aA");
var typed = taken().split(", "), downs = [];
for (var i = 0; i < typed.length; i++)
  if (typed[i].indexOf("KeyDown") == 0) downs.push(typed[i]);
expect(downs.join(", "), "KeyDown 65 0, KeyDown 16 1, KeyDown 65 1", "key downs of typing \"aA\"");

// Host.Wait runs the message loop for the time asked, not less.
var before = new Date().getTime();
Host.Wait(300);
expect(new Date().getTime() - before >= 290, true, "Wait(300) waited");

if (failures > 0) throw new Error(failures + " check(s) failed");
