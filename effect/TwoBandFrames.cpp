#include "effect/TwoBandFrames.h"

#include <cmath>

namespace {

inline double ShapeBand(double band, const BandConstants& c, double& smooth) {
  double s = c.drivePlusOne * band / (std::fabs(band) * c.drive + 1.0);
  s = s * c.gain * c.oneMinusRound + c.round * smooth;
  smooth = s;
  return s;
}

inline bool IsSilent(double x, const ChannelState& state) {
  return std::fabs(x) <= kSilence && std::fabs(state.filterZ1) <= kSilence &&
         std::fabs(state.filterZ2) <= kSilence;
}

inline double ProcessSample(double x, const BlockConstants& c, ChannelState& state) {
  if (IsSilent(x, state)) return 0.0;
  const double v = x * c.coefIn - (state.filterZ2 * c.coefB2 + state.filterZ1 * c.coefB1);
  const double low = (state.filterZ1 * 2.0 + v) + state.filterZ2;
  state.filterZ2 = state.filterZ1;
  state.filterZ1 = v;
  const double high = x - low;
  const double yL = ShapeBand(low, c.low, state.smoothLow);
  const double yH = ShapeBand(high, c.high, state.smoothHigh);
  return c.dry * x + c.wet * (yH + yL);
}

}  // namespace

// Left then right for each frame, reading each input sample before its output
// is written, so any aliasing of the arrays behaves as sample-by-sample
// processing would.
void ProcessFramesScalar(const StereoFrames& f, const BlockConstants& c, ChannelState& left,
                         ChannelState& right) {
  for (int32_t i = 0; i < f.count; ++i) {
    const double xLeft = f.inLeft[i];
    f.outLeft[i] = ProcessSample(xLeft, c, left);
    const double xRight = f.inRight[i];
    f.outRight[i] = ProcessSample(xRight, c, right);
  }
}

TwoBandFrameLoop FrameLoopFor(CpuLevel level) {
  TwoBandFrameLoop table = ProcessFramesSse2;
  if (level >= CpuLevel::kAvx) InstallAvxFrameLoop(table);
  return table;
}

TwoBandFrameLoop FastestFrameLoop() {
  static const TwoBandFrameLoop table = FrameLoopFor(Platform_CpuLevel());
  return table;
}
