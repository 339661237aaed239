// Sample rate, block size and processing on/off: each lets the effect pick
// up the current rate.
#include <algorithm>

#include "vst/IEffectVST.h"

intptr_t IEffectVST::DispatchProcessingSetup(int32_t opcode, intptr_t value, float opt) {
  switch (opcode) {
    case effSetSampleRate:
      StoreSampleRate(static_cast<double>(opt));
      ApplySampleRate();
      break;
    case effSetBlockSize:
      // A size of zero or less announces nothing usable: the buffers stay.
      if (value > 0)
        PrepareForBlockSize(static_cast<int32_t>(std::min<intptr_t>(value, kMaxScratchFrames)));
      ApplySampleRate();
      break;
    case effMainsChanged:
      if (value != 0) {
        ProcessingSwitched(true);
      } else {
        ProcessingSwitched(false);
        ApplySampleRate();
      }
      break;
    default:
      break;
  }
  return 0;
}
