// The per-frame work of the two-band shaper over the frames of one block, in
// one unit per instruction set beside the scalar reference. Every unit gives
// the scalar unit's output bit for bit (the differential tests check this);
// they differ only in speed.
#pragma once

#include <cstdint>

#include "platform/CpuLevel.h"

// Below this, input and filter state count as silence: the channel then
// outputs exact zeros and freezes, so the recursion never reaches denormals.
inline constexpr double kSilence = 1e-15;

// The widened shaping quantities of one band, fixed for a whole block.
struct BandConstants {
  double drivePlusOne;  // formed in single precision, then widened
  double drive;
  double gain;
  double oneMinusRound;  // formed in single precision, then widened
  double round;
};

struct BlockConstants {
  double coefIn;
  double coefB1;
  double coefB2;
  double dry;
  double wet;
  BandConstants low;
  BandConstants high;
};

// One channel's state, held in locals for the length of a block.
struct ChannelState {
  double filterZ2;
  double filterZ1;
  double smoothLow;
  double smoothHigh;
};

// The samples of one block. An output may be the same array as any input.
struct StereoFrames {
  const double* inLeft;
  const double* inRight;
  double* outLeft;
  double* outRight;
  int32_t count;
};

// Processes every frame, left then right, each channel with its own state.
// Audio thread, plug-in lock held; allocates nothing.
using TwoBandFrameLoop = void (*)(const StereoFrames& frames, const BlockConstants& constants,
                                  ChannelState& left, ChannelState& right);

// The formulas as written, one sample at a time: the reference.
void ProcessFramesScalar(const StereoFrames& frames, const BlockConstants& constants,
                         ChannelState& left, ChannelState& right);
// Both channels of a frame in the two lanes of an SSE2 register; the scalar
// loop where the build has no SSE2.
void ProcessFramesSse2(const StereoFrames& frames, const BlockConstants& constants,
                       ChannelState& left, ChannelState& right);

// Puts the AVX unit, both channels on two lanes and both bands on four, in
// the table's place; leaves it where the build has no AVX.
void InstallAvxFrameLoop(TwoBandFrameLoop& table);

// The loop for a level: the SSE2 unit, then each level's over it (the tests
// hold every level the processor runs to the scalar loop).
TwoBandFrameLoop FrameLoopFor(CpuLevel level);

// The fastest unit this build and processor support, chosen once.
TwoBandFrameLoop FastestFrameLoop();
