// The generated pictures load as the system reads them and have the sizes
// and keying their users expect.
#include <gtest/gtest.h>

#include <windows.h>

#include "render/glyph_strip.h"

namespace orvane {
namespace {

constexpr COLORREF kKey = RGB(255, 255, 0);

struct SelectedBitmap {
  explicit SelectedBitmap(HBITMAP b) : bitmap(b), dc(CreateCompatibleDC(nullptr)) {
    old = SelectObject(dc, bitmap);
  }
  ~SelectedBitmap() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  SIZE Size() const {
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
  }
  HBITMAP bitmap;
  HDC dc;
  HGDIOBJ old;
};

HBITMAP LoadModuleBitmap(int id) {
  return static_cast<HBITMAP>(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
}

TEST(ResourceArt, StripBitmapsHaveTheirSizesAndAKeyedBackground) {
  const struct {
    int id;
    SIZE size;
    int columns;
    int rows;
  } strips[] = {{kCheckStripBitmap, {48, 161}, 3, 10},
                {kTreeStripLtrBitmap, {170, 17}, 10, 1},
                {kTreeStripRtlBitmap, {170, 17}, 10, 1}};
  for (const auto& strip : strips) {
    SelectedBitmap b(LoadModuleBitmap(strip.id));
    ASSERT_NE(b.bitmap, nullptr) << strip.id;
    EXPECT_EQ(b.Size().cx, strip.size.cx) << strip.id;
    EXPECT_EQ(b.Size().cy, strip.size.cy) << strip.id;
    EXPECT_EQ(GetPixel(b.dc, 0, 0), kKey) << strip.id;
    // Every cell but the tree strip's blank one has some art on the key.
    const int w = strip.size.cx / strip.columns;
    const int h = strip.size.cy / strip.rows;
    for (int r = 0; r < strip.rows; ++r) {
      for (int c = 0; c < strip.columns; ++c) {
        int art = 0;
        for (int y = 0; y < h; ++y) {
          for (int x = 0; x < w; ++x) art += GetPixel(b.dc, c * w + x, r * h + y) != kKey;
        }
        if (strip.rows == 1 && c == 0) {
          EXPECT_EQ(art, 0) << strip.id;
        } else {
          EXPECT_GT(art, 0) << strip.id << " cell " << r << "," << c;
        }
      }
    }
  }
  SelectedBitmap check(LoadModuleBitmap(kCheckStripBitmap));
  for (int x = 0; x < 48; ++x) EXPECT_EQ(GetPixel(check.dc, x, 160), kKey);  // the unused row
}

TEST(ResourceArt, ToolboxBitmapIsSixteenByFifteenOnLightGrey) {
  SelectedBitmap b(LoadModuleBitmap(1));
  ASSERT_NE(b.bitmap, nullptr);
  EXPECT_EQ(b.Size().cx, 16);
  EXPECT_EQ(b.Size().cy, 15);
  EXPECT_EQ(GetPixel(b.dc, 0, 14), RGB(192, 192, 192));  // tool palettes key on this corner
}

TEST(ResourceArt, IconComesInBothSizesWithATransparentMask) {
  for (int size : {32, 16}) {
    HICON icon = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr) << size;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    SelectedBitmap colour(info.hbmColor);
    SelectedBitmap mask(info.hbmMask);
    EXPECT_EQ(colour.Size().cx, size);
    EXPECT_EQ(colour.Size().cy, size);
    EXPECT_EQ(GetPixel(mask.dc, 0, 0), RGB(255, 255, 255));  // corner shows the background
    EXPECT_EQ(GetPixel(mask.dc, size / 2, size / 2), RGB(0, 0, 0));
    DestroyIcon(icon);
  }
}

}  // namespace
}  // namespace orvane
