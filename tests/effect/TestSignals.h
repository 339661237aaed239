// Reproducible test signals and processor set-up shared by the effect tests.
#pragma once

#include <cstdint>
#include <vector>

#include "effect/DerivedQuantities.h"
#include "effect/TwoBandProcessor.h"
#include "tests/effect/ProductTable.h"

// Uniform noise in [-amplitude, amplitude) from a fixed linear congruential
// sequence, so every run and platform sees the same samples.
inline std::vector<double> Noise(size_t frames, uint32_t seed, double amplitude = 0.8) {
  std::vector<double> samples(frames);
  uint32_t state = seed;
  for (double& s : samples) {
    state = state * 1664525u + 1013904223u;
    s = amplitude * (static_cast<double>(state >> 8) / 8388608.0 - 1.0);
  }
  return samples;
}

// A processor with every parameter applied, at the given rate.
inline TwoBandProcessor ConfiguredProcessor(const product::Values& values, double rate = 44100.0) {
  TwoBandProcessor p;
  for (int32_t i = 0; i < 9; ++i) ApplyParameterToProcessor(i, values[i], p);
  p.ApplySampleRate(rate);
  return p;
}

// Runs a stereo signal through the processor in blocks of blockFrames. Like
// the effect, it applies the host's rate before the first block.
struct StereoRun {
  std::vector<double> left;
  std::vector<double> right;
};

inline StereoRun RunInBlocks(TwoBandProcessor& p, const std::vector<double>& left,
                             const std::vector<double>& right, size_t blockFrames,
                             double rate = 44100.0) {
  StereoRun out{std::vector<double>(left.size()), std::vector<double>(right.size())};
  if (!p.coefficientsReady) p.ApplySampleRate(rate);
  for (size_t start = 0; start < left.size(); start += blockFrames) {
    const size_t frames = left.size() - start < blockFrames ? left.size() - start : blockFrames;
    const double* inputs[2] = {left.data() + start, right.data() + start};
    double* outputs[2] = {out.left.data() + start, out.right.data() + start};
    p.ProcessBlock(inputs, outputs, static_cast<int32_t>(frames));
  }
  return out;
}
