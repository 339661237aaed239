// For the units compiled for AVX and later that hand work to baseline SSE
// code, theirs or the host's. While the upper halves of the AVX registers are
// in use, every legacy SSE instruction pays for them: a host summing each
// block into its bus with SSE2 after processReplacing measured 530 against
// 361 ns per 64-frame block.
//
// The compiler clears them on its own before most calls and returns, but not
// everywhere: not after an operand it reads straight from memory, and not
// before a call to a function it can see that keeps some vector registers
// intact (interprocedural register allocation, which link-time optimisation
// extends across the whole module). So the units clear them themselves, and
// scripts/check-upper-state checks the built modules for any function that
// still leaves them in use.
#pragma once

#if defined(__AVX__)

#include <immintrin.h>

namespace {

// Internal linkage: each instruction-set unit keeps its own copy.
inline void ClearUpperRegisterHalves() { _mm256_zeroupper(); }

}  // namespace

#endif
