// Arabic titles as a user sees them on the screen, at the default Fonta:
// twelve rows of one title with marks below the line look the same row by
// row and leave no ink outside their rows, and a selected title lies inside
// its highlight at Indent 10 and 30, levels 1 and 2, in both layouts.
var failures = 0;

function expect(actual, expected, what) {
  Host.Echo("check: " + what + " is [" + expected + "]");
  if (actual !== expected) {
    failures++;
    Host.Echo("FAIL: " + what + ": expected [" + expected + "], got [" + actual + "]");
  }
}

var fso = new ActiveXObject("Scripting.FileSystemObject");
var work = fso.GetAbsolutePathName(".");

// Dots below ي and ب, a kasra under ج, a sukun, Latin descenders.
var title = "\u0641\u064a \u0628\u064a\u0627\u0646 \u062c\u0650\u0646\u0652\u0633 gjpqy";
var back = 0xE6F0FA;  // tinted, so that white ink outside a highlight shows
var white = 0xFFFFFF;
var row = 16;
var width = 280;      // inside the client area of the default 300-pixel control

Orvane.BackColor = back;
for (var i = 0; i < 12; ++i) Orvane.AddSibling(-1, title);
Host.Wait(200);
expect(Host.Rows().split("\n").length, 12, "rows of the one title");

// Row 0 holds the focus, which highlights its title; the others are plain.
var same = 0;
for (var i = 1; i < 11; ++i) {
  if (Host.SameArea(0, i * row, width, (i + 1) * row, 0, (11 - i) * row)) ++same;
}
expect(same, 10, "rows drawing the same pixels as the last row");
expect(Host.CountColour(0, 12 * row, width, 13 * row, back), width * row,
       "back-colour pixels below the last row (no ink hangs out of it)");
var lowest = Host.CountColour(0, 11 * row + 11, width - 40, 12 * row, back);
expect(lowest < (width - 40) * 5, true, "ink in the lowest pixel rows of the last row (marks below)");
Host.Screenshot(work + "\\title_marks_rows.png");

// An outline of three levels, the selected row highlighted, for each
// layout, Indent and level. Each case starts from a new control so that no
// earlier layout is left on the rows.
function selectedTitleCase(alignment, indent, level) {
  Orvane.Alignment = alignment;
  Orvane.Indent = indent;
  Orvane.BackColor = back;
  Host.SaveProperties(work + "\\title_marks.props");
  Host.Recreate();
  Orvane.AddSibling(-1, title);
  Orvane.AddChild(0, title);
  Host.Key(0x24);   // Home
  Host.Key(0x6B);   // '+' opens the root
  Orvane.AddChild(1, title);
  Host.Key(0x28);   // Down, to the child
  Host.Key(0x6B);   // '+' opens it
  Host.Key(0x24);
  for (var k = 0; k < level; ++k) Host.Key(0x28);
  Host.Wait(100);
  var what = (alignment == 2 ? "right" : "left") + " layout, Indent " + indent + ", level " + level;
  expect(Host.Selection, level, what + ": selected row");

  var top = level * row, bottom = top + row;
  // Where the title's rectangle meets the gap before the glyphs.
  // The default control is 300 pixels wide; its border and sunken edge take
  // 3 on each side.
  var clientRight = 294;
  var edge = alignment == 2 ? clientRight - (level + 1) * indent - 16 - 2 : level * indent + 17 + 16 + 2;
  // The highlight's colour: its pixel beside the glyph-side edge, top row.
  var probe = alignment == 2 ? edge - 1 : edge;
  var highlight = Host.Colour(probe, top);
  if (highlight == back || highlight == white) highlight = Host.Colour(probe, bottom - 1);
  expect(highlight != back && highlight != white, true, what + ": a highlight at the title's edge");

  // Its far edge, column by column, then: nothing but back colour beyond it.
  var far = probe;
  var step = alignment == 2 ? -1 : 1;
  while (far + step >= 0 && far + step < clientRight &&
         Host.CountColour(far + step, top, far + step + 1, bottom, highlight) > 0) far += step;
  var left = alignment == 2 ? far : probe, right = alignment == 2 ? probe + 1 : far + 1;
  expect(right - left > 60, true, what + ": highlight wider than 60 pixels");
  expect(Host.CountColour(left, top, right, bottom, white) > 20, true, what + ": white ink in the highlight");
  var beyond = alignment == 2 ? [0, left] : [right, clientRight];
  expect(Host.CountColour(beyond[0], top, beyond[1], bottom, back), (beyond[1] - beyond[0]) * row,
         what + ": only back colour beyond the highlight");
  Host.Screenshot(work + "\\title_marks_" + (alignment == 2 ? "right" : "left") + "_" + indent + "_" +
                  level + ".png");
}

var alignments = [2, 0], indents = [10, 30], levels = [1, 2];
for (var a = 0; a < 2; ++a)
  for (var n = 0; n < 2; ++n)
    for (var l = 0; l < 2; ++l) selectedTitleCase(alignments[a], indents[n], levels[l]);

Host.Echo(failures == 0 ? "title_marks: all checks passed" : "title_marks: " + failures + " failed");
