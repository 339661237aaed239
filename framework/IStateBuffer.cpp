#include "framework/IStateBuffer.h"

#include <cstring>

#include "framework/TextCopy.h"

namespace {

void StoreLittleEndian(uint8_t* out, uint64_t v, int byteCount) {
  for (int i = 0; i < byteCount; ++i) out[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint64_t LoadLittleEndian(const uint8_t* in, int byteCount) {
  uint64_t v = 0;
  for (int i = 0; i < byteCount; ++i) v |= static_cast<uint64_t>(in[i]) << (8 * i);
  return v;
}

// The bits of a double as an integer and back (std::bit_cast, which the
// browser build's C++ library lacks).
uint64_t BitsOfDouble(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

double DoubleOfBits(uint64_t bits) {
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

}  // namespace

bool IStateBuffer::Fits(int32_t position, int32_t count) const {
  return position >= 0 && count >= 0 &&
         static_cast<int64_t>(position) + count <= static_cast<int64_t>(Size());
}

int32_t IStateBuffer::AppendValue(double v) {
  uint8_t encoded[8];
  StoreLittleEndian(encoded, BitsOfDouble(v), 8);
  bytes.Append(encoded, 8);
  return Size();
}

int32_t IStateBuffer::AppendInt32(int32_t v) {
  uint8_t encoded[4];
  StoreLittleEndian(encoded, static_cast<uint32_t>(v), 4);
  bytes.Append(encoded, 4);
  return Size();
}

int32_t IStateBuffer::AppendString(const char* text) {
  const size_t length = text ? std::strlen(text) : 0;
  if (length > static_cast<size_t>(INT32_MAX - 4)) return Size();
  const int32_t count = static_cast<int32_t>(length);
  // Grown once for prefix and text, so a failed append leaves no dangling
  // length behind.
  const int32_t oldSize = Size();
  if (count + 4 > INT32_MAX - oldSize) return oldSize;
  bytes.Resize(oldSize + 4 + count, false);
  if (Size() != oldSize + 4 + count) return Size();
  StoreLittleEndian(bytes.Data() + oldSize, static_cast<uint32_t>(count), 4);
  if (count > 0) std::memcpy(bytes.Data() + oldSize + 4, text, length);
  return Size();
}

bool IStateBuffer::AppendBytes(const void* source, int32_t count) {
  return bytes.Append(source, count);
}

int32_t IStateBuffer::ReadValue(int32_t position, double& v) const {
  if (!Fits(position, 8)) return -1;
  v = DoubleOfBits(LoadLittleEndian(Data() + position, 8));
  return position + 8;
}

int32_t IStateBuffer::ReadInt32(int32_t position, int32_t& v) const {
  if (!Fits(position, 4)) return -1;
  v = static_cast<int32_t>(static_cast<uint32_t>(LoadLittleEndian(Data() + position, 4)));
  return position + 4;
}

int32_t IStateBuffer::ReadString(int32_t position, char* text, int32_t capacity) const {
  if (text && capacity > 0) text[0] = '\0';
  int32_t length = 0;
  const int32_t start = ReadInt32(position, length);
  if (start < 0) return -1;
  // A negative length would move the reader backwards, one reaching past the
  // end would send the next read outside the chunk: both are damage.
  if (length < 0 || !Fits(start, length)) return -1;
  if (text && capacity > 0) {
    CopyBytesAsText(text, static_cast<size_t>(capacity),
                    reinterpret_cast<const char*>(Data() + start), static_cast<size_t>(length));
  }
  return start + length;
}

bool IStateBuffer::WriteChunkHeader() {
  bytes.Resize(0, true);
  AppendInt32(kChunkMagic);
  AppendInt32(kChunkVersion);
  return Size() == kHeaderBytes;
}

int32_t IStateBuffer::ResizeZeroFilled(int32_t n) {
  const int32_t oldSize = Size();
  bytes.Resize(n, true);
  if (Size() > oldSize)
    std::memset(bytes.Data() + oldSize, 0, static_cast<size_t>(Size() - oldSize));
  return oldSize;
}

void IStateBuffer::Reserve(int32_t n) {
  const int32_t oldSize = Size();
  if (n <= oldSize) return;
  bytes.Resize(n, false);
  bytes.Resize(oldSize, false);
}
