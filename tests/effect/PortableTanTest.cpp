#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "effect/PortableTan.h"

namespace {

double CrossoverArgument(double hz, double rate) { return hz / rate * std::numbers::pi; }

// Correctly rounded results (from quadruple precision), among them
// arguments where glibc's tan or musl's is one bit off.
TEST(PortableTan, GivesTheCorrectlyRoundedTangent) {
  struct Case {
    double hz;
    double rate;
    uint64_t bits;
  };
  for (const Case& c :
       {Case{1000, 44100, 0x3fb24490009bf7b0}, Case{906, 44100, 0x3fb08badce652189},
        Case{563, 44100, 0x3fa48bb81addd639}, Case{278, 11025, 0x3fb4526ca0626dad},
        Case{20000, 48000, 0x400ddb3d742c2656}, Case{20, 192000, 0x3f357254cfa1b566},
        Case{3920, 8000, 0x403fd20d55634e11}}) {
    SCOPED_TRACE(testing::Message() << c.hz << " Hz at " << c.rate);
    EXPECT_EQ(std::bit_cast<uint64_t>(PortableTan(CrossoverArgument(c.hz, c.rate))), c.bits);
  }
}

// Across the crossover's whole range: never more than one bit from the C
// library's tan, and odd.
TEST(PortableTan, AgreesWithTheLibraryWithinOneBit) {
  for (const double rate : {8000.0, 44100.0, 96000.0}) {
    for (double hz = 20; hz <= 0.49 * rate; hz += 7) {
      const double x = CrossoverArgument(hz, rate);
      const double t = PortableTan(x);
      ASSERT_LE(std::fabs(t - std::tan(x)), std::nextafter(t, INFINITY) - t)
          << hz << " Hz at " << rate;
      ASSERT_EQ(PortableTan(-x), -t);
    }
  }
}

}  // namespace
