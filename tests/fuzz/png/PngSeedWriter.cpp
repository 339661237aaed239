// Writes the PNG fuzzing seed corpus: one small image per colour type and
// depth (grey 1-16 bit, palette with and without tRNS, RGB, RGBA 8/16,
// interlaced). Usage: png_seed_writer DIRECTORY
#include "tests/raster/PngTestWriter.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
    return 2;
  }
  int written = 0;
  for (const NamedPng& png : PngSampleSet()) {
    std::ofstream out(std::string(argv[1]) + "/" + png.name + ".png", std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.bytes.data()),
              static_cast<std::streamsize>(png.bytes.size()));
    if (!out) {
      std::fprintf(stderr, "cannot write %s\n", png.name.c_str());
      return 1;
    }
    ++written;
  }
  std::printf("%d seed images\n", written);
  return 0;
}
