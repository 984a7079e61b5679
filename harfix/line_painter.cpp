#include "harfix/line_painter.h"

#include <algorithm>
#include <vector>

#include "harfix/harfix.h"

namespace harfix {
namespace {

// Host rectangles may hold any values; positions are worked out in 64 bits
// and brought back into the range GDI takes.
int ToCoordinate(long long value) {
  constexpr long long kLimit = 1LL << 27;  // GDI's own coordinate space
  return static_cast<int>(value < -kLimit ? -kLimit : value > kLimit ? kLimit : value);
}

// Where the line's cover starts on x for the horizontal flags. The centre
// wins over the right edge, as with DrawText's flags of the same values.
long long CoverLeftEdge(const RECT& rect, int width, int flags) {
  const long long left = rect.left, right = rect.right;
  if (flags & HARFIX_ALIGN_CENTER) return left + (right - left - width) / 2;
  if (flags & HARFIX_ALIGN_RIGHT) return right - width;
  return left;
}

// The baseline for the vertical flags. The line box is the selection's
// (tallest ascent plus deepest descent of both fonts), not the ink of this
// text, so every title in a list sits on the same baseline.
// A line whose ink reaches past the line box (stacked marks) is moved just
// enough to keep its ink inside the rectangle, when the rectangle can hold it.
long long Baseline(const FontSelection& selection, const LaidOutLine& line, const RECT& rect,
                   int flags) {
  const long long top = rect.top, bottom = rect.bottom;
  const long long boxHeight = selection.Ascent() + selection.Descent();
  long long baseline = top + selection.Ascent();
  if (flags & HARFIX_VCENTER) {
    baseline = top + (bottom - top - boxHeight) / 2 + selection.Ascent();
  } else if (flags & HARFIX_BOTTOM) {
    baseline = bottom - selection.Descent();
  }
  if (line.InkHeight() > 0 && line.InkHeight() <= bottom - top) {
    baseline = std::max(baseline, top + line.inkAbove);
    baseline = std::min(baseline, bottom - line.inkBelow);
  }
  return baseline;
}

// Draws the glyphs of one run at a time in groups sharing a height, each
// group in one call: the x distances between glyphs carry the horizontal
// offsets, and a mark raised above its base gets its own group.
void PaintRun(HDC dc, const GlyphRun& run, int penLeft, int baseline) {
  const std::size_t count = run.glyphs.size();
  std::vector<INT> distances(count);
  std::size_t start = 0;
  while (start < count) {
    std::size_t end = start + 1;
    while (end < count && run.raise[end] == run.raise[start]) ++end;
    for (std::size_t i = start; i < end; ++i) {
      distances[i] = i + 1 < end ? run.originX[i + 1] - run.originX[i] : 0;
    }
    ExtTextOutW(dc, penLeft + run.originX[start], baseline - run.raise[start], ETO_GLYPH_INDEX,
                nullptr, reinterpret_cast<LPCWSTR>(run.glyphs.data() + start),
                static_cast<UINT>(end - start), distances.data() + start);
    start = end;
  }
}

}  // namespace

void PaintLine(FontSelection& selection, const LaidOutLine& line, const RECT& rect, int flags) {
  HDC dc = selection.dc();
  const int coverLeft = ToCoordinate(CoverLeftEdge(rect, line.Width(), flags));
  const int penLeft = coverLeft - line.coverLeft;
  const int baseline = ToCoordinate(Baseline(selection, line, rect, flags));

  // Glyph groups overlap (marks over their bases), so an opaque background
  // painted group by group would erase ink already drawn: paint it once
  // under the whole line instead, then draw every group transparently.
  const int previousMode = GetBkMode(dc);
  if (previousMode == OPAQUE) {
    const RECT box = {coverLeft, baseline - selection.Ascent(), coverLeft + line.Width(),
                      baseline + selection.Descent()};
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &box, L"", 0, nullptr);
  }
  SetBkMode(dc, TRANSPARENT);
  // Positions are computed for the baseline at the left origin; whatever
  // alignment the caller left in the device context would shift them.
  const UINT previousAlign = GetTextAlign(dc);
  SetTextAlign(dc, TA_LEFT | TA_BASELINE | TA_NOUPDATECP);

  for (const GlyphRun& run : line.runs) {
    if (selection.Use(run.role)) PaintRun(dc, run, penLeft, baseline);
  }

  selection.Use(FontRole::Arabic);
  if (previousAlign != GDI_ERROR) SetTextAlign(dc, previousAlign);
  if (previousMode != 0) SetBkMode(dc, previousMode);
}

}  // namespace harfix
