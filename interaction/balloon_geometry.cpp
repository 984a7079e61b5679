#include "interaction/balloon_geometry.h"

#include <limits>

#include "core/orvane_core.h"
#include "interaction/balloon_window.h"
#include "interaction/interaction_host.h"
#include "model/outline_node.h"
#include "render/row_layout.h"
#include "render/row_painter.h"
#include "rows/row_list.h"

namespace orvane {
namespace {

// A deep level times a large Indent lies far outside any window; kept in a
// RECT's range, it still measures as no room at all.
LONG ClampToLong(int64_t v) {
  constexpr int64_t lo = std::numeric_limits<LONG>::min() / 2;
  constexpr int64_t hi = std::numeric_limits<LONG>::max() / 2;
  return static_cast<LONG>(v < lo ? lo : (v > hi ? hi : v));
}

// The title's width through the text library, with the balloon's two font
// descriptions over the stock Font; 0 when the library cannot measure.
int MeasureTitle(InteractionHost& host, const BalloonWindow& balloon, HDC dc,
                 const std::string& text, int lineHeight) {
  const BidiTextApi& library = host.TextLibrary();
  if (!library.Complete()) return 0;
  if (HFONT stock = host.StockFontHandle()) SelectObject(dc, stock);
  if (!library.aSelectDC(dc, &balloon.m_ansiLogFont, &balloon.m_fontaLogFont)) return 0;
  // Measured at the size the balloon's paint draws at in its client area.
  FitLineHeight(library, dc, lineHeight);
  const SIZE extent = library.aTextExtent(dc, text.data(), static_cast<int>(text.size()));
  library.aReleaseDC(dc);
  return extent.cx;
}

// The balloon's border: what its window adds to its client area on each axis.
SIZE BalloonFrame() {
  RECT frame{};
  if (!AdjustWindowRectEx(&frame, BalloonWindow::kStyle, FALSE, BalloonWindow::kExStyle)) {
    return SIZE{2, 2};
  }
  return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

}  // namespace

std::string BalloonTitle(const OutlineNode& node) {
  if (node.Title() == nullptr) return std::string();
  if (node.Level() >= 2) {
    return std::string(reinterpret_cast<const char*>(node.Title()), node.TitleLength());
  }
  return node.TitleText();
}

RECT BalloonRect(InteractionHost& host, const std::string& text) {
  RECT empty{};
  BalloonWindow* balloon = host.Balloon();
  if (balloon == nullptr || balloon->Handle() == nullptr) return empty;
  RECT rect = balloon->m_rowRect;
  const OutlineNode* node = host.Core().Rows().NodeOf(balloon->m_rowIndex);
  if (node == nullptr) return empty;

  HDC dc = GetDC(balloon->Handle());
  if (dc == nullptr) return empty;
  HFONT fonta = host.FontaHandle();
  HGDIOBJ oldFont = fonta ? SelectObject(dc, fonta) : nullptr;

  // The title starts past the row's tree lines, button, icon and check box,
  // and the gap the row leaves before it.
  const int64_t treePart = static_cast<int64_t>(LayoutIndent(host)) * node->Level() +
                           host.TreeCellWidth() + host.CheckCellWidth() +
                           LayoutTitleGap(host.Dpi());
  const bool right = IsRightLayout(host.Alignment());
  if (right) {
    rect.right = ClampToLong(rect.right - treePart);
  } else {
    rect.left = ClampToLong(rect.left + treePart - 1);
  }
  // Whether it fits is decided at the size the row draws it at; the balloon
  // is sized for the size its own client area draws it at.
  const int rowHeight = rect.bottom - rect.top;
  int width = MeasureTitle(host, *balloon, dc, text, rowHeight);

  DPtoLP(dc, reinterpret_cast<POINT*>(&rect), 2);
  const int available = rect.right - rect.left;
  const bool fits = width < available;
  const SIZE frame = BalloonFrame();
  if (!fits) {
    width = MeasureTitle(host, *balloon, dc, text, rowHeight - frame.cy);
    // The balloon is its border wider than its text, on the text's leading
    // side in the right layout, so that the border covers none of the text.
    // (Placing the left edge at the rows' width less the text's only came
    // to the same while the rows' margin was the border's 2 pixels; at 120
    // DPI and above the margin is wider.)
    if (right) {
      rect.left = rect.right - width - frame.cx;
    } else {
      rect.right = rect.left + width + frame.cx;
    }
    LPtoDP(dc, reinterpret_cast<POINT*>(&rect), 2);
  }
  if (oldFont != nullptr) SelectObject(dc, oldFont);
  ReleaseDC(balloon->Handle(), dc);
  if (fits) return empty;

  POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
  ClientToScreen(balloon->m_owner, &corners[0]);
  ClientToScreen(balloon->m_owner, &corners[1]);
  rect = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};

  // A balloon the pointer has already left would only take the capture.
  POINT cursor{};
  if (!GetCursorPos(&cursor) || !PtInRect(&rect, cursor)) SetRectEmpty(&rect);

  if (host.Core().Checks().ApplyCheck()) {
    const int shift = host.CheckCellWidth();
    if (host.Alignment() == tvLeft) {
      OffsetRect(&rect, shift, 0);
    } else if (host.Alignment() == tvRight) {
      OffsetRect(&rect, -shift, 0);
    }
  }
  return rect;
}

}  // namespace orvane
