#pragma once

#include <complex>
#include <vector>

namespace demo {

// In-place radix-2 FFT; the size must be a power of two.
void Fft(std::vector<std::complex<double>>& data);

}  // namespace demo
