#include "tools/render/Resampler.h"

#include "tools/render/RenderError.h"

#include <soxr.h>

#include <cmath>
#include <string>
#include <type_traits>

namespace render {

template <typename T>
Resampler<T>::Resampler(double inputRate, double outputRate, int channels)
    : channels_(channels), ratio_(outputRate / inputRate) {
  constexpr soxr_datatype_t kType = std::is_same_v<T, float> ? SOXR_FLOAT32_I : SOXR_FLOAT64_I;
  const soxr_io_spec_t io = soxr_io_spec(kType, kType);
  const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, SOXR_LINEAR_PHASE);
  // One thread: the render is a single-threaded host, and soxr's OpenMP
  // workers would only contend with the plug-in on a busy machine.
  const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
  soxr_error_t error = nullptr;
  soxr_ = soxr_create(inputRate, outputRate, static_cast<unsigned>(channels), &error, &io, &quality,
                      &runtime);
  if (error) {
    soxr_delete(soxr_);
    throw RenderError("cannot resample from " + std::to_string(inputRate) + " Hz to " +
                      std::to_string(outputRate) + " Hz: " + error);
  }
}

template <typename T>
Resampler<T>::~Resampler() {
  soxr_delete(soxr_);
}

template <typename T>
void Resampler<T>::Process(const T* interleaved, int64_t frames, std::vector<T>& out) {
  if (frames > 0) {
    Run(interleaved, frames, out);
  }
}

template <typename T>
void Resampler<T>::Finish(std::vector<T>& out) {
  Run(nullptr, 0, out);
}

// With room for all the input can give, soxr takes all of it in one call;
// the loop only guards against a converter that holds some back. At the end
// (no input) it runs until nothing more comes out.
template <typename T>
void Resampler<T>::Run(const T* interleaved, int64_t frames, std::vector<T>& out) {
  const size_t channels = static_cast<size_t>(channels_);
  size_t taken = 0;
  const size_t total = static_cast<size_t>(frames);
  for (;;) {
    const size_t have = out.size() / channels;
    const size_t room =
        static_cast<size_t>(std::ceil(static_cast<double>(total - taken) * ratio_)) + 4096;
    out.resize((have + room) * channels);
    size_t used = 0;
    size_t made = 0;
    const soxr_error_t error =
        soxr_process(soxr_, interleaved ? interleaved + taken * channels : nullptr, total - taken,
                     &used, out.data() + have * channels, room, &made);
    out.resize((have + made) * channels);
    if (error) {
      throw RenderError(std::string("resampling failed: ") + error);
    }
    taken += used;
    const bool finished = interleaved ? taken == total || (used == 0 && made == 0) : made == 0;
    if (finished) {
      return;
    }
  }
}

template class Resampler<float>;
template class Resampler<double>;

}  // namespace render
