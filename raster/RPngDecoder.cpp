#include "raster/RPngDecoder.h"

#include "raster/RMemBitmap.h"
#include "raster/RPixelView.h"

#include <setjmp.h>
#include <cstdlib>
#include <new>

namespace {

// The libpng interface version this decoder was written against.
constexpr char kPngVersion[] = "1.6.21";

// A plug-in writes nothing to its host's standard error, so libpng's own
// handlers (which print every message) are replaced: a warning (a damaged
// ancillary chunk, a bad checksum libpng recovers from) changes nothing about
// the result and is dropped; an error ends the decode through the long jump
// set up in DecodeInto.
void IgnorePngWarning(png_structp /*png*/, png_const_charp /*message*/) {}

[[noreturn]] void EndDecodeOnPngError(png_structp png, png_const_charp /*message*/) {
  png_longjmp(png, 1);
}

// Fuzzed inputs are mutated bytes whose chunk checksums almost never match;
// in the fuzz build libpng ignores them so the inputs reach the decoder.
void RelaxChecksumsForFuzzing([[maybe_unused]] png_structp png) {
#if defined(DM_FUZZ_BUILD)
  png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#endif
}

// Everything that must be released whether decoding finishes or libpng
// long-jumps out of it. It lives outside the frame that calls setjmp, so its
// fields are reliable after the jump.
struct DecodeState {
  png_structp png = nullptr;
  png_infop info = nullptr;
  RBitmap* created = nullptr;
  png_bytep* rows = nullptr;
  RBitmap* bitmap = nullptr;
};

// Requests 8-bit alpha, red, green, blue for every colour type and depth.
void RequestArgb8(png_structp png, png_infop info, int bitDepth, int colourType) {
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS) != 0) {
    png_set_tRNS_to_alpha(png);
    colourType |= PNG_COLOR_MASK_ALPHA;
  }
  if (bitDepth == 16) png_set_strip_16(png);
  if (bitDepth < 8) png_set_packing(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(png);
  if ((colourType & PNG_COLOR_MASK_ALPHA) != 0) {
    png_set_swap_alpha(png);
  } else {
    png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
  }
}

// A row layout other than 4 bytes per pixel would overrun the bitmap rows.
bool RowsAreArgb8(png_structp png, png_infop info, png_uint_32 width) {
  return png_get_bit_depth(png, info) == 8 && png_get_channels(png, info) == 4 &&
         png_get_rowbytes(png, info) == static_cast<size_t>(width) * 4;
}

bool ObtainBitmap(DecodeState* state, RBitmap* target, int32_t width, int32_t height) {
  if (target) {
    target->Resize(width, height);
    state->bitmap = target;
  } else {
    state->created = new (std::nothrow) RMemBitmap(width, height, 4);
    state->bitmap = state->created;
  }
  if (!state->bitmap) return false;
  const RPixelView view = RPixelView::Of(state->bitmap);
  return view.width == width && view.height == height && view.Usable();
}

bool BuildRowTable(DecodeState* state, int32_t height) {
  state->rows =
      static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * static_cast<size_t>(height)));
  if (!state->rows) return false;
  const RPixelView view = RPixelView::Of(state->bitmap);
  for (int32_t y = 0; y < height; ++y) state->rows[y] = reinterpret_cast<png_bytep>(view.Row(y));
  return true;
}

// libpng's error exit long-jumps back into this frame, so nothing here may
// need destruction and nothing set after setjmp is read after the jump.
bool DecodeInto(DecodeState* state, const RPngSource* source, RBitmap* target) {
  jmp_buf* jump = png_set_longjmp_fn(state->png, longjmp, sizeof(jmp_buf));
  if (!jump) return false;
  if (setjmp(*jump)) return false;

  if (source->read) {
    png_set_read_fn(state->png, source->readState, source->read);
  } else {
    png_init_io(state->png, source->file);
  }
  png_read_info(state->png, state->info);
  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colourType = 0, interlace = 0, compression = 0, filter = 0;
  png_get_IHDR(state->png, state->info, &width, &height, &bitDepth, &colourType, &interlace,
               &compression, &filter);
  RequestArgb8(state->png, state->info, bitDepth, colourType);
  png_set_interlace_handling(state->png);
  png_read_update_info(state->png, state->info);
  if (!RowsAreArgb8(state->png, state->info, width)) return false;

  // libpng limits both sizes to 2^31 - 1.
  const auto w = static_cast<int32_t>(width), h = static_cast<int32_t>(height);
  if (!ObtainBitmap(state, target, w, h)) return false;
  if (!BuildRowTable(state, h)) return false;
  png_read_image(state->png, state->rows);
  return true;
}

// libpng delivered the bytes alpha, red, green, blue; the pixel word wants
// alpha in the top byte.
void ArgbBytesToWords(RBitmap* bitmap) {
  const RPixelView view = RPixelView::Of(bitmap);
  for (int32_t y = 0; y < view.height; ++y) {
    uint32_t* row = view.Row(y);
    for (int32_t x = 0; x < view.width; ++x) {
      const auto* b = reinterpret_cast<const uint8_t*>(row + x);
      row[x] = static_cast<uint32_t>(b[0]) << 24 | static_cast<uint32_t>(b[1]) << 16 |
               static_cast<uint32_t>(b[2]) << 8 | b[3];
    }
  }
}

}  // namespace

RBitmap* Raster_DecodePng(const RPngSource& source, RBitmap* target) {
  if (!source.read && !source.file) return nullptr;
  DecodeState state;
  state.png = png_create_read_struct(kPngVersion, nullptr, &EndDecodeOnPngError, &IgnorePngWarning);
  if (!state.png) return nullptr;
  RelaxChecksumsForFuzzing(state.png);
  state.info = png_create_info_struct(state.png);
  if (!state.info) {
    png_destroy_read_struct(&state.png, nullptr, nullptr);
    return nullptr;
  }
  const bool decoded = DecodeInto(&state, &source, target);
  png_destroy_read_struct(&state.png, &state.info, nullptr);
  if (decoded) ArgbBytesToWords(state.bitmap);
  std::free(state.rows);
  if (decoded) return state.bitmap;
  delete state.created;
  return nullptr;
}
