// Bounded copies into the framework's fixed-size text fields.
#pragma once

#include <cstddef>

// Copies at most capacity - 1 bytes of source (null counts as empty) and
// always terminates; does nothing for a capacity of 0.
void CopyTextBounded(char* destination, size_t capacity, const char* source);

// The same for a source that is not NUL-terminated: at most length bytes,
// stopping early at a NUL among them.
void CopyBytesAsText(char* destination, size_t capacity, const char* source, size_t length);
