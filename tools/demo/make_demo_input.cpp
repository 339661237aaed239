// make_demo_input: writes the demo's input, a few seconds of drums, bass and
// guitar synthesised here, as a stereo 32-bit float WAV file (so that the
// renders, which keep the input's format, keep samples beyond full scale).
//   make_demo_input OUTPUT.wav [SAMPLE_RATE]
#include "tools/demo/DemoSong.h"

#include <sndfile.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "Usage: make_demo_input OUTPUT.wav [SAMPLE_RATE]\n");
    return 2;
  }
  const int rate = argc == 3 ? std::atoi(argv[2]) : 44100;
  if (rate < 8000 || rate > 384000) {
    std::fprintf(stderr, "make_demo_input: sample rate '%s' is not between 8000 and 384000\n",
                 argv[2]);
    return 2;
  }
  const demo::StereoAudio song = demo::MakeDemoSong(rate);
  std::vector<double> interleaved(song.left.size() * 2);
  for (size_t i = 0; i < song.left.size(); ++i) {
    interleaved[2 * i] = song.left[i];
    interleaved[2 * i + 1] = song.right[i];
  }

  SF_INFO info{};
  info.samplerate = rate;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  const std::string path = argv[1];
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) {
    std::fprintf(stderr, "make_demo_input: cannot write '%s': %s\n", path.c_str(),
                 sf_strerror(nullptr));
    return 1;
  }
  const sf_count_t frames = static_cast<sf_count_t>(song.left.size());
  const bool written = sf_writef_double(file, interleaved.data(), frames) == frames;
  if (sf_close(file) != 0 || !written) {
    std::fprintf(stderr, "make_demo_input: cannot write '%s'\n", path.c_str());
    std::remove(path.c_str());
    return 1;
  }
  return 0;
}
