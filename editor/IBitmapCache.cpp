#include "editor/IBitmapCache.h"

#include <mutex>
#include <vector>

#include "raster/RBitmap.h"

namespace {

struct Entry {
  int32_t id;  // -1 for a copy
  RBitmap* bitmap;
  RBitmap* source;  // what a copy was made from; null for a loaded image
  IBounds area;
};

class Cache {
 public:
  ~Cache() {
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) delete it->bitmap;
  }

  template <typename Match>
  RBitmap* FindOrMake(const Match& match, Entry made, RBitmap* (*make)(void*), void* context) {
    std::lock_guard<std::mutex> guard(lock);
    for (const Entry& e : entries) {
      if (match(e)) return e.bitmap;
    }
    made.bitmap = make(context);
    if (made.bitmap) entries.push_back(made);
    return made.bitmap;
  }

  int32_t Count() {
    std::lock_guard<std::mutex> guard(lock);
    return static_cast<int32_t>(entries.size());
  }

 private:
  std::mutex lock;
  std::vector<Entry> entries;
};

// Destroyed when the module unloads.
Cache& TheCache() {
  static Cache cache;
  return cache;
}

}  // namespace

RBitmap* IBitmapCache::FindOrLoad(int32_t id, RBitmap* (*load)(void*), void* context) {
  return TheCache().FindOrMake([id](const Entry& e) { return !e.source && e.id == id; },
                               Entry{id, nullptr, nullptr, {}}, load, context);
}

RBitmap* IBitmapCache::FindOrCopy(RBitmap* source, const IBounds& area, RBitmap* (*copy)(void*),
                                  void* context) {
  return TheCache().FindOrMake([&](const Entry& e) { return e.source == source && e.area == area; },
                               Entry{-1, nullptr, source, area}, copy, context);
}

int32_t IBitmapCache::Count() { return TheCache().Count(); }
