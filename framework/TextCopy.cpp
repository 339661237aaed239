#include "framework/TextCopy.h"

#include <cstring>

void CopyBytesAsText(char* destination, size_t capacity, const char* source, size_t length) {
  if (!destination || capacity == 0) return;
  size_t n = 0;
  if (source) {
    const size_t limit = length < capacity - 1 ? length : capacity - 1;
    while (n < limit && source[n] != '\0') ++n;
    std::memmove(destination, source, n);
  }
  destination[n] = '\0';
}

void CopyTextBounded(char* destination, size_t capacity, const char* source) {
  CopyBytesAsText(destination, capacity, source, capacity);
}
