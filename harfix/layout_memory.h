// What the library remembers of earlier layouts, and when it may: the
// switch, the device a layout is valid on, and the sizes a line height was
// fitted to. The lines themselves are kept by line_cache.
#ifndef HARFIX_LAYOUT_MEMORY_H
#define HARFIX_LAYOUT_MEMORY_H

#include <windows.h>

#include <array>
#include <optional>

#include "harfix/script_cache_pool.h"

namespace harfix {

// Reads HARFIX_LINE_CACHE once, when the library is loaded: "0" turns
// remembering off, so that every call lays out afresh (to rule the cache out
// when a title looks wrong, and as the peer of the timings).
void ReadLayoutMemorySwitch();
bool LayoutMemoryOn();

// What a font's realised metrics leave out about the device: its kind, its
// resolution and whether it is mirrored. Layouts made on one device context
// are reused on another with an equal key.
struct DeviceKey {
  std::array<int, 4> values{};

  // nullopt for a device context whose mapping mode or world transform
  // scales text: positions there round differently, so nothing is shared.
  static std::optional<DeviceKey> For(HDC dc);
  bool operator==(const DeviceKey& other) const { return values == other.values; }
};

// The fonts a fit of the fonts made as `latin` and `arabic` to `height`
// ended with, as found by an earlier fit; false when none was remembered.
bool FindFit(const DeviceKey& device, const ScriptCacheKey& latin, const ScriptCacheKey& arabic,
             int height, LOGFONTA& fittedLatin, LOGFONTA& fittedArabic);
void RememberFit(const DeviceKey& device, const ScriptCacheKey& latin, const ScriptCacheKey& arabic,
                 int height, const LOGFONTA& fittedLatin, const LOGFONTA& fittedArabic);

// The metrics GDI realised a font of `description` with on the device,
// as measured by an earlier selection; false when none were remembered.
bool FindMetrics(const DeviceKey& device, const LOGFONTA& description, TEXTMETRICW& metrics);
void RememberMetrics(const DeviceKey& device, const LOGFONTA& description,
                     const TEXTMETRICW& metrics);

// Forgets every fit and every kept line (the library is being unloaded).
void ForgetLayouts();

}  // namespace harfix

#endif
