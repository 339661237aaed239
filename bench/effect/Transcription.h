// The baseline the processor is measured against: the block processing
// transcribed straight from its formulas, one channel after the other in
// each frame, reading the quantities where they are used and widening the
// single-precision ones on the spot. Its output equals the processor's.
#pragma once

#include <cmath>
#include <cstdint>

#include "effect/TwoBandProcessor.h"

struct Transcription {
  explicit Transcription(const TwoBandProcessor& p) : q(p) {}

  void ProcessBlock(const double* const* inputs, double* const* outputs, int32_t frames) {
    for (int32_t i = 0; i < frames; ++i) {
      for (int c = 0; c < 2; ++c) {
        const double x = inputs[c][i];
        double& z1 = q.filter[c].filterZ1;
        double& z2 = q.filter[c].filterZ2;
        if (std::fabs(x) <= 1e-15 && std::fabs(z1) <= 1e-15 && std::fabs(z2) <= 1e-15) {
          outputs[c][i] = 0.0;
          continue;
        }
        const double v = x * q.coefIn - (z2 * q.coefB2 + z1 * q.coefB1);
        const double low = (z1 * 2.0 + v) + z2;
        z2 = z1;
        z1 = v;
        const double high = x - low;
        double yL = (double)(q.low.drive + 1.0f) * low / (std::fabs(low) * q.low.drive + 1.0);
        yL = yL * q.low.gain * (double)(1.0f - q.low.round) + q.low.round * q.smoothLow[c];
        q.smoothLow[c] = yL;
        double yH = (double)(q.high.drive + 1.0f) * high / (std::fabs(high) * q.high.drive + 1.0);
        yH = yH * q.high.gain * (double)(1.0f - q.high.round) + q.high.round * q.smoothHigh[c];
        q.smoothHigh[c] = yH;
        outputs[c][i] = q.dryLevel * x + q.wetLevel * (yH + yL);
      }
    }
  }

  TwoBandProcessor q;  // a copy of the processor's quantities and state
};
