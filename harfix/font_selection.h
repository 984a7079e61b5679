// One aSelectDC: the two fonts made for a device context, their script
// caches, and the font the device context held before, which goes back at
// aReleaseDC.
#ifndef HARFIX_FONT_SELECTION_H
#define HARFIX_FONT_SELECTION_H

#include <windows.h>
#include <usp10.h>

#include <memory>
#include <optional>

#include "harfix/face_resolver.h"
#include "harfix/layout_memory.h"
#include "harfix/script_cache_pool.h"

namespace harfix {

struct ShapingFont {
  HFONT font = nullptr;    // null until first used, when its metrics were known beforehand
  LOGFONTA description{};  // as made, after face mapping and clamping
  SCRIPT_CACHE cache = nullptr;
  TEXTMETRICW metrics{};
};

class FontSelection {
 public:
  // Makes the fonts and selects the Arabic one into dc; nullptr, with dc
  // untouched, when a font cannot be made or selected.
  static std::unique_ptr<FontSelection> Create(HDC dc, const LOGFONTA& latin,
                                               const LOGFONTA& arabic);

  // Puts the earlier font back into the device context, deletes the fonts
  // and hands their script caches to the pool for the next selection.
  ~FontSelection();

  FontSelection(const FontSelection&) = delete;
  FontSelection& operator=(const FontSelection&) = delete;

  HDC dc() const { return dc_; }
  ShapingFont& Font(FontRole role) { return role == FontRole::Arabic ? arabic_ : latin_; }

  // Selects the font of `role` into the device context for shaping or
  // drawing, making it first if it is not made yet; false, with the
  // Arabic font selected, when it cannot be made.
  bool Use(FontRole role);

  // The line box shared by both fonts, so that titles with and without
  // Latin runs sit on the same baseline.
  int Ascent() const;
  int Descent() const;

  // Makes both fonts again, at the largest sizes not above the described
  // ones whose shared line box (Ascent + Descent) is at most height
  // pixels, so that every mark above and below the line stays inside a
  // rectangle of that height. Nothing changes when the line already fits.
  // False when height is not positive or a font cannot be made again (the
  // selection then keeps fonts that work, at whatever size they reached).
  bool FitLineHeight(int height);
  // The height of the last FitLineHeight, 0 before any: the height lines
  // of this selection are measured for.
  int FitHeight() const { return fitHeight_; }

  // The em height each font is made at, and remaking both at others (the
  // Arabic font is left selected). False when a font cannot be made.
  LONG EmOf(FontRole role) const;
  bool ScaleTo(LONG latinEm, LONG arabicEm);
  // Remakes each font whose description differs from the one given (the
  // Arabic font is left selected). False when a font cannot be made.
  bool RemakeAs(const LOGFONTA& latin, const LOGFONTA& arabic);

 private:
  FontSelection(HDC dc, HGDIOBJ previousFont) : dc_(dc), previousFont_(previousFont) {}

  // Replaces the font of `made` by one of the given em height, or of the
  // given description; the new font is left selected in the device
  // context, except a Latin font whose metrics are known, which is only
  // described until a run uses it.
  bool RemakeAt(ShapingFont& made, LONG emHeight);
  bool Remake(ShapingFont& made, const LOGFONTA& description);
  // Ends the use of a font: deleted, its script cache kept for the next
  // font of the same description.
  static void Retire(ShapingFont& made);
  // Searches the largest sizes whose line box fits height.
  bool SearchFit(int height);

  HDC dc_;
  HGDIOBJ previousFont_;
  // The device whose remembered metrics spare making the Latin font until
  // a run needs it; none when nothing is remembered.
  std::optional<DeviceKey> device_;
  ShapingFont latin_;
  ShapingFont arabic_;
  int fitHeight_ = 0;
  // The fonts as the host's descriptions gave them, which every fit
  // starts from.
  ScriptCacheKey madeLatin_{};
  ScriptCacheKey madeArabic_{};
};

}  // namespace harfix

#endif
