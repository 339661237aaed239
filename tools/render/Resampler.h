// Streaming sample-rate conversion (libsoxr) for oversampled renders.
#pragma once

#include <cstdint>
#include <vector>

struct soxr;

namespace render {

// A streaming sample-rate converter for interleaved frames (libsoxr, very
// high quality, linear phase). Its output is aligned with its input: soxr
// holds back the filter's delay itself, and after Finish the output has
// exactly the input's length times the rate ratio, so a round trip keeps
// every event at its frame.
template <typename T>
class Resampler {
 public:
  // Throws RenderError when soxr cannot make the converter.
  Resampler(double inputRate, double outputRate, int channels);
  ~Resampler();
  Resampler(const Resampler&) = delete;
  Resampler& operator=(const Resampler&) = delete;

  // Takes every frame given and appends to `out` what is ready.
  void Process(const T* interleaved, int64_t frames, std::vector<T>& out);
  // Appends the rest once the input has ended.
  void Finish(std::vector<T>& out);

 private:
  void Run(const T* interleaved, int64_t frames, std::vector<T>& out);

  soxr* soxr_ = nullptr;
  int channels_;
  double ratio_;
};

}  // namespace render
