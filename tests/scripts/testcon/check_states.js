// Book check states through SetStateBook and GetStateBook, their categories'
// summaries in the rows, and the checked-only view when ApplyCheck is off.
var failures = 0;

function expect(actual, expected, what) {
  Host.Echo("check: " + what + " is [" + expected + "]");
  if (actual !== expected) {
    failures++;
    Host.Echo("FAIL: " + what + ": expected [" + expected + "], got [" + actual + "]");
  }
}

// The check state column of every row, as "title:state" joined by blanks.
function states() {
  var rows = Host.Rows().split("\n"), shown = [];
  for (var i = 0; i < rows.length; i++) {
    var f = rows[i].split("|");
    if (f.length == 6) shown.push(f[5] + ":" + f[4]);
  }
  return shown.join(" ");
}

var fso = new ActiveXObject("Scripting.FileSystemObject");
Orvane.ApplyCheck = true;
Orvane.LoadBooks(fso.GetAbsolutePathName(".") + "\\TESTCON");
Orvane.GotoTocPosition(2, 43);
Orvane.GotoTocPosition(3, 10);

expect(Orvane.GetStateBook(1), 0, "book 1 starts checked");
expect(Orvane.GetStateBook(3), 0, "book 3 starts checked");
expect(states(), "الفقه:0 متن الغاية:0 الشرح:0 مقدمة الشارح:0 باب الطهارة:0 النحو:0 الآجرومية:0 باب الكلام:0 باب الإعراب:0",
       "every row checked after loading");

expect(Orvane.SetStateBook(2, false), true, "SetStateBook(2, False)");
expect(Orvane.GetStateBook(2), 1, "book 2 after unchecking");
expect(Orvane.GetStateBook(1), 0, "book 1 is not touched");
expect(states(), "الفقه:2 متن الغاية:0 الشرح:1 مقدمة الشارح:1 باب الطهارة:1 النحو:0 الآجرومية:0 باب الكلام:0 باب الإعراب:0",
       "category 1 partly checked, book 2's sections report its state");

expect(Orvane.SetStateBook(1, false), true, "SetStateBook(1, False)");
expect(states().split(" ")[0], "الفقه:1", "category 1 unchecked when both its books are");
expect(Orvane.SetStateBook(1, true), true, "SetStateBook(1, True)");
expect(Orvane.SetStateBook(2, true), true, "SetStateBook(2, True)");
expect(states().split(" ")[0], "الفقه:0", "category 1 checked again");

// Books that do not exist are refused and change nothing.
var before = states();
expect(Orvane.SetStateBook(0, false), false, "SetStateBook of book 0");
expect(Orvane.SetStateBook(4, false), false, "SetStateBook past the last book");
expect(states(), before, "the rows after the refused calls");

// With ApplyCheck off only checked books are listed.
Orvane.SetStateBook(2, false);
Orvane.ApplyCheck = false;
var titles = Host.Rows().replace(/^\d+\|\d+\|\d\|\d\|\d\|/gm, "").split("\n").join(" ");
expect(titles.indexOf("الشرح"), -1, "the unchecked book is hidden when ApplyCheck is off");
expect(titles.indexOf("متن الغاية") >= 0, true, "the checked book is still listed");

if (failures > 0) throw new Error(failures + " check(s) failed");
