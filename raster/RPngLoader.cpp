#include "raster/RPngLoader.h"

#include "platform/FileOpen.h"
#include "raster/RPngDecoder.h"

#include <cstring>

namespace {

constexpr size_t kSignatureBytes = 8;

struct MemoryCursor {
  const png_byte* cursor;
  size_t remaining;
};

// Reading past the end is not an error: the missing bytes read as zeros,
// and libpng decides whether that still makes an image.
void ReadFromMemory(png_structp png, png_bytep out, size_t count) {
  auto* memory = static_cast<MemoryCursor*>(png_get_io_ptr(png));
  std::memset(out, 0, count);
  const size_t taken = count < memory->remaining ? count : memory->remaining;
  if (taken > 0) std::memcpy(out, memory->cursor, taken);
  memory->cursor += taken;
  memory->remaining -= taken;
}

}  // namespace

RBitmap* Raster_LoadPngMemory(const void* data, size_t size, RBitmap* target) {
  if (!data || size < kSignatureBytes) return nullptr;
  const auto* bytes = static_cast<const png_byte*>(data);
  if (png_sig_cmp(bytes, 0, kSignatureBytes) != 0) return nullptr;
  MemoryCursor memory{bytes, size};
  RPngSource source;
  source.read = ReadFromMemory;
  source.readState = &memory;
  return Raster_DecodePng(source, target);
}

RBitmap* Raster_LoadPngFile(const char* path, RBitmap* target) {
  FILE* file = OpenFileForReading(path);
  if (!file) return nullptr;
  RPngSource source;
  source.file = file;
  RBitmap* bitmap = Raster_DecodePng(source, target);
  std::fclose(file);
  return bitmap;
}
