// Integrated loudness (EBU R 128) of a render, for the level-matched copies.
#pragma once

#include <vector>

namespace demo {

// Integrated loudness after ITU-R BS.1770 / EBU R 128 (libebur128), in
// LUFS, of interleaved samples; -infinity for silence or under 400 ms.
double IntegratedLoudness(const std::vector<double>& interleaved, int channels, int sampleRate);

}  // namespace demo
