// The audio heart of the effect: each channel is split by a second-order
// low-pass into a low band and the remainder, each band is driven through a
// saturating shaper, scaled and smoothed, and the sum is mixed with the dry
// input. Signal values, filter states and coefficients are double precision;
// the shaping quantities are single precision and widened where they meet the
// signal, so the output is the same on every platform and block size.
#pragma once

#include "effect/TwoBandFrames.h"

#include <cstdint>

// The sample rate assumed when neither the host nor an earlier call gave a
// usable one.
inline constexpr double kFallbackSampleRate = 44100.0;

// Zero, negative and non-finite rates would make the crossover meaningless.
bool IsUsableSampleRate(double rate);

struct TwoBandProcessor {
  // Crossover filter state of one channel, direct form II: the internal
  // value of two samples ago and of the previous sample.
  struct FilterState {
    double filterZ2 = 0.0;
    double filterZ1 = 0.0;
  };

  // The shaping quantities of one band, single precision.
  struct Band {
    float drive = 0.0f;
    float driveComp = 0.0f;  // lowers the band's level as drive rises
    float level = 0.0f;
    float gain = 0.0f;  // always driveComp * level
    float round = 0.0f;
  };

  static constexpr int32_t kChannels = 2;

  // Recomputes the crossover coefficients from splitFrequency, damping and
  // filterSampleRate. Leaves them alone while no usable rate is known.
  void UpdateFilterCoefficients();

  // Takes a new sample rate for the coefficients; the states carry over.
  // Unusable rates are ignored. The only way a rate reaches the processor.
  void ApplySampleRate(double rate);

  // Processes frames of the two channels; inputs and outputs hold a left and
  // a right pointer, and an output may be the same array as its input.
  // The very first block computes the coefficients, at kFallbackSampleRate
  // when no usable rate was applied before it.
  void ProcessBlock(const double* const* inputs, double* const* outputs, int32_t frames);
  // The same with a chosen unit of the frame loop (the tests compare them).
  void ProcessBlockWith(TwoBandFrameLoop loop, const double* const* inputs, double* const* outputs,
                        int32_t frames);

  // Zeroes the filter and smoothing state of both channels.
  void ClearState();

  double filterSampleRate = 0.0;
  double smoothLow[kChannels] = {};
  double smoothHigh[kChannels] = {};
  FilterState filter[kChannels] = {};
  double coefIn = 0.0;
  double coefB1 = 0.0;
  double coefB2 = 0.0;
  Band low;
  Band high;
  float damping = 0.0f;
  float dryLevel = 0.0f;
  float wetLevel = 0.0f;
  uint16_t splitFrequency = 0;
  bool coefficientsReady = false;

 private:
  // Chosen when the processor is made, not in every block.
  TwoBandFrameLoop fastestLoop = FastestFrameLoop();

  void PrepareFirstBlock();
  void ClearChannel(int32_t channel);
  void ClearChannelIfNotFinite(int32_t channel);
};
