// The node events reach JScript handlers by name, once per change and for
// every cause (real keys and clicks, Node writes, host calls), in both
// layouts and both views; ActiveBook names the row a key moved to; a
// handler may read the outline from inside its event.
var failures = 0;
function expect(actual, expected, what) {
  Host.Echo("check: " + what + " is [" + expected + "]");
  if (actual !== expected) {
    failures++;
    Host.Echo("FAIL: " + what + ": expected [" + expected + "], got [" + actual + "]");
  }
}

var log = [];
function note(name, node) { log.push(name + " " + (node ? node.Title : "-")); }
function taken() { var t = log.join(", "); log = []; return t; }
function Orvane_NodeSelect(node) {
  note("select", node);
  // Read back from inside the event: the rows already show the change.
  if (!node.Selected || !node.Visible) log.push("not yet shown");
}
function Orvane_NodeExpand(node) { note("expand", node); }
function Orvane_NodeCollapse(node) { note("collapse", node); }
function Orvane_NodeCheck(node) { note("check", node); }
function Orvane_ContextMenu(node, x, y) { note("menu", node); }

var fso = new ActiveXObject("Scripting.FileSystemObject");
var topic = fso.GetAbsolutePathName(".") + "\\TESTCON";
var VK_DOWN = 0x28, VK_UP = 0x26, VK_APPS = 0x5D, VK_ADD = 0x6B, VK_SUBTRACT = 0x6D;

var layouts = [2, 0], views = [true, false];
for (var l = 0; l < layouts.length; ++l) {
  for (var v = 0; v < views.length; ++v) {
    var where = " (Alignment " + layouts[l] + ", ApplyCheck " + views[v] + ")";
    Orvane.Alignment = layouts[l];
    Orvane.ApplyCheck = views[v];
    expect(Orvane.LoadBooks(topic), true, "LoadBooks" + where);
    expect(taken(), "", "a load fires nothing" + where);

    // A click in the middle of the first row makes it current.
    Host.Click(120, 8);
    expect(taken(), "select الفقه", "a click on the first row" + where);
    Host.Key(VK_ADD);
    expect(taken(), "expand الفقه", "'+' on the category" + where);
    Host.Key(VK_DOWN);
    expect(taken(), "select متن الغاية", "Down" + where);
    expect(Orvane.ActiveBook, 1, "ActiveBook right after Down" + where);
    Host.Key(VK_DOWN);
    expect(Orvane.ActiveBook, 2, "ActiveBook after the second Down" + where);
    Host.Key(VK_UP);
    expect(taken(), "select الشرح, select متن الغاية", "Down then Up" + where);
    Host.Key(VK_APPS);
    expect(taken(), "menu متن الغاية", "the menu key" + where);

    // Host calls and Node writes tell the same events.
    var book = Orvane.GetBookNode(3);
    book.Expanded = true;
    expect(taken(), "expand النحو, expand الآجرومية", "Expanded opens the way" + where);
    book.Expanded = false;
    expect(taken(), "collapse الآجرومية", "Expanded = false" + where);
    book.Select();
    expect(taken(), "select الآجرومية", "Select" + where);
    expect(Orvane.SelectedNode == book, true, "SelectedNode is the same object" + where);
    Orvane.SetStateBook(2, false);
    expect(taken(), "check الشرح, check الفقه", "SetStateBook" + where);
    Orvane.GetCategoryNode(1).State = 0;
    expect(taken(), "check الفقه", "a category's State" + where);
    Host.Key(VK_SUBTRACT);
    expect(taken(), "", "'-' on a closed book" + where);
  }
}

// JScript walks a collection with an Enumerator.
var titles = [];
for (var e = new Enumerator(Orvane.RootNodes); !e.atEnd(); e.moveNext()) titles.push(e.item().Title);
expect(titles.join("|"), "الفقه|النحو", "Enumerator over RootNodes");

if (failures === 0) Host.Echo("node_events: all checks passed");
