// A list of owned objects kept as pointers in a growable buffer. Elements are
// destroyed from the last to the first, the order the plug-in's teardown
// relies on.
#pragma once

#include <cstdint>
#include <cstring>

#include "framework/IGrowableBuffer.h"

template <typename T>
class IOwnedList {
 public:
  IOwnedList() = default;
  ~IOwnedList() { DeleteAll(); }

  IOwnedList(const IOwnedList&) = delete;
  IOwnedList& operator=(const IOwnedList&) = delete;

  // Takes ownership. When the list cannot grow the item is destroyed and the
  // append is dropped.
  bool Append(T* item) {
    if (!item) return false;
    if (!pointers.Append(&item, static_cast<int32_t>(sizeof(T*)))) {
      delete item;
      return false;
    }
    return true;
  }

  // Takes ownership and puts the item at index (0 ... Count()), moving the
  // items from there on up by one. Fails like Append (the item is destroyed),
  // also for an index out of that range.
  bool InsertAt(int32_t index, T* item) {
    const int32_t count = Count();
    if (index < 0 || index > count) {
      delete item;
      return false;
    }
    if (!Append(item)) return false;
    uint8_t* slot = pointers.Data() + static_cast<size_t>(index) * sizeof(T*);
    std::memmove(slot + sizeof(T*), slot, static_cast<size_t>(count - index) * sizeof(T*));
    std::memcpy(slot, &item, sizeof(T*));
    return true;
  }

  T* At(int32_t index) const {
    if (index < 0 || index >= Count()) return nullptr;
    T* item;
    std::memcpy(&item, pointers.Data() + static_cast<size_t>(index) * sizeof(T*), sizeof(T*));
    return item;
  }

  int32_t Count() const { return pointers.Size() / static_cast<int32_t>(sizeof(T*)); }

  void DeleteAll() {
    for (int32_t i = Count() - 1; i >= 0; --i) delete At(i);
    pointers.Resize(0, true);
  }

 private:
  IGrowableBuffer pointers{4096};
};
