// The library keeps the lines it lays out and the sizes it fits. What it
// draws and measures must not change for that: every picture and width here
// is compared with the same call in a library loaded with keeping switched
// off, which lays out every call afresh.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "canvas.h"
#include "harfix_fixture.h"

namespace harfix_tests {
namespace {

constexpr int kWidth = 420;
constexpr int kHeight = 64;
constexpr RECT kWhole = {0, 0, kWidth, kHeight};
constexpr COLORREF kHighlight = RGB(0, 0, 128);

// "أُصُولُ الفِقْهِ": marks stacked over a hamza, shrunk to fit a row.
const std::string kTall = "\xc3\xf5\xd5\xf5\xe6\xe1\xf5 \xc7\xe1\xdd\xf6\xde\xfa\xe5\xf6";
// "في بيان جِنْس gjpqy": dots below, a kasra, a sukun, Latin descenders.
const std::string kMarked = "\xdd\xed \xc8\xed\xc7\xe4 \xcc\xf6\xe4\xfa\xd3 gjpqy";

struct Scene {
  std::string title;
  TitleFonts fonts;
  int order = HARFIX_ORDER_RTL;
  RECT rect{};
  int flags = 0;
  bool selected = false;  // white on the highlight, the line's box painted opaque
};

TitleFonts Bold(LONG height) {
  TitleFonts fonts = DefaultTitleFonts(height);
  fonts.arabic.lfWeight = fonts.latin.lfWeight = FW_BOLD;
  return fonts;
}

TitleFonts Face(const char* arabicFace, LONG height) {
  TitleFonts fonts = DefaultTitleFonts(height);
  lstrcpyA(fonts.arabic.lfFaceName, arabicFace);
  return fonts;
}

TitleFonts Narrow(LONG height, LONG width) {
  TitleFonts fonts = DefaultTitleFonts(height);
  fonts.arabic.lfWidth = fonts.latin.lfWidth = width;
  return fonts;
}

// Titles in both orders, drawn as the rows (16 pixels, fonts fitted), a
// taller row, the balloon (its own height, the long title) and a large
// free-standing line draw them, selected and not.
std::vector<Scene> Scenes() {
  struct Setup {
    TitleFonts fonts;
    RECT rect;
    int flags;
    bool selected;
  };
  const std::vector<Setup> setups = {
      {DefaultTitleFonts(-15), {10, 16, 410, 32}, HARFIX_ALIGN_RIGHT | HARFIX_VCENTER, false},
      {DefaultTitleFonts(-15), {10, 16, 410, 32}, HARFIX_ALIGN_RIGHT | HARFIX_VCENTER, true},
      {Bold(-15), {10, 16, 410, 32}, HARFIX_VCENTER, false},
      {Face("Noto Naskh Arabic", -18),
       {10, 8, 410, 32},
       HARFIX_ALIGN_CENTER | HARFIX_VCENTER,
       true},
      {Narrow(-15, 6), {10, 16, 410, 32}, HARFIX_ALIGN_RIGHT | HARFIX_BOTTOM, false},
      {DefaultTitleFonts(-15),
       {4, 4, 416, 23},
       HARFIX_ALIGN_RIGHT | HARFIX_VCENTER,
       false},  // balloon
      {DefaultTitleFonts(-28), {0, 0, kWidth, kHeight}, HARFIX_ALIGN_LEFT, false},
  };
  const std::vector<std::string> texts = {
      titles::kShadda,
      kTall,
      kMarked,
      titles::kTwoWords,
      titles::kLatin,
      titles::kMixed,
      "The Collection of Sound Reports with their Chains \xC7\xE1\xD5\xCD\xED\xCD"};
  std::vector<Scene> scenes;
  for (const Setup& setup : setups) {
    for (const std::string& text : texts) {
      for (int order : {HARFIX_ORDER_RTL, HARFIX_ORDER_LTR}) {
        scenes.push_back(Scene{text, setup.fonts, order, setup.rect, setup.flags, setup.selected});
      }
    }
  }
  return scenes;
}

class LineCacheTest : public HarfixTest {
 public:
  // Draws the scene as the control draws a row: select, colours, draw,
  // release. False when the library refuses a call.
  bool DrawScene(Canvas& canvas, const Scene& scene) {
    HDC dc = canvas.dc();
    setReadingOrder_(scene.order);
    if (!selectDC_(dc, &scene.fonts.latin, &scene.fonts.arabic)) return false;
    if (scene.selected) {
      HBRUSH brush = CreateSolidBrush(kHighlight);
      FillRect(dc, &scene.rect, brush);
      DeleteObject(brush);
      SetTextColor(dc, RGB(255, 255, 255));
      SetBkColor(dc, kHighlight);
      SetBkMode(dc, OPAQUE);
    } else {
      SetTextColor(dc, RGB(0, 0, 0));
      SetBkMode(dc, TRANSPARENT);
    }
    SetTextAlign(dc, TA_BASELINE);
    const BOOL drawn = drawText_(dc, scene.title.c_str(), static_cast<int>(scene.title.size()),
                                 &scene.rect, scene.flags);
    releaseDC_(dc);
    return drawn != FALSE;
  }

