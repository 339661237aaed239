// Writes small PNG files in memory with libpng, for the decoder tests and
// the fuzzing seed corpus.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PngTestImage {
  int width = 1;
  int height = 1;
  int bitDepth = 8;
  int colourType = 0;  // PNG colour type: 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA
  bool interlaced = false;
  // Rows exactly as PNG stores them (packed samples, 16-bit big-endian),
  // height rows of RowBytes() each.
  std::vector<uint8_t> rows;
  std::vector<uint8_t> paletteRgb;    // 3 bytes per entry
  std::vector<uint8_t> paletteAlpha;  // tRNS for palette images
  bool hasTransparentColour = false;  // tRNS for grey or RGB images
  uint16_t transparentGrey = 0, transparentRed = 0, transparentGreen = 0, transparentBlue = 0;

  int Channels() const;
  size_t RowBytes() const;
};

std::vector<uint8_t> EncodePng(const PngTestImage& image);

// One image of every colour type and depth the loader handles, interlaced
// variants included, each named for the seed file it becomes.
struct NamedPng {
  std::string name;
  std::vector<uint8_t> bytes;
};
std::vector<NamedPng> PngSampleSet();
