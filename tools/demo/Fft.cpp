#include "tools/demo/Fft.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace demo {

void Fft(std::vector<std::complex<double>>& data) {
  const size_t n = data.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) {
      j ^= bit;
    }
    j ^= bit;
    if (i < j) {
      std::swap(data[i], data[j]);
    }
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    const double angle = -2.0 * std::numbers::pi / static_cast<double>(len);
    for (size_t start = 0; start < n; start += len) {
      for (size_t k = 0; k < len / 2; ++k) {
        const std::complex<double> w = std::polar(1.0, angle * static_cast<double>(k));
        const std::complex<double> a = data[start + k];
        const std::complex<double> b = data[start + k + len / 2] * w;
        data[start + k] = a + b;
        data[start + k + len / 2] = a - b;
      }
    }
  }
}

}  // namespace demo
