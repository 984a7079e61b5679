// The Orvane control from the Windows script host, in JScript: created by
// its ProgID, a catalogue loaded, a position in a book looked up.
//   cscript //nologo list-books.js C:\Library\MAKTABA [BOOK POSITION]
// Use the cscript of the width you registered: C:\Windows\SysWOW64\cscript.exe
// for the x86 module, C:\Windows\System32\cscript.exe for x64.
var args = WScript.Arguments;
if (args.length < 1) {
  WScript.Echo("usage: list-books.js CATALOGUE [BOOK POSITION]");
  WScript.Quit(2);
}

var orvane = new ActiveXObject("ORVANE.OrvaneCtrl.1");
if (!orvane.LoadBooks(args(0))) {
  WScript.Echo("cannot load " + args(0));
  WScript.Quit(1);
}
WScript.Echo("loaded " + orvane.TopicName);

if (args.length >= 3) {
  var book = parseInt(args(1), 10), position = parseInt(args(2), 10);
  WScript.Echo("section at " + position + ": " + orvane.GetSectionTitle(book, position));
  WScript.Echo("its parent starts at " + orvane.GetParentPos(book, position));
}

// Colours read as signed 32-bit numbers; >>> 0 gives the unsigned value.
var back = orvane.BackColor;
WScript.Echo("BackColor is a " + typeof back + ", unsigned 0x" + (back >>> 0).toString(16));
orvane.BackColor = 0xF0FAFF;
WScript.Echo("BackColor now 0x" + orvane.BackColor.toString(16));
WScript.Quit(0);
