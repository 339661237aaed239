// level_match: a copy of a render at the input's integrated loudness (EBU
// R 128, libebur128), so that programs can be compared by ear without the
// louder one winning. Writes 32-bit float WAV, which keeps what goes over
// full scale, and prints "GAIN_dB RENDER_LUFS REFERENCE_LUFS".
// A silent file (no measurable loudness) is copied unchanged (gain 0).
//   level_match REFERENCE RENDER OUTPUT.wav
#include "tools/demo/AudioFile.h"
#include "tools/demo/Loudness.h"

#include <cmath>
#include <cstdio>

int main(int argc, char** argv) {
  constexpr const char* kTool = "level_match";
  if (argc != 4) {
    std::fprintf(stderr, "Usage: level_match REFERENCE RENDER OUTPUT.wav\n");
    return 2;
  }
  demo::AudioData reference;
  demo::AudioData render;
  if (!demo::ReadAudioFile(argv[1], kTool, reference) ||
      !demo::ReadAudioFile(argv[2], kTool, render)) {
    return 1;
  }
  const double target =
      demo::IntegratedLoudness(reference.samples, reference.channels, reference.sampleRate);
  const double loudness =
      demo::IntegratedLoudness(render.samples, render.channels, render.sampleRate);
  const double gainDb = std::isfinite(target) && std::isfinite(loudness) ? target - loudness : 0.0;
  const double gain = std::pow(10.0, gainDb / 20.0);
  for (double& x : render.samples) {
    x *= gain;
  }
  if (!demo::WriteFloatWav(argv[3], kTool, render)) {
    return 1;
  }
  std::printf("%.2f %.2f %.2f\n", gainDb, loudness, target);
  return 0;
}
