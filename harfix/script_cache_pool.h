// Script caches kept from one selection to the next. The control selects
// fonts afresh for every row it paints or measures, and setting up a cache
// (reading the font's shaping tables) is most of a selection's cost. The
// fonts themselves still end with their selection; only the caches, which
// are plain memory, are kept, keyed by the exact description of the font
// they were made for and by its size as realised on the device (the same
// description gives other pixel sizes on a printer or under a mapping mode).
#ifndef HARFIX_SCRIPT_CACHE_POOL_H
#define HARFIX_SCRIPT_CACHE_POOL_H

#include <windows.h>
#include <usp10.h>

#include <array>

namespace harfix {

struct ScriptCacheKey {
  LOGFONTA description;
  std::array<LONG, 8> realised;  // the metrics the device gave the font

  static ScriptCacheKey For(const LOGFONTA& description, const TEXTMETRICW& metrics);
  bool operator==(const ScriptCacheKey& other) const;
};

// A kept cache for the font of `key`, now owned by the caller, or nullptr
// (Uniscribe then makes one on first use).
SCRIPT_CACHE TakeScriptCache(const ScriptCacheKey& key);

// Keeps the cache for the next selection of the same font; the least
// recently kept cache is freed when the pool is full.
void KeepScriptCache(const ScriptCacheKey& key, SCRIPT_CACHE cache);

// Frees every kept cache (the library is being unloaded).
void FreeScriptCaches();

}  // namespace harfix

#endif
