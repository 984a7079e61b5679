#include "harfix/font_selection.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "harfix/layout_memory.h"
#include "harfix/script_cache_pool.h"

namespace harfix {
namespace {

// Sizes beyond this make no sense for a title and only cost the rasteriser
// memory; the host's description is not trusted to be sane.
constexpr LONG kMaxFontSize = 1024;

// The font actually made for a host's description: an installed face for
// the role, any character set (the face decides coverage, not the set the
// host named), and horizontal text, since the layout measures along x only.
LOGFONTA DescriptionForRole(const LOGFONTA& requested, FontRole role) {
  LOGFONTA description = requested;
  const std::size_t nameLength = strnlen(requested.lfFaceName, LF_FACESIZE - 1);
  const std::string face = ResolveFace(std::string(requested.lfFaceName, nameLength), role);
  std::memset(description.lfFaceName, 0, sizeof description.lfFaceName);
  std::memcpy(description.lfFaceName, face.c_str(),
              std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
  description.lfHeight = std::clamp<LONG>(requested.lfHeight, -kMaxFontSize, kMaxFontSize);
  description.lfWidth = std::clamp<LONG>(requested.lfWidth, 0, kMaxFontSize);
  description.lfWeight = std::clamp<LONG>(requested.lfWeight, 0, 1000);
  description.lfEscapement = 0;
  description.lfOrientation = 0;
  description.lfCharSet = DEFAULT_CHARSET;
  return description;
}

// Makes and measures the font for a description; a font that may wait is
// only described when its metrics on the device are known, and made when a
// run first needs it (most titles have no Latin run).
bool MakeFont(HDC dc, const std::optional<DeviceKey>& device, const LOGFONTA& requested,
              FontRole role, bool mayWait, ShapingFont& made) {
  made.description = DescriptionForRole(requested, role);
  if (mayWait && device && FindMetrics(*device, made.description, made.metrics)) return true;
  made.font = CreateFontIndirectA(&made.description);
  if (!made.font) return false;
  HGDIOBJ previous = SelectObject(dc, made.font);
  if (!previous) return false;
  const bool measured = GetTextMetricsW(dc, &made.metrics) != FALSE;
  SelectObject(dc, previous);
  if (!measured) return false;
  made.cache = TakeScriptCache(ScriptCacheKey::For(made.description, made.metrics));
  if (device) RememberMetrics(*device, made.description, made.metrics);
  return true;
}

}  // namespace

std::unique_ptr<FontSelection> FontSelection::Create(HDC dc, const LOGFONTA& latin,
                                                     const LOGFONTA& arabic) {
  HGDIOBJ current = GetCurrentObject(dc, OBJ_FONT);
  if (!current) return nullptr;
  std::unique_ptr<FontSelection> selection(new FontSelection(dc, current));
  if (LayoutMemoryOn()) selection->device_ = DeviceKey::For(dc);
  // The Arabic font is selected into the device context until the
  // release, so it is made at once.
  const auto& device = selection->device_;
  if (!MakeFont(dc, device, latin, FontRole::Latin, true, selection->latin_) ||
      !MakeFont(dc, device, arabic, FontRole::Arabic, false, selection->arabic_) ||
      !SelectObject(dc, selection->arabic_.font)) {
    return nullptr;
  }
  selection->madeLatin_ =
      ScriptCacheKey::For(selection->latin_.description, selection->latin_.metrics);
  selection->madeArabic_ =
      ScriptCacheKey::For(selection->arabic_.description, selection->arabic_.metrics);
  return selection;
}

FontSelection::~FontSelection() {
  // Deselect before deleting: GDI refuses to delete a font still selected.
  // A device context whose font is no longer ours was deleted and its
  // handle reused by the host; its font is not ours to change.
  HGDIOBJ current = GetCurrentObject(dc_, OBJ_FONT);
  if (current && (current == latin_.font || current == arabic_.font))
    SelectObject(dc_, previousFont_);
  for (ShapingFont* made : {&latin_, &arabic_}) Retire(*made);
}

void FontSelection::Retire(ShapingFont& made) {
  try {
    KeepScriptCache(ScriptCacheKey::For(made.description, made.metrics), made.cache);
  } catch (...) {
    ScriptFreeCache(&made.cache);
  }
  made.cache = nullptr;
  if (made.font) DeleteObject(made.font);
  made.font = nullptr;
}

namespace {

// The em height the font was realised at: the part of the cell that the
// face's design scales with.
LONG EmHeight(const ShapingFont& made) {
  return std::max<LONG>(1, made.metrics.tmHeight - made.metrics.tmInternalLeading);
}

}  // namespace

bool FontSelection::RemakeAt(ShapingFont& made, LONG emHeight) {
  LOGFONTA description = made.description;
  if (description.lfWidth != 0) {
    description.lfWidth = std::max<LONG>(1, description.lfWidth * emHeight / EmHeight(made));
  }
  description.lfHeight = -emHeight;
  return Remake(made, description);
}

bool FontSelection::Remake(ShapingFont& made, const LOGFONTA& description) {
  TEXTMETRICW metrics{};
  if (&made == &latin_ && device_ && FindMetrics(*device_, description, metrics)) {
    Retire(made);
    made.description = description;
    made.metrics = metrics;
    return true;
  }
  HFONT font = CreateFontIndirectA(&description);
  if (!font) return false;
  // Measured selected; the old font is then selected nowhere and may go.
  if (!SelectObject(dc_, font) || !GetTextMetricsW(dc_, &metrics)) {
    SelectObject(dc_, arabic_.font);
    DeleteObject(font);
    return false;
  }
  Retire(made);
  made.font = font;
  made.description = description;
  made.metrics = metrics;
  made.cache = TakeScriptCache(ScriptCacheKey::For(made.description, made.metrics));
  if (device_) RememberMetrics(*device_, description, metrics);
  return true;
}

LONG FontSelection::EmOf(FontRole role) const {
  return EmHeight(role == FontRole::Arabic ? arabic_ : latin_);
}

bool FontSelection::ScaleTo(LONG latinEm, LONG arabicEm) {
  const bool made = RemakeAt(latin_, latinEm) && RemakeAt(arabic_, arabicEm);
  SelectObject(dc_, arabic_.font);
  return made;
}

bool FontSelection::RemakeAs(const LOGFONTA& latin, const LOGFONTA& arabic) {
  const auto same = [](const LOGFONTA& a, const LOGFONTA& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
  };
  const bool made = (same(latin_.description, latin) || Remake(latin_, latin)) &&
                    (same(arabic_.description, arabic) || Remake(arabic_, arabic));
  SelectObject(dc_, arabic_.font);
  return made;
}

bool FontSelection::FitLineHeight(int height) {
  if (height <= 0) return false;
  fitHeight_ = height;
  // The search costs several fonts made and measured; rows all ask for the
  // same fit, so its outcome is remembered by the fonts' descriptions and
  // the device, never by font handles, which GDI reuses.
  const std::optional<DeviceKey> device = DeviceKey::For(dc_);
  LOGFONTA latin{}, arabic{};
  if (device && FindFit(*device, madeLatin_, madeArabic_, height, latin, arabic))
    return RemakeAs(latin, arabic);
  if (!SearchFit(height)) return false;
  if (device)
    RememberFit(*device, madeLatin_, madeArabic_, height, latin_.description, arabic_.description);
  return true;
}

bool FontSelection::SearchFit(int height) {
  // A selection fitted before starts again from the described fonts, so
  // that a taller height gets the larger size it allows.
  if (!RemakeAs(madeLatin_.description, madeArabic_.description)) return false;
  const int box = Ascent() + Descent();
  if (box <= height) return true;
  // Both faces shrink by one ratio, so a Latin word keeps its size beside
  // the Arabic. The line box grows about one pixel per pixel of size, so
  // starting a little above the proportional guess and stepping down by
  // the overshoot finds the largest fitting size in a few tries.
  const LONG latinEm = EmHeight(latin_), arabicEm = EmHeight(arabic_);
  for (long long target = static_cast<long long>(height) + 2; target >= 1;) {
    const auto scaled = [&](LONG em) {
      return static_cast<LONG>(std::clamp<long long>(em * target / box, 1, em));
    };
    if (!ScaleTo(scaled(latinEm), scaled(arabicEm))) return false;
    const int now = Ascent() + Descent();
    if (now <= height) return true;
    if (scaled(latinEm) == 1 && scaled(arabicEm) == 1) return false;
    target -= std::max(1, now - height);
  }
  return false;
}

bool FontSelection::Use(FontRole role) {
  ShapingFont& made = Font(role);
  if (!made.font) {
    made.font = CreateFontIndirectA(&made.description);
    if (made.font)
      made.cache = TakeScriptCache(ScriptCacheKey::For(made.description, made.metrics));
  }
  if (made.font && SelectObject(dc_, made.font)) return true;
  SelectObject(dc_, arabic_.font);
  return false;
}

int FontSelection::Ascent() const {
  return std::max(latin_.metrics.tmAscent, arabic_.metrics.tmAscent);
}

int FontSelection::Descent() const {
  return std::max(latin_.metrics.tmDescent, arabic_.metrics.tmDescent);
}

}  // namespace harfix
