// The one-line progress bar on the terminal.
#pragma once

#include <cstdint>
#include <cstdio>

namespace render {

// A one-line progress bar, redrawn in place with a carriage return. Drawn
// only when enabled; redraws only when the shown percentage changes.
class ProgressBar {
 public:
  ProgressBar(std::FILE* out, int64_t total, bool enabled);
  ~ProgressBar();

  void Update(int64_t done);
  void Finish();  // completes the line; also done by the destructor

  // Long enough to be worth a bar: a few seconds of audio, on a terminal.
  static bool Wanted(int64_t frames, int sampleRate, bool quiet, std::FILE* out);

 private:
  void Draw(int percent);

  std::FILE* out_;
  int64_t total_;
  bool enabled_;
  int shownPercent_ = -1;
  bool finished_ = false;
};

}  // namespace render
