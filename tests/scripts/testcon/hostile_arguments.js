// Arguments a script gets wrong: Host refuses them with an error that says
// what was wrong, and the control answers out-of-range requests with its
// failure values; neither the container nor the control goes down.
var failures = 0;

function expect(actual, expected, what) {
  Host.Echo("check: " + what + " is [" + expected + "]");
  if (actual !== expected) {
    failures++;
    Host.Echo("FAIL: " + what + ": expected [" + expected + "], got [" + actual + "]");
  }
}

// Runs `call` and returns the description of the error it raised, or
// "no error".
function errorOf(call) {
  try {
    call();
  } catch (e) {
    return e.description;
  }
  return "no error";
}

function expectRefused(call, fragment, what) {
  var description = errorOf(call);
  Host.Echo("check: " + what + " is refused with [" + fragment + "]");
  if (description.indexOf(fragment) < 0) {
    failures++;
    Host.Echo("FAIL: " + what + ": error [" + description + "]");
  }
}

var work = new ActiveXObject("Scripting.FileSystemObject").GetAbsolutePathName(".");

expectRefused(function () { Host.Wait(-1); }, "Host.Wait: ms must be from 0 to 600000", "Wait(-1)");
expectRefused(function () { Host.Wait("soon"); }, "Host.Wait: ms must be a whole number", "Wait(\"soon\")");
expectRefused(function () { Host.Key(0); }, "Host.Key: vk must be a virtual-key code", "Key(0)");
expectRefused(function () { Host.Key(300); }, "Host.Key: vk must be a virtual-key code", "Key(300)");
expectRefused(function () { Host.Key(40, "maybe"); }, "Host.Key: shift must be True or False", "Key(40, \"maybe\")");
expectRefused(function () { Host.Click("left", 3); }, "Host.Click: x must be a whole number", "Click(\"left\", 3)");
expectRefused(function () { Host.MouseMove(3, null); }, "Host.MouseMove: y must be a whole number", "MouseMove(3, null)");
expectRefused(function () { Host.Screenshot(""); }, "Host.Screenshot: path is empty", "Screenshot(\"\")");
expectRefused(function () { Host.SaveProperties(work + "\\no such folder\\x.props"); },
              "could not be written", "SaveProperties into a missing folder");
expectRefused(function () { Host.LoadProperties(work + "\\missing.props"); },
              "could not be read", "LoadProperties of a missing file");
expect(errorOf(function () { Host.Echo(); }) !== "no error", true, "Echo without its argument is refused");
expect(errorOf(function () { Host.Click(1, 2, 3); }) !== "no error", true, "Click with three arguments is refused");
expect(errorOf(function () { Host.NoSuchMember(); }) !== "no error", true, "an unknown Host member is refused");

// The container goes on: a click after all the refusals still reaches the control.
Orvane.LoadBooks(work + "\\TESTCON");
Host.Click(100, 24);
expect(Host.Selection, 1, "Selection after the refusals and a click");

// Out-of-range requests to the control give its failure values.
expect(Orvane.GetSectionTitle(9, 10), "", "GetSectionTitle of a book past the last");
expect(Orvane.GetSectionTitle(-1, 10), "", "GetSectionTitle of book -1");
expect(Orvane.GetSectionTitle(1, 100000), "", "GetSectionTitle past the end of the file");
expect(Orvane.GetSectionTitle(1, -5), "", "GetSectionTitle at a negative position");
expect(Orvane.GetParentPos(1, 100000), -1, "GetParentPos past the end of the file");
expect(Orvane.GetParentPos(0, 43), -1, "GetParentPos of book 0");
expect(Orvane.GotoTocPosition(1, 100000), false, "GotoTocPosition past the end of the file");
expect(Orvane.GetStateBook(99), 0, "GetStateBook of a book that does not exist (0, as for a checked one)");
expect(Host.Rows().split("\n").length, 2, "the rows after the hostile calls");

if (failures > 0) throw new Error(failures + " check(s) failed");
