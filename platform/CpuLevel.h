// The processor's vector instruction sets, read once for the whole module.
// Each library keeps one table of its vector units (the sample conversions,
// the frame loop, the pixel rows), filled once from this level: the baseline
// unit first, then each level's unit over the entries it has, as far as the
// processor goes. The units themselves never ask the processor.
#pragma once

#include <cstdint>

// Each level implies the ones below it: a virtual machine may report a later
// set without an earlier one, and the units compiled for a later set use the
// earlier ones' instructions too, so such a report stops at the gap.
enum class CpuLevel : int32_t {
  kBaseline,  // what the build targets: SSE2 on x86-64, plain code elsewhere
  kAvx,
  kAvx2,
  kAvx512,  // F, BW and VNNI, the subsets the pixel rows use
};

// The highest level the processor runs. Read on the first call, which the
// module makes when a plug-in is constructed, never on the audio thread.
CpuLevel Platform_CpuLevel();
