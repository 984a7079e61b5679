#include "harfix/line_layout.h"

#include <usp10.h>

#include <algorithm>

namespace harfix {
namespace {

bool IsArabicCharacter(wchar_t c) {
  return (c >= 0x0600 && c <= 0x06FF) || (c >= 0x0750 && c <= 0x077F) ||
         (c >= 0x08A0 && c <= 0x08FF) || (c >= 0xFB50 && c <= 0xFDFF) ||
         (c >= 0xFE70 && c <= 0xFEFF);
}

// Arabic runs take the title font; everything else (Latin words, digits,
// punctuation standing alone) the Latin font, as the control intends by
// passing a Latin copy of its font.
FontRole RoleOfRun(const wchar_t* chars, int count) {
  return std::any_of(chars, chars + count, IsArabicCharacter) ? FontRole::Arabic : FontRole::Latin;
}

FontRole OtherRole(FontRole role) {
  return role == FontRole::Arabic ? FontRole::Latin : FontRole::Arabic;
}

struct ShapedRun {
  FontRole role = FontRole::Latin;
  SCRIPT_ANALYSIS analysis{};
  std::vector<WORD> glyphs;
  std::vector<WORD> clusters;
  std::vector<SCRIPT_VISATTR> attributes;
  int missing = 0;
};

// Shapes one run with one font; fails with the script engine's code, for
// instance USP_E_SCRIPT_NOT_IN_FONT when the font lacks the run's script.
HRESULT ShapeWith(FontSelection& selection, FontRole role, const wchar_t* chars, int count,
                  const SCRIPT_ANALYSIS& analysis, ShapedRun& shaped) {
  shaped.role = role;
  shaped.analysis = analysis;
  ShapingFont& font = selection.Font(role);
  if (!selection.Use(role)) return E_FAIL;
  // The documented first guess; a run of ligature decompositions may need
  // more, so grow a few times before giving up.
  int capacity = count * 3 / 2 + 16;
  HRESULT result = E_OUTOFMEMORY;
  int glyphCount = 0;
  for (int attempt = 0; attempt < 4 && result == E_OUTOFMEMORY; ++attempt, capacity *= 2) {
    shaped.glyphs.resize(capacity);
    shaped.clusters.resize(count);
    shaped.attributes.resize(capacity);
    result = ScriptShape(selection.dc(), &font.cache, chars, count, capacity, &shaped.analysis,
                         shaped.glyphs.data(), shaped.clusters.data(), shaped.attributes.data(),
                         &glyphCount);
  }
  if (FAILED(result)) return result;
  shaped.glyphs.resize(glyphCount);
  shaped.attributes.resize(glyphCount);
  SCRIPT_FONTPROPERTIES properties{};
  properties.cBytes = sizeof properties;
  shaped.missing = 0;
  if (SUCCEEDED(ScriptGetFontProperties(selection.dc(), &font.cache, &properties))) {
    shaped.missing = static_cast<int>(
        std::count(shaped.glyphs.begin(), shaped.glyphs.end(), properties.wgDefault));
  }
  return result;
}

// Shapes with the run's own font, falling back to the other font when that
// one shows fewer missing glyphs, and to unshaped glyphs when neither font
// has the script. False when nothing could be shaped.
bool ShapeRun(FontSelection& selection, const wchar_t* chars, int count,
              const SCRIPT_ANALYSIS& given, ShapedRun& shaped) {
  const FontRole own = RoleOfRun(chars, count);
  SCRIPT_ANALYSIS analysis = given;
  // An Arabic run laid out left to right holds no letters, only marks or
  // punctuation that took the direction of Latin neighbours (Windows-1256
  // has no embedding controls), and Wine's Arabic positioning reads outside
  // its glyph buffer for such a run. They need no Arabic shaping: take them
  // as they are.
  if (own == FontRole::Arabic && !analysis.fRTL) analysis.eScript = SCRIPT_UNDEFINED;
  const HRESULT ownResult = ShapeWith(selection, own, chars, count, analysis, shaped);
  if (SUCCEEDED(ownResult) && shaped.missing == 0) return true;
  ShapedRun other;
  const HRESULT otherResult = ShapeWith(selection, OtherRole(own), chars, count, analysis, other);
  if (SUCCEEDED(otherResult) && (FAILED(ownResult) || other.missing < shaped.missing)) {
    shaped = std::move(other);
    return true;
  }
  if (SUCCEEDED(ownResult)) return true;
  SCRIPT_ANALYSIS plain = analysis;
  plain.eScript = SCRIPT_UNDEFINED;
  return SUCCEEDED(ShapeWith(selection, own, chars, count, plain, shaped));
}

// Widens the line's ink above and below the baseline by a glyph's black
// box, raised by its mark offset. The faces' ascent and descent do not bound
// stacked marks (a damma over a hamza over an alef rises above the ascent).
void WidenInkHeight(HDC dc, WORD glyph, int raise, LaidOutLine& line) {
  static const MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  GLYPHMETRICS metrics{};
  if (GetGlyphOutlineW(dc, glyph, GGO_METRICS | GGO_GLYPH_INDEX, &metrics, 0, nullptr,
                       &kIdentity) == GDI_ERROR) {
    return;
  }
  const int top = metrics.gmptGlyphOrigin.y + raise;
  const int bottom = static_cast<int>(metrics.gmBlackBoxY) - metrics.gmptGlyphOrigin.y - raise;
  line.inkAbove = std::max(line.inkAbove, top);
  line.inkBelow = std::max(line.inkBelow, bottom);
}

// Places a shaped run at penX, appends it to the line and widens the line's
// cover by its advance and its ink. Returns the pen position after it.
int PlaceRun(FontSelection& selection, ShapedRun& shaped, int penX, LaidOutLine& line) {
  const int glyphCount = static_cast<int>(shaped.glyphs.size());
  std::vector<int> advances(glyphCount);
  std::vector<GOFFSET> offsets(glyphCount);
  ABC runAbc{};
  ShapingFont& font = selection.Font(shaped.role);
  if (glyphCount == 0 || !selection.Use(shaped.role) ||
      FAILED(ScriptPlace(selection.dc(), &font.cache, shaped.glyphs.data(), glyphCount,
                         shaped.attributes.data(), &shaped.analysis, advances.data(),
                         offsets.data(), &runAbc))) {
    return penX;
  }
  std::vector<ABC> ink(glyphCount);
  const bool haveInk =
      GetCharABCWidthsI(selection.dc(), 0, glyphCount, shaped.glyphs.data(), ink.data()) != FALSE;

  GlyphRun run;
  run.role = shaped.role;
  run.glyphs = shaped.glyphs;
  run.originX.resize(glyphCount);
  run.raise.resize(glyphCount);
  // Glyphs come in visual order (the analysis asks for no logical order),
  // so offsets are plain x offsets even in right-to-left runs.
  for (int i = 0; i < glyphCount; ++i) {
    const int origin = penX + offsets[i].du;
    run.originX[i] = origin;
    run.raise[i] = offsets[i].dv;
    if (haveInk && ink[i].abcB > 0) {
      line.coverLeft = std::min(line.coverLeft, origin + ink[i].abcA);
      line.coverRight =
          std::max(line.coverRight, origin + ink[i].abcA + static_cast<int>(ink[i].abcB));
      WidenInkHeight(selection.dc(), shaped.glyphs[i], offsets[i].dv, line);
    }
    penX += advances[i];
  }
  line.coverRight = std::max(line.coverRight, penX);
  line.runs.push_back(std::move(run));
  return penX;
}

}  // namespace

LaidOutLine LayOutLine(FontSelection& selection, const std::wstring& text, bool rightToLeft) {
  LaidOutLine line;
  const int length = static_cast<int>(text.size());
  if (length == 0) return line;

  SCRIPT_CONTROL control{};
  SCRIPT_STATE state{};
  state.uBidiLevel = rightToLeft ? 1 : 0;
  // Never more runs than characters, plus the terminating entry.
  std::vector<SCRIPT_ITEM> items(length + 2);
  int itemCount = 0;
  if (FAILED(ScriptItemize(text.c_str(), length, static_cast<int>(items.size()), &control, &state,
                           items.data(), &itemCount)) ||
      itemCount <= 0) {
    selection.Use(FontRole::Arabic);
    return line;
  }

  std::vector<BYTE> levels(itemCount);
  for (int i = 0; i < itemCount; ++i) levels[i] = static_cast<BYTE>(items[i].a.s.uBidiLevel);
  std::vector<int> visualToLogical(itemCount);
  std::vector<int> logicalToVisual(itemCount);
  if (FAILED(
          ScriptLayout(itemCount, levels.data(), visualToLogical.data(), logicalToVisual.data()))) {
    for (int i = 0; i < itemCount; ++i) visualToLogical[i] = i;
  }

  int penX = 0;
  for (int visual = 0; visual < itemCount; ++visual) {
    const int logical = visualToLogical[visual];
    if (logical < 0 || logical >= itemCount) continue;
    const int start = items[logical].iCharPos;
    const int end = items[logical + 1].iCharPos;
    if (start < 0 || end > length || end <= start) continue;
    ShapedRun shaped;
    if (ShapeRun(selection, text.c_str() + start, end - start, items[logical].a, shaped)) {
      penX = PlaceRun(selection, shaped, penX, line);
    }
  }
  selection.Use(FontRole::Arabic);
  return line;
}

}  // namespace harfix
