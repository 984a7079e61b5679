#include "harfix/face_resolver.h"

#include <array>
#include <cstring>
#include <map>
#include <utility>

namespace harfix {
namespace {

// DejaVu Sans first: through Wine's Uniscribe it joins, places marks and
// keeps every letter of a title. Noto Naskh Arabic is handsomer but, there,
// every glyph after a letter carrying a hamza (alef, waw or yeh with hamza,
// as in most titles) comes out as a copy of its neighbour.
constexpr std::array<const char*, 6> kArabicFallbacks = {
    "DejaVu Sans", "Noto Naskh Arabic", "Arial", "Tahoma", "Times New Roman", "Segoe UI"};
constexpr std::array<const char*, 6> kLatinFallbacks = {
    "Noto Sans", "Arial", "Tahoma", "Segoe UI", "Liberation Sans", "DejaVu Sans"};

// Letters every face worth choosing for the role must have.
constexpr wchar_t kArabicProbe[] = {0x0627, 0x0644, 0x0628, 0x0647};
constexpr wchar_t kLatinProbe[] = {L'A', L'z', L'0'};

bool SameFaceName(const char* a, const char* b) {
  return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a, -1, b, -1) == CSTR_EQUAL;
}

template <std::size_t N>
bool HasGlyphs(HDC dc, const wchar_t (&probe)[N]) {
  WORD glyphs[N] = {};
  if (GetGlyphIndicesW(dc, probe, N, glyphs, GGI_MARK_NONEXISTING_GLYPHS) != N) return false;
  for (WORD glyph : glyphs) {
    if (glyph == 0xFFFF) return false;
  }
  return true;
}

// Whether GDI gives the face itself for the name (not a substitute) and
// that face has the role's letters. Uses a private memory DC so that the
// caller's device context is never disturbed.
bool FaceServesRole(const std::string& face, FontRole role) {
  if (face.empty() || face.size() >= LF_FACESIZE) return false;
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return false;
  LOGFONTA description{};
  description.lfHeight = -16;
  description.lfWeight = FW_NORMAL;
  description.lfCharSet = DEFAULT_CHARSET;
  std::memcpy(description.lfFaceName, face.c_str(), face.size() + 1);
  bool serves = false;
  if (HFONT font = CreateFontIndirectA(&description)) {
    HGDIOBJ previous = SelectObject(dc, font);
    char actual[LF_FACESIZE] = {};
    if (previous && GetTextFaceA(dc, LF_FACESIZE, actual) > 0 &&
        SameFaceName(actual, face.c_str())) {
      serves = role == FontRole::Arabic ? HasGlyphs(dc, kArabicProbe) : HasGlyphs(dc, kLatinProbe);
    }
    if (previous) SelectObject(dc, previous);
    DeleteObject(font);
  }
  DeleteDC(dc);
  return serves;
}

std::string ResolveUncached(const std::string& requested, FontRole role) {
  if (FaceServesRole(requested, role)) return requested;
  const auto& fallbacks = role == FontRole::Arabic ? kArabicFallbacks : kLatinFallbacks;
  for (const char* face : fallbacks) {
    if (FaceServesRole(face, role)) return face;
  }
  return requested;
}

}  // namespace

std::string ResolveFace(const std::string& requested, FontRole role) {
  // Hosts use a handful of faces; the bound only guards against a host
  // that invents a new name for every call.
  constexpr std::size_t kMaxRemembered = 64;
  static std::map<std::pair<std::string, FontRole>, std::string> remembered;
  const auto key = std::make_pair(requested, role);
  if (auto found = remembered.find(key); found != remembered.end()) return found->second;
  std::string face = ResolveUncached(requested, role);
  if (remembered.size() >= kMaxRemembered) remembered.clear();
  remembered.emplace(key, face);
  return face;
}

}  // namespace harfix