 protected:
  void Draw(Canvas& canvas, const Scene& scene) { EXPECT_TRUE(DrawScene(canvas, scene)); }

  // The widths a caller measures before drawing: fitted to the rectangle,
  // as the control measures a selected row, and not fitted, as the
  // balloon sizes itself.
  std::pair<SIZE, SIZE> Extents(HDC dc, const Scene& scene) {
    setReadingOrder_(scene.order);
    const int length = static_cast<int>(scene.title.size());
    std::pair<SIZE, SIZE> extents{{-1, -1}, {-1, -1}};
    if (!selectDC_(dc, &scene.fonts.latin, &scene.fonts.arabic)) return extents;
    extents.second = textExtent_(dc, scene.title.c_str(), length);
    fitLineHeight_(dc, scene.rect.bottom - scene.rect.top);
    extents.first = textExtent_(dc, scene.title.c_str(), length);
    releaseDC_(dc);
    return extents;
  }

  // Each scene drawn and measured by the library as it is loaded now.
  void Render(const std::vector<Scene>& scenes, std::vector<std::unique_ptr<Canvas>>& pictures,
              std::vector<std::pair<SIZE, SIZE>>& extents) {
    pictures.clear();
    extents.clear();
    for (const Scene& scene : scenes) {
      pictures.push_back(std::make_unique<Canvas>(kWidth, kHeight));
      Draw(*pictures.back(), scene);
      extents.push_back(Extents(pictures.back()->dc(), scene));
    }
  }
};

bool operator==(const SIZE& a, const SIZE& b) { return a.cx == b.cx && a.cy == b.cy; }

TEST_F(LineCacheTest, KeptLinesDrawAndMeasureWhatFreshLayoutsDo) {
  const std::vector<Scene> scenes = Scenes();
  std::vector<std::unique_ptr<Canvas>> fresh;
  std::vector<std::pair<SIZE, SIZE>> freshExtents;
  Reload(false);
  Render(scenes, fresh, freshExtents);
  for (const auto& picture : fresh) ASSERT_FALSE(picture->Ink().empty);

  Reload(true);
  // The first pass lays out and keeps, the second draws from what was
  // kept, and a third, backwards, after every other scene of the same
  // bytes with other fonts, heights and orders has been kept.
  for (int pass = 0; pass < 3; ++pass) {
    std::vector<std::unique_ptr<Canvas>> kept;
    std::vector<std::pair<SIZE, SIZE>> keptExtents;
    if (pass < 2) {
      Render(scenes, kept, keptExtents);
    } else {
      std::vector<Scene> backwards(scenes.rbegin(), scenes.rend());
      Render(backwards, kept, keptExtents);
      std::reverse(kept.begin(), kept.end());
      std::reverse(keptExtents.begin(), keptExtents.end());
    }
    for (std::size_t i = 0; i < scenes.size(); ++i) {
      SCOPED_TRACE(testing::Message()
                   << "pass " << pass << ", scene " << i << ", order " << scenes[i].order
                   << ", height " << scenes[i].rect.bottom - scenes[i].rect.top);
      EXPECT_TRUE(kept[i]->SameAs(*fresh[i], kWhole));
      EXPECT_TRUE(keptExtents[i].first == freshExtents[i].first);
      EXPECT_TRUE(keptExtents[i].second == freshExtents[i].second);
    }
  }
}

TEST_F(LineCacheTest, SameBytesWithOtherFontsHeightOrOrderAreLaidOutForThem) {
  // Pairs of calls with the same bytes and one thing other.
  const Scene row{titles::kMixed + " " + kTall,
                  DefaultTitleFonts(-15),
                  HARFIX_ORDER_RTL,
                  {10, 16, 410, 32},
                  HARFIX_ALIGN_RIGHT | HARFIX_VCENTER,
                  false};
  std::vector<std::pair<Scene, Scene>> pairs(8, {row, row});
  pairs[0].second.fonts = DefaultTitleFonts(-10);
  pairs[1].second.fonts = Bold(-15);
  pairs[2].second.fonts = Face("Noto Naskh Arabic", -15);
  pairs[3].second.fonts = Narrow(-15, 5);
  pairs[4].second.order = HARFIX_ORDER_LTR;
  pairs[5].second.rect = {10, 10, 410, 38};
  pairs[6].second.rect = {10, 20, 410, 32};
  // A small font whose line box fits both rectangles, so that its fonts
  // stay as made and only the height decides whether its marks fit.
  pairs[7].first.fonts = pairs[7].second.fonts = DefaultTitleFonts(-10);
  pairs[7].first.rect = {10, 4, 410, 40};
  pairs[7].second.rect = {10, 20, 410, 34};
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "pair " << i);
    std::vector<std::unique_ptr<Canvas>> fresh, kept;
    std::vector<std::pair<SIZE, SIZE>> freshExtents, keptExtents;
    Reload(false);
    Render({pairs[i].first, pairs[i].second}, fresh, freshExtents);
    // The two look unlike, so a line kept for the first and drawn for
    // the second would show.
    EXPECT_FALSE(fresh[1]->SameAs(*fresh[0], kWhole));
    Reload(true);
    Render({pairs[i].first, pairs[i].second}, kept, keptExtents);
    EXPECT_TRUE(kept[0]->SameAs(*fresh[0], kWhole));
    EXPECT_TRUE(kept[1]->SameAs(*fresh[1], kWhole));
    EXPECT_TRUE(keptExtents[1].first == freshExtents[1].first);
    EXPECT_TRUE(keptExtents[1].second == freshExtents[1].second);
  }
}

