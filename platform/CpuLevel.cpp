#include "platform/CpuLevel.h"

namespace {

CpuLevel ReadCpuLevel() {
#if defined(__x86_64__) || defined(__i386__)
  // The runtime fills what __builtin_cpu_supports reads when the module
  // loads; initialising again is harmless and covers a call made earlier.
  __builtin_cpu_init();
  if (!__builtin_cpu_supports("avx")) return CpuLevel::kBaseline;
  if (!__builtin_cpu_supports("avx2")) return CpuLevel::kAvx;
  if (!__builtin_cpu_supports("avx512f") || !__builtin_cpu_supports("avx512bw") ||
      !__builtin_cpu_supports("avx512vnni"))
    return CpuLevel::kAvx2;
  return CpuLevel::kAvx512;
#else
  return CpuLevel::kBaseline;
#endif
}

}  // namespace

CpuLevel Platform_CpuLevel() {
  static const CpuLevel level = ReadCpuLevel();
  return level;
}
