#include "tools/demo/DemoVoices.h"

#include <cmath>
#include <vector>

namespace demo {

void AddPluck(Track& t, int64_t at, int64_t frames, int midiNote, double level, Noise& noise) {
  const double period = t.sampleRate / MidiToHz(midiNote);
  // The averaging filter delays by half a sample; a first-order all-pass
  // supplies the rest of the period beyond whole samples, kept in 0.1...1.1
  // where the all-pass stays stable and nearly flat in delay.
  const size_t length = static_cast<size_t>(std::floor(period - 0.6));
  const double fraction = period - 0.5 - static_cast<double>(length);
  const double c = (1.0 - fraction) / (1.0 + fraction);
  std::vector<double> line(length);
  // A softened burst: picking near the bridge but not too bright.
  double smooth = 0.0;
  for (double& v : line) {
    smooth = 0.5 * smooth + 0.5 * noise.Next();
    v = smooth;
  }
  const double release = 0.03 * t.sampleRate;
  double previous = 0.0;
  double allpassIn = 0.0;
  double allpassOut = 0.0;
  size_t pos = 0;
  for (int64_t i = 0; i < frames + static_cast<int64_t>(release); ++i) {
    const double out = line[pos];
    const double averaged = 0.5 * (out + previous) * 0.9965;
    previous = out;
    const double tuned = c * averaged + allpassIn - c * allpassOut;
    allpassIn = averaged;
    allpassOut = tuned;
    line[pos] = tuned;
    pos = (pos + 1) % length;
    double amp = 1.0;
    if (i >= frames) {
      amp = 1.0 - static_cast<double>(i - frames) / release;  // the fretting hand lets go
    }
    t.Add(at + i, level * amp * out);
  }
}

}  // namespace demo
