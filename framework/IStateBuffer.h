// The byte buffer that carries programs and chunks. Numbers are stored
// little-endian at any offset, so the same bytes come out on every platform
// and a chunk saved on one machine loads on another.
#pragma once

#include <cstdint>

#include "framework/IGrowableBuffer.h"

class IStateBuffer {
 public:
  static constexpr int32_t kChunkMagic = 0x70666674;    // bytes 74 66 66 70
  static constexpr int32_t kChunkVersion = 0x00010000;  // bytes 00 00 01 00
  static constexpr int32_t kHeaderBytes = 8;

  IStateBuffer() = default;

  IStateBuffer(const IStateBuffer&) = delete;
  IStateBuffer& operator=(const IStateBuffer&) = delete;

  // Appends return the new size; an append that cannot grow the buffer
  // appends nothing, so the size is then unchanged.
  int32_t AppendValue(double v);
  int32_t AppendInt32(int32_t v);
  int32_t AppendString(const char* text);
  bool AppendBytes(const void* bytes, int32_t count);

  // Readers return the position after what they read, or -1 when it does
  // not lie wholly inside the buffer (a negative position fails too).
  int32_t ReadValue(int32_t position, double& v) const;
  int32_t ReadInt32(int32_t position, int32_t& v) const;
  // A length-prefixed text. The text is cut to capacity - 1 bytes and ends
  // early at a NUL among its bytes; a negative length or one reaching past
  // the end fails. text receives "" whenever nothing could be read.
  int32_t ReadString(int32_t position, char* text, int32_t capacity) const;

  // Empties the buffer (releasing its storage) and writes the 8-byte header.
  // False when the header could not be stored.
  bool WriteChunkHeader();
  // Resizes to n bytes, zero-filling any new bytes; returns the old size.
  int32_t ResizeZeroFilled(int32_t n);
  // Empties the buffer and releases its storage.
  void Clear() { bytes.Resize(0, true); }
  // Empties the buffer and keeps its storage: refilling it up to what it
  // held before allocates nothing (a program switch on the audio thread).
  void Empty() { bytes.Resize(0, false); }
  // Makes room for n bytes in all without changing the contents.
  void Reserve(int32_t n);

  const uint8_t* Data() const { return bytes.Data(); }
  uint8_t* Data() { return bytes.Data(); }
  int32_t Size() const { return bytes.Size(); }

 private:
  bool Fits(int32_t position, int32_t count) const;

  IGrowableBuffer bytes{4096};
};
