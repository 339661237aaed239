// UTF-8 as the text drawing reads it: one UTF-16 code unit per character.
#pragma once

#include <cstddef>
#include <cstdint>

// Decodes one character from at most available bytes and returns the bytes
// consumed (at least 1 when available > 0). Two- and three-byte sequences
// give their code; a four-byte sequence (beyond UTF-16's single units) gives
// a space; anything else, a stray or broken byte included, is taken as the
// code of its single byte.
int32_t Raster_DecodeUtf8(const char* bytes, size_t available, uint16_t* code);
// The same on zero-terminated text.
int32_t Raster_DecodeUtf8(const char* bytes, uint16_t* code);

// True when the zero-terminated text holds at least one two- or three-byte
// sequence (so it needs converting before the system draws it).
bool Raster_HasUtf8Sequences(const char* text);
// The same on the first length bytes.
bool Raster_HasUtf8Sequences(const char* text, size_t length);
