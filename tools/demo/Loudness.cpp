#include "tools/demo/Loudness.h"

#include <ebur128.h>

#include <cmath>
#include <limits>

namespace demo {

double IntegratedLoudness(const std::vector<double>& interleaved, int channels, int sampleRate) {
  constexpr double kSilence = -std::numeric_limits<double>::infinity();
  ebur128_state* state = ebur128_init(static_cast<unsigned>(channels),
                                      static_cast<unsigned long>(sampleRate), EBUR128_MODE_I);
  if (!state) {
    return kSilence;
  }
  double lufs = kSilence;
  const size_t frames = interleaved.size() / static_cast<size_t>(channels);
  if (ebur128_add_frames_double(state, interleaved.data(), frames) != EBUR128_SUCCESS ||
      ebur128_loudness_global(state, &lufs) != EBUR128_SUCCESS || !std::isfinite(lufs)) {
    lufs = kSilence;
  }
  ebur128_destroy(&state);
  return lufs;
}

}  // namespace demo
