#include "harfix/script_cache_pool.h"

#include <cstring>
#include <vector>

namespace harfix {
namespace {

// Two fonts per selection, a few sizes in a host (rows, balloon): room to
// spare, and a bound on the memory kept.
constexpr std::size_t kMaxKept = 8;

struct KeptCache {
  ScriptCacheKey key;
  SCRIPT_CACHE cache;
};

// Oldest first. Deliberately never destroyed by the runtime: at process exit
// Uniscribe may already be gone; FreeScriptCaches runs on unloading instead.
std::vector<KeptCache>& Pool() {
  static auto* pool = new std::vector<KeptCache>();
  return *pool;
}

}  // namespace

ScriptCacheKey ScriptCacheKey::For(const LOGFONTA& description, const TEXTMETRICW& metrics) {
  return ScriptCacheKey{description,
                        {metrics.tmHeight, metrics.tmAscent, metrics.tmDescent,
                         metrics.tmAveCharWidth, metrics.tmMaxCharWidth, metrics.tmWeight,
                         metrics.tmDigitizedAspectX, metrics.tmDigitizedAspectY}};
}

bool ScriptCacheKey::operator==(const ScriptCacheKey& other) const {
  // LOGFONTA has no padding, and the face name is zero-filled when made.
  return std::memcmp(&description, &other.description, sizeof description) == 0 &&
         realised == other.realised;
}

SCRIPT_CACHE TakeScriptCache(const ScriptCacheKey& key) {
  auto& pool = Pool();
  for (auto entry = pool.begin(); entry != pool.end(); ++entry) {
    if (entry->key == key) {
      SCRIPT_CACHE cache = entry->cache;
      pool.erase(entry);
      return cache;
    }
  }
  return nullptr;
}

void KeepScriptCache(const ScriptCacheKey& key, SCRIPT_CACHE cache) {
  if (!cache) return;
  auto& pool = Pool();
  if (pool.size() >= kMaxKept) {
    ScriptFreeCache(&pool.front().cache);
    pool.erase(pool.begin());
  }
  pool.push_back(KeptCache{key, cache});
}

void FreeScriptCaches() {
  for (KeptCache& kept : Pool()) ScriptFreeCache(&kept.cache);
  Pool().clear();
}

}  // namespace harfix
