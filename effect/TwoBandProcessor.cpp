#include "effect/TwoBandProcessor.h"

#include "effect/PortableTan.h"
#include "effect/TwoBandFrames.h"

#include <cmath>
#include <numbers>

namespace {

// The crossover's frequency stays below half the sample rate; at or above it
// the bilinear low-pass turns unstable. For 44.1 kHz and above no setting of
// the parameter reaches the limit.
constexpr double kHighestSplitRatio = 0.49;

BandConstants WidenBand(const TwoBandProcessor::Band& band) {
  return {static_cast<double>(band.drive + 1.0f), static_cast<double>(band.drive),
          static_cast<double>(band.gain), static_cast<double>(1.0f - band.round),
          static_cast<double>(band.round)};
}

}  // namespace

bool IsUsableSampleRate(double rate) { return rate > 0.0 && std::isfinite(rate); }

void TwoBandProcessor::UpdateFilterCoefficients() {
  const double fs = filterSampleRate;
  if (!IsUsableSampleRate(fs)) return;
  double f = static_cast<double>(splitFrequency);
  const double highest = fs * kHighestSplitRatio;
  if (f > highest) f = highest;
  const double d = static_cast<double>(damping);
  const double w = PortableTan(f / fs * std::numbers::pi);
  const double a = 1.0 / w;
  coefIn = 1.0 / ((d + a) * a + 1.0);
  coefB1 = (1.0 - a * a) * coefIn * 2.0;
  coefB2 = ((a - d) * a + 1.0) * coefIn;
}

void TwoBandProcessor::ApplySampleRate(double rate) {
  if (!IsUsableSampleRate(rate)) return;
  if (rate != filterSampleRate) {
    filterSampleRate = rate;
    UpdateFilterCoefficients();
  }
}

void TwoBandProcessor::PrepareFirstBlock() {
  coefficientsReady = true;
  if (!IsUsableSampleRate(filterSampleRate)) filterSampleRate = kFallbackSampleRate;
  UpdateFilterCoefficients();
}

void TwoBandProcessor::ClearState() {
  for (int32_t channel = 0; channel < kChannels; ++channel) ClearChannel(channel);
}

void TwoBandProcessor::ClearChannel(int32_t channel) {
  smoothLow[channel] = 0.0;
  smoothHigh[channel] = 0.0;
  filter[channel] = FilterState{};
}

// A NaN or infinity in the state would otherwise keep the channel producing
// NaN for ever, since the silence test can no longer fire.
void TwoBandProcessor::ClearChannelIfNotFinite(int32_t channel) {
  if (std::isfinite(filter[channel].filterZ1) && std::isfinite(filter[channel].filterZ2) &&
      std::isfinite(smoothLow[channel]) && std::isfinite(smoothHigh[channel])) {
    return;
  }
  ClearChannel(channel);
}

void TwoBandProcessor::ProcessBlock(const double* const* inputs, double* const* outputs,
                                    int32_t frames) {
  ProcessBlockWith(fastestLoop, inputs, outputs, frames);
}

void TwoBandProcessor::ProcessBlockWith(TwoBandFrameLoop loop, const double* const* inputs,
                                        double* const* outputs, int32_t frames) {
  if (frames <= 0 || inputs == nullptr || outputs == nullptr) return;
  const double* inLeft = inputs[0];
  const double* inRight = inputs[1];
  double* outLeft = outputs[0];
  double* outRight = outputs[1];
  if (inLeft == nullptr || inRight == nullptr || outLeft == nullptr || outRight == nullptr) return;

  if (!coefficientsReady) PrepareFirstBlock();

  const BlockConstants c{coefIn,
                         coefB1,
                         coefB2,
                         static_cast<double>(dryLevel),
                         static_cast<double>(wetLevel),
                         WidenBand(low),
                         WidenBand(high)};
  ChannelState left{filter[0].filterZ2, filter[0].filterZ1, smoothLow[0], smoothHigh[0]};
  ChannelState right{filter[1].filterZ2, filter[1].filterZ1, smoothLow[1], smoothHigh[1]};

  loop({inLeft, inRight, outLeft, outRight, frames}, c, left, right);

  filter[0] = {left.filterZ2, left.filterZ1};
  smoothLow[0] = left.smoothLow;
  smoothHigh[0] = left.smoothHigh;
  filter[1] = {right.filterZ2, right.filterZ1};
  smoothLow[1] = right.smoothLow;
  smoothHigh[1] = right.smoothHigh;
  ClearChannelIfNotFinite(0);
  ClearChannelIfNotFinite(1);
}
