#include "harfix/layout_memory.h"

#include <cstring>
#include <vector>

#include "harfix/line_cache.h"

namespace harfix {
namespace {

bool g_on = true;

struct RememberedFit {
  DeviceKey device;
  ScriptCacheKey latin;
  ScriptCacheKey arabic;
  int height;
  LOGFONTA fittedLatin;
  LOGFONTA fittedArabic;
};

struct RememberedMetrics {
  DeviceKey device;
  LOGFONTA description;
  TEXTMETRICW metrics;
};

// Two fonts a selection, a few sizes each (made, fitted, shrunk for marks).
constexpr std::size_t kMaxMetrics = 64;

std::vector<RememberedMetrics>& Metrics() {
  static auto* metrics = new std::vector<RememberedMetrics>();
  return *metrics;
}

// A host fits a handful of fonts to a handful of heights (rows, balloon);
// the bound only stops a host that varies them without end.
constexpr std::size_t kMaxFits = 32;

// Oldest first; never destroyed by the runtime, like the other tables.
std::vector<RememberedFit>& Fits() {
  static auto* fits = new std::vector<RememberedFit>();
  return *fits;
}

}  // namespace

void ReadLayoutMemorySwitch() {
  char value[8] = {};
  const DWORD length = GetEnvironmentVariableA("HARFIX_LINE_CACHE", value, sizeof value);
  g_on = !(length == 1 && value[0] == '0');
}

bool LayoutMemoryOn() { return g_on; }

std::optional<DeviceKey> DeviceKey::For(HDC dc) {
  if (GetMapMode(dc) != MM_TEXT || GetGraphicsMode(dc) != GM_COMPATIBLE) return std::nullopt;
  DeviceKey key;
  key.values = {GetDeviceCaps(dc, TECHNOLOGY), GetDeviceCaps(dc, LOGPIXELSX),
                GetDeviceCaps(dc, LOGPIXELSY), static_cast<int>(GetLayout(dc))};
  return key;
}

bool FindFit(const DeviceKey& device, const ScriptCacheKey& latin, const ScriptCacheKey& arabic,
             int height, LOGFONTA& fittedLatin, LOGFONTA& fittedArabic) {
  if (!g_on) return false;
  for (const RememberedFit& fit : Fits()) {
    if (fit.height == height && fit.device == device && fit.latin == latin &&
        fit.arabic == arabic) {
      fittedLatin = fit.fittedLatin;
      fittedArabic = fit.fittedArabic;
      return true;
    }
  }
  return false;
}

void RememberFit(const DeviceKey& device, const ScriptCacheKey& latin, const ScriptCacheKey& arabic,
                 int height, const LOGFONTA& fittedLatin, const LOGFONTA& fittedArabic) {
  if (!g_on) return;
  auto& fits = Fits();
  if (fits.size() >= kMaxFits) fits.erase(fits.begin());
  fits.push_back(RememberedFit{device, latin, arabic, height, fittedLatin, fittedArabic});
}

bool FindMetrics(const DeviceKey& device, const LOGFONTA& description, TEXTMETRICW& metrics) {
  if (!g_on) return false;
  for (const RememberedMetrics& known : Metrics()) {
    if (known.device == device &&
        std::memcmp(&known.description, &description, sizeof description) == 0) {
      metrics = known.metrics;
      return true;
    }
  }
  return false;
}

void RememberMetrics(const DeviceKey& device, const LOGFONTA& description,
                     const TEXTMETRICW& metrics) {
  if (!g_on) return;
  TEXTMETRICW known{};
  if (FindMetrics(device, description, known)) return;
  auto& all = Metrics();
  if (all.size() >= kMaxMetrics) all.erase(all.begin());
  all.push_back(RememberedMetrics{device, description, metrics});
}

void ForgetLayouts() {
  Metrics().clear();
  Fits().clear();
  ForgetLines();
}

}  // namespace harfix
