// Walking every book's top sections of the benchmark library (5,000 books
// of 20 top sections) with For Each over Node objects, beside its peer in
// the same run: as many GetSectionTitle calls for the same sections. Every
// book is read and every position found before either is timed, so both
// take the titles from memory. Each figure is the fastest and the median of
// several runs; asserts nothing (the goal is a walk at most twice the peer).
var dir = Host.ScriptDir + "\\..\\..\\build\\bench-library";
var fso = new ActiveXObject("Scripting.FileSystemObject");
dir = fso.GetAbsolutePathName(dir);
var runs = 5;

function time(work) {
  var all = [];
  for (var i = 0; i < runs; ++i) {
    var t0 = new Date().getTime();
    work();
    all.push(new Date().getTime() - t0);
  }
  all.sort(function (a, b) { return a - b; });
  return all;
}

Orvane.LoadBooks(dir + "\\LIB");
// The positions of every book's top sections, read once through the Nodes.
var books = [], positions = [];
for (var c = new Enumerator(Orvane.RootNodes); !c.atEnd(); c.moveNext()) {
  for (var b = new Enumerator(c.item().Children); !b.atEnd(); b.moveNext()) {
    var book = b.item(), list = [];
    for (var s = new Enumerator(book.Children); !s.atEnd(); s.moveNext()) list.push(s.item().TocPos);
    books.push(book.BookNumber);
    positions.push(list);
  }
}
var sections = 0;
for (var i = 0; i < positions.length; ++i) sections += positions[i].length;

var titles = 0;
var peer = time(function () {
  titles = 0;
  for (var i = 0; i < books.length; ++i) {
    var list = positions[i], number = books[i];
    for (var j = 0; j < list.length; ++j) titles += Orvane.GetSectionTitle(number, list[j]).length;
  }
});
var walked = 0;
var walk = time(function () {
  walked = 0;
  for (var c = new Enumerator(Orvane.RootNodes); !c.atEnd(); c.moveNext()) {
    for (var b = new Enumerator(c.item().Children); !b.atEnd(); b.moveNext()) {
      for (var s = new Enumerator(b.item().Children); !s.atEnd(); s.moveNext())
        walked += s.item().Title.length;
    }
  }
});
Host.Echo("nodes: " + books.length + " books, " + sections + " top sections (" + titles + " and " +
          walked + " title characters)");
Host.Echo("peer: GetSectionTitle for each: " + peer[0] + " ms fastest, " + peer[(runs - 1) >> 1] +
          " ms median of " + runs);
Host.Echo("nodes: For Each over the Nodes, reading each Title: " + walk[0] + " ms fastest, " +
          walk[(runs - 1) >> 1] + " ms median (" + (walk[0] / peer[0]).toFixed(2) +
          " times the peer; goal at most 2)");
