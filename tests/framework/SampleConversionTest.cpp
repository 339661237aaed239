// Every unit of the sample conversions against a conversion of each sample, bit
// for bit, over values that round, overflow, underflow or are not numbers,
// at every length around the vector width and at unaligned starts on both
// sides.
#include "framework/SampleConversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

template <typename T>
uint64_t Bits(T v) {
  uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof v);
  return bits;
}

template <typename T>
void ExpectSameBits(const std::vector<T>& actual, const std::vector<T>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t j = 0; j < actual.size(); ++j)
    ASSERT_EQ(Bits(actual[j]), Bits(expected[j])) << "sample " << j;
}

std::vector<double> AwkwardDoubles(size_t count) {
  const double specials[] = {0.0,
                             -0.0,
                             1.0 + 0x1p-24,  // half-way between two floats: to even
                             1.0 + 0x1p-24 + 0x1p-40,
                             -(1.0 + 3 * 0x1p-24),
                             3.5e38,  // beyond the float range
                             -1e300,
                             1e-40,  // a float denormal
                             1e-50,  // below every float
                             std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::denorm_min()};
  std::mt19937_64 random(5);
  std::vector<double> values(count);
  for (size_t j = 0; j < count; ++j) {
    const uint64_t r = random();
    double noise;
    std::memcpy(&noise, &r, sizeof noise);
    values[j] = j % 3 == 0 ? specials[r % std::size(specials)]
                           : (j % 3 == 1 ? noise : std::ldexp(double(r >> 11), -60));
  }
  return values;
}

TEST(SampleConversion, EveryFormMatchesPerSampleConversion) {
  for (int32_t level = 0; level <= static_cast<int32_t>(Platform_CpuLevel()); ++level) {
    const SampleConverters table = SampleConvertersFor(static_cast<CpuLevel>(level));
    const SampleConverters* unit = &table;
    for (int32_t count = 0; count <= 27; ++count) {
      for (int32_t start = 0; start < 3; ++start) {
        const std::vector<double> doubles = AwkwardDoubles(count + start);
        std::vector<float> floats(count + start);
        for (size_t j = 0; j < floats.size(); ++j) floats[j] = static_cast<float>(doubles[j] * 0.7);

        // Every position of the doubles against a 32-byte boundary.
        for (int32_t shift = 0; shift < 4; ++shift) {
          std::vector<double> widened(count + shift), widenedExpected(count + shift);
          unit->widen(floats.data() + start, widened.data() + shift, count);
          for (int32_t j = 0; j < count; ++j) widenedExpected[shift + j] = floats[start + j];
          ExpectSameBits(widened, widenedExpected);
        }

        std::vector<float> narrowed(count), narrowedExpected(count);
        unit->narrow(doubles.data() + start, narrowed.data(), count);
        for (int32_t j = 0; j < count; ++j)
          narrowedExpected[j] = static_cast<float>(doubles[start + j]);
        ExpectSameBits(narrowed, narrowedExpected);

        std::vector<float> added(floats.begin() + start, floats.end()), addedExpected = added;
        unit->addNarrowed(doubles.data() + start, added.data(), count);
        for (int32_t j = 0; j < count; ++j)
          addedExpected[j] = addedExpected[j] + static_cast<float>(doubles[start + j]);
        ExpectSameBits(added, addedExpected);
      }
    }
  }
}

}  // namespace