TEST_F(LineCacheTest, TitlesPastTheBoundAreDroppedAndLaidOutAgain) {
  // More titles than the library keeps: the first ones are dropped on the
  // way and must come out the same when drawn again.
  std::vector<Scene> scenes;
  for (int i = 0; i < 1300; ++i) {
    scenes.push_back(Scene{titles::kTwoWords + " " + std::to_string(i),
                           DefaultTitleFonts(-15),
                           HARFIX_ORDER_RTL,
                           {10, 16, 410, 32},
                           HARFIX_ALIGN_RIGHT | HARFIX_VCENTER,
                           false});
  }
  const std::vector<Scene> probes = {scenes[0], scenes[1], scenes[650], scenes.back()};
  std::vector<std::unique_ptr<Canvas>> fresh, kept;
  std::vector<std::pair<SIZE, SIZE>> freshExtents, keptExtents;
  Reload(false);
  Render(probes, fresh, freshExtents);
  Reload(true);
  for (const Scene& scene : scenes) {
    Canvas canvas(kWidth, kHeight);
    Draw(canvas, scene);
  }
  Render(probes, kept, keptExtents);
  for (std::size_t i = 0; i < probes.size(); ++i) {
    EXPECT_TRUE(kept[i]->SameAs(*fresh[i], kWhole)) << "probe " << i;
    EXPECT_TRUE(keptExtents[i].first == freshExtents[i].first) << "probe " << i;
  }
}

// What one thread of TwoThreadsDrawingAtOnceDrawWhatOneDoes draws.
struct ThreadWork {
  LineCacheTest* test;
  const Scene* scene;
  const Canvas* expected;
  int mismatches;
};

DWORD WINAPI DrawOverAndOver(void* parameter) {
  auto& job = *static_cast<ThreadWork*>(parameter);
  Canvas canvas(kWidth, kHeight);
  for (int i = 0; i < 150; ++i) {
    // A title of its own first, so that both threads keep lines while
    // the other looks lines up.
    Scene numbered = *job.scene;
    numbered.title += " " + std::to_string(i);
    job.test->DrawScene(canvas, numbered);
    canvas.Clear();
    job.test->DrawScene(canvas, *job.scene);
    if (!canvas.SameAs(*job.expected, kWhole)) ++job.mismatches;
    canvas.Clear();
  }
  return 0;
}

TEST_F(LineCacheTest, TwoThreadsDrawingAtOnceDrawWhatOneDoes) {
  // A host may paint two windows from two threads. Each thread has its own
  // device context and draws in the same reading order; the library's
  // tables are shared and must come out whole.
  const Scene first{titles::kMixed,
                    DefaultTitleFonts(-15),
                    HARFIX_ORDER_RTL,
                    {10, 16, 410, 32},
                    HARFIX_ALIGN_RIGHT | HARFIX_VCENTER,
                    false};
  const Scene second{
      kTall, Bold(-15), HARFIX_ORDER_RTL, {10, 16, 410, 32}, HARFIX_ALIGN_RIGHT | HARFIX_VCENTER,
      true};
  Canvas expectFirst(kWidth, kHeight), expectSecond(kWidth, kHeight);
  Draw(expectFirst, first);
  Draw(expectSecond, second);
  ThreadWork work[2] = {{this, &first, &expectFirst, 0}, {this, &second, &expectSecond, 0}};
  HANDLE threads[2];
  for (int i = 0; i < 2; ++i) {
    threads[i] = CreateThread(nullptr, 0, DrawOverAndOver, &work[i], 0, nullptr);
    ASSERT_NE(threads[i], nullptr);
  }
  WaitForMultipleObjects(2, threads, TRUE, INFINITE);
  for (HANDLE thread : threads) CloseHandle(thread);
  EXPECT_EQ(work[0].mismatches, 0);
  EXPECT_EQ(work[1].mismatches, 0);
}

}  // namespace
}  // namespace harfix_tests
