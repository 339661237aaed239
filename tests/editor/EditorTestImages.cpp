#include "tests/editor/EditorTestImages.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>

#include "tests/raster/PngTestWriter.h"

namespace {

struct Rgba {
  uint8_t r, g, b, a;
};

// Coverage of a disc (or, with inner > 0, a ring) at pixel (x, y), with a
// one-pixel soft edge.
double Coverage(int x, int y, double cx, double cy, double outer, double inner = 0.0) {
  const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
  const auto clamp = [](double v) { return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v); };
  double c = clamp(outer + 0.5 - d);
  if (inner > 0.0) c *= clamp(d - inner + 0.5);
  return c;
}

PngTestImage Image(int width, int height, const std::function<Rgba(int, int)>& pixel) {
  PngTestImage image;
  image.width = width;
  image.height = height;
  image.colourType = 6;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgba p = pixel(x, y);
      image.rows.insert(image.rows.end(), {p.r, p.g, p.b, p.a});
    }
  }
  return image;
}

uint8_t Alpha(double coverage) { return static_cast<uint8_t>(std::lround(coverage * 255.0)); }

// A dark cap of radius r at (cx, cy) with a light dot near its top edge.
Rgba KnobCap(int x, int y, double cx, double cy, double r) {
  const double dot = Coverage(x, y, cx, cy - r + 6.0, 3.0);
  const double cap = Coverage(x, y, cx, cy, r);
  const auto mix = [dot](int dark, int light) {
    return static_cast<uint8_t>(std::lround(dark + (light - dark) * dot));
  };
  return {mix(58, 235), mix(62, 235), mix(74, 225), Alpha(cap)};
}

void WriteFile(const std::filesystem::path& path, const PngTestImage& image) {
  const std::vector<uint8_t> bytes = EncodePng(image);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

void WriteTestImages(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder / "img");
  WriteFile(folder / "img/bg.png", Image(488, 282, [](int x, int y) {
              return Rgba{static_cast<uint8_t>(30 + x * 40 / 488),
                          static_cast<uint8_t>(34 + y * 30 / 282), 48, 255};
            }));
  WriteFile(folder / "img/knob.png",
            Image(42, 42, [](int x, int y) { return KnobCap(x, y, 21.0, 21.0, 20.0); }));
  WriteFile(folder / "img/knob2.png", Image(104, 52, [](int x, int y) {
              if (x < 52) return KnobCap(x, y, 26.0, 26.0, 19.0);
              return Rgba{200, 204, 214, Alpha(Coverage(x, y, 78.0, 26.0, 20.5, 18.5))};
            }));
  WriteFile(
      folder / "img/slider.png", Image(16, 16, [](int x, int y) {
        const double dx = (x + 0.5 - 8.0) / 7.5, dy = (y + 0.5 - 8.0) / 5.5;
        const double inside = 1.0 - std::sqrt(dx * dx + dy * dy);
        return Rgba{34, 36, 42, Alpha(inside <= 0.0 ? 0.0 : (inside > 0.15 ? 1.0 : inside / 0.15))};
      }));
}

// A folder of this process's own, removed when the process ends, so test
// runs in parallel never read each other's half-written files.
struct ImageFolder {
  ImageFolder() {
    std::random_device seed;
    path = std::filesystem::temp_directory_path() /
           ("dm-editor-images-" + std::to_string(seed()) + std::to_string(seed()));
    WriteTestImages(path);
    text = path.string();
  }
  ~ImageFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::filesystem::path path;
  std::string text;
};

}  // namespace

const std::string& TestImageFolder() {
  static const ImageFolder folder;
  return folder.text;
}
