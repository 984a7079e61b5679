// Measuring and drawing titles while the Nth allocation of the call fails,
// for every N: nothing leaves the call, and afterwards the library measures
// every title as it did before, also once enough new lines have been kept
// to push the oldest out.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "harfix/harfix.h"
#include "harfix/line_cache.h"
#include "tests/native/allocation_faults.h"

namespace orvane::test {
namespace {

// "أصول الفقه" and a mixed title, in Windows-1256.
const std::string kArabic = "\xc3\xd5\xe6\xe1 \xc7\xe1\xdd\xde\xe5";
const std::string kMixed = "\xdd\xed \xc8\xed\xc7\xe4 Latin 12";

class Canvas {
 public:
  Canvas() : m_dc(CreateCompatibleDC(nullptr)), m_bitmap(CreateCompatibleBitmap(m_dc, 400, 40)) {
    m_old = SelectObject(m_dc, m_bitmap);
    LOGFONTA font{};
    font.lfHeight = -15;
    lstrcpyA(font.lfFaceName, "DejaVu Sans");
    m_font = font;
  }
  ~Canvas() {
    SelectObject(m_dc, m_old);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // One row's calls, as the control makes them.
  SIZE Row(const std::string& text) {
    if (!aSelectDC(m_dc, &m_font, &m_font)) return SIZE{-1, -1};
    const RECT rect{0, 0, 400, 16};
    const SIZE size = aTextExtent(m_dc, text.data(), static_cast<int>(text.size()));
    aDrawText(m_dc, text.data(), static_cast<int>(text.size()), &rect, 0);
    aReleaseDC(m_dc);
    return size;
  }

 private:
  HDC m_dc;
  HBITMAP m_bitmap;
  HGDIOBJ m_old;
  LOGFONTA m_font;
};

TEST(HarfixFaults, EveryFailedAllocationOfALayoutLeavesTheKeptLinesWhole) {
  const std::vector<std::string> titles{kArabic, kMixed};
  for (int order : {HARFIX_ORDER_RTL, HARFIX_ORDER_LTR}) {
    aSetReadingOrder(order);
    std::vector<SIZE> expected;
    {
      Canvas canvas;
      for (const std::string& title : titles) expected.push_back(canvas.Row(title));
    }
    for (int64_t nth = 1;; ++nth) {
      Canvas canvas;
      bool struck = false;
      bool escaped = false;
      {
        AllocationFaultScope fault(nth);
        try {
          // A title not kept yet, so that it is laid out and kept now.
          canvas.Row(kArabic + std::to_string(nth));
        } catch (...) {
          escaped = true;
        }
        struck = AllocationFaultHappened();
      }
      ASSERT_FALSE(escaped) << "allocation " << nth;
      // A line half-kept (listed but not indexed or counted) would later be
      // dropped with the wrong count.
      ASSERT_TRUE(harfix::KeptLinesAgree()) << "allocation " << nth;
      for (size_t t = 0; t < titles.size(); ++t) {
        const SIZE size = canvas.Row(titles[t]);
        EXPECT_EQ(size.cx, expected[t].cx) << "allocation " << nth << ", title " << t;
        EXPECT_EQ(size.cy, expected[t].cy) << "allocation " << nth << ", title " << t;
      }
      if (!struck || nth > 400) break;
    }
    // The kept lines are the process's: more new lines than are kept push
    // out the oldest, and any line a failure left half-kept, without
    // upsetting the count.
    Canvas canvas;
    for (int i = 0; i < 1100; ++i) canvas.Row(kMixed + std::to_string(i));
    EXPECT_TRUE(harfix::KeptLinesAgree());
    for (size_t t = 0; t < titles.size(); ++t) {
      const SIZE size = canvas.Row(titles[t]);
      EXPECT_EQ(size.cx, expected[t].cx) << "title " << t;
      EXPECT_EQ(size.cy, expected[t].cy) << "title " << t;
    }
  }
}

}  // namespace
}  // namespace orvane::test
