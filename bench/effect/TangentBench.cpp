// Cost of the tangent behind the crossover's coefficients, computed once per
// change of Split Freq or Damping: the effect's own, the same bits on every
// platform, against the C library's tan. A split of 1 kHz at 48 kHz takes 9
// Taylor terms, 20 kHz the most the crossover uses.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>

#include "effect/PortableTan.h"

namespace {

constexpr double kRate = 48000.0;

double LibraryTan(double x) { return std::tan(x); }

template <double (*Tangent)(double)>
void BM_CrossoverTangent(benchmark::State& state) {
  double hz = static_cast<double>(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(hz);
    benchmark::DoNotOptimize(Tangent(hz / kRate * std::numbers::pi));
  }
}

BENCHMARK_TEMPLATE(BM_CrossoverTangent, PortableTan)->Arg(1000)->Arg(20000);
BENCHMARK_TEMPLATE(BM_CrossoverTangent, LibraryTan)->Arg(1000)->Arg(20000);

}  // namespace
