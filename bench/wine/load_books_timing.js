// Times LoadBooks of the benchmark library (5,000 books, 1,000,000 sections)
// in the real control under Wine, and rebuilding 31,002 rows. Prints
// milliseconds; asserts nothing.
var dir = Host.ScriptDir + "\\..\\..\\build\\bench-library";
var fso = new ActiveXObject("Scripting.FileSystemObject");
dir = fso.GetAbsolutePathName(dir);

function time(label, work) {
  var t0 = new Date().getTime();
  var result = work();
  var t1 = new Date().getTime();
  Host.Echo(label + ": " + (t1 - t0) + " ms" + (result !== undefined ? " (" + result + ")" : ""));
}

for (var i = 0; i < 3; ++i) {
  time("LoadBooks 5,000 books, 1,000,000 sections", function () {
    Orvane.LoadBooks(dir + "\\LIB");
    return Host.Rows().split("\n").length + " rows";
  });
}

// One category of 30,000 books above one of 1,000 (no TOC files needed).
var ini = fso.CreateTextFile(dir + "\\BIG.INI", true);
ini.WriteLine("[Directories]");
ini.WriteLine("TOC=" + dir + "\\none");
ini.WriteLine("[Books]");
ini.WriteLine("Count=31000");
ini.WriteLine("[Categories]");
ini.WriteLine("Count=2");
ini.WriteLine("Name1=Big");
ini.WriteLine("Name2=Small");
ini.WriteLine("[Category1]");
ini.WriteLine("Count=30000");
ini.WriteLine("[Category2]");
ini.WriteLine("Count=1000");
ini.Close();
Orvane.ApplyCheck = true;
time("LoadBooks 31,000 books without TOC files", function () { Orvane.LoadBooks(dir + "\\BIG"); });
function rows() { return Host.Rows().split("\n").length + " rows"; }
for (var k = 0; k < 2; ++k) {
  // Each write rebuilds every row: both categories open, 31,002 rows.
  time("ApplyCheck = true (rebuild all rows)", function () { Orvane.ApplyCheck = true; return rows(); });
  time("ApplyCheck = false (rebuild checked rows)", function () { Orvane.ApplyCheck = false; return rows(); });
}
