#include "harfix/line_cache.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <list>
#include <optional>
#include <string>
#include <unordered_map>

#include "harfix/cp1256.h"
#include "harfix/layout_memory.h"

namespace harfix {
namespace {

// A window shows a few dozen rows, and a row's measuring and drawing share
// one line (both fit to the row's height), so a thousand lines hold a
// window's titles in both reading orders across dozens of screens scrolled
// back and forth. A typical title's line takes about a kilobyte; the byte
// bound keeps a library of long titles from holding more than two megabytes.
constexpr std::size_t kMaxLines = 1024;
constexpr std::size_t kMaxBytes = 2 * 1024 * 1024;

struct LineKey {
  DeviceKey device;
  ScriptCacheKey latin;
  ScriptCacheKey arabic;
  int height;
  bool rightToLeft;
  std::string bytes;

  bool operator==(const LineKey& other) const {
    return height == other.height && rightToLeft == other.rightToLeft && bytes == other.bytes &&
           device == other.device && latin == other.latin && arabic == other.arabic;
  }
};

// FNV-1a over every byte the key compares.
class Hasher {
 public:
  void Add(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) value_ = (value_ ^ bytes[i]) * 1099511628211ULL;
  }
  template <typename T>
  void AddObject(const T& object) {
    Add(&object, sizeof object);
  }
  std::size_t Value() const { return static_cast<std::size_t>(value_); }

 private:
  std::uint64_t value_ = 14695981039346656037ULL;
};

std::size_t HashOf(const LineKey& key) {
  Hasher hasher;
  hasher.AddObject(key.device.values);
  for (const ScriptCacheKey* font : {&key.latin, &key.arabic}) {
    hasher.AddObject(font->description);
    hasher.AddObject(font->realised);
  }
  hasher.AddObject(key.height);
  hasher.AddObject(key.rightToLeft);
  hasher.Add(key.bytes.data(), key.bytes.size());
  return hasher.Value();
}

// What a kept line costs in memory, near enough to bound the total.
std::size_t BytesOf(const LineKey& key, const FittedLayout& layout) {
  std::size_t bytes = sizeof(LineKey) + key.bytes.capacity() + sizeof(FittedLayout) + 128;
  for (const GlyphRun& run : layout.line.runs) {
    bytes += sizeof run + run.glyphs.capacity() * sizeof(WORD) +
             run.originX.capacity() * sizeof(int) + run.raise.capacity() * sizeof(int);
  }
  return bytes;
}

struct Entry {
  LineKey key;
  std::size_t hash;
  std::size_t bytes;
  std::shared_ptr<const FittedLayout> layout;
};

// Most recently used first. The library's entry points run one at a time
// (exports.cpp holds its lock around each), so the cache takes none.
class LineCache {
 public:
  std::shared_ptr<const FittedLayout> Find(const LineKey& key, std::size_t hash) {
    auto [first, last] = index_.equal_range(hash);
    for (auto found = first; found != last; ++found) {
      if (found->second->key == key) {
        entries_.splice(entries_.begin(), entries_, found->second);
        return entries_.front().layout;
      }
    }
    return nullptr;
  }

  // Keeping is an economy: should memory run out, the line is simply not
  // kept, and the list, its index and the byte count still agree.
  void Keep(LineKey key, std::size_t hash, std::shared_ptr<const FittedLayout> layout) noexcept {
    try {
      const std::size_t bytes = BytesOf(key, *layout);
      if (bytes > kMaxBytes / 4) return;  // one title must not empty the cache
      entries_.push_front(Entry{std::move(key), hash, bytes, std::move(layout)});
      try {
        index_.emplace(hash, entries_.begin());
      } catch (...) {
        entries_.pop_front();
        return;
      }
      bytes_ += bytes;
    } catch (...) {
      return;
    }
    while (!entries_.empty() && (entries_.size() > kMaxLines || bytes_ > kMaxBytes)) DropOldest();
  }

  bool Agree() const {
    if (index_.size() != entries_.size()) return false;
    std::size_t bytes = 0;
    for (auto entry = entries_.begin(); entry != entries_.end(); ++entry) {
      bytes += entry->bytes;
      auto [first, last] = index_.equal_range(entry->hash);
      if (std::none_of(first, last, [&](const auto& found) { return found.second == entry; })) {
        return false;
      }
    }
    return bytes == bytes_;
  }

  void Clear() {
    index_.clear();
    entries_.clear();
    bytes_ = 0;
  }

 private:
  void DropOldest() noexcept {
    const auto oldest = std::prev(entries_.end());
    auto [first, last] = index_.equal_range(oldest->hash);
    for (auto found = first; found != last; ++found) {
      if (found->second == oldest) {
        index_.erase(found);
        break;
      }
    }
    bytes_ -= std::min(bytes_, oldest->bytes);
    entries_.erase(oldest);
  }

  std::list<Entry> entries_;
  std::unordered_multimap<std::size_t, std::list<Entry>::iterator> index_;
  std::size_t bytes_ = 0;
};

// Never destroyed by the runtime, like the other tables; ForgetLines frees
// the lines when the library is unloaded.
LineCache& Lines() {
  static auto* cache = new LineCache();
  return *cache;
}

}  // namespace

std::shared_ptr<const FittedLayout> LayoutFor(FontSelection& selection, std::string_view bytes,
                                              bool rightToLeft, int height) {
  const auto layOut = [&] {
    return std::make_shared<const FittedLayout>(
        LayOutFitted(selection, DecodeCp1256(bytes.data(), bytes.size()), rightToLeft, height));
  };
  const std::optional<DeviceKey> device = DeviceKey::For(selection.dc());
  if (!LayoutMemoryOn() || !device) return layOut();
  const ShapingFont& latin = selection.Font(FontRole::Latin);
  const ShapingFont& arabic = selection.Font(FontRole::Arabic);
  LineKey key{*device,
              ScriptCacheKey::For(latin.description, latin.metrics),
              ScriptCacheKey::For(arabic.description, arabic.metrics),
              height,
              rightToLeft,
              std::string(bytes)};
  const std::size_t hash = HashOf(key);
  if (auto kept = Lines().Find(key, hash)) return kept;
  auto layout = layOut();
  Lines().Keep(std::move(key), hash, layout);
  return layout;
}

void ForgetLines() { Lines().Clear(); }

bool KeptLinesAgree() { return Lines().Agree(); }

}  // namespace harfix
