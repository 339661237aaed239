#include "tools/render/ProgressBar.h"

#include <unistd.h>

namespace render {
namespace {

constexpr int kBarWidth = 40;
constexpr double kSecondsWorthABar = 5.0;

}  // namespace

ProgressBar::ProgressBar(std::FILE* out, int64_t total, bool enabled)
    : out_(out), total_(total), enabled_(enabled && total > 0) {}

ProgressBar::~ProgressBar() { Finish(); }

bool ProgressBar::Wanted(int64_t frames, int sampleRate, bool quiet, std::FILE* out) {
  if (quiet || sampleRate <= 0) {
    return false;
  }
  return static_cast<double>(frames) / sampleRate > kSecondsWorthABar && isatty(fileno(out));
}

void ProgressBar::Update(int64_t done) {
  if (!enabled_ || finished_) {
    return;
  }
  const int percent = static_cast<int>(done >= total_ ? 100 : done * 100 / total_);
  if (percent != shownPercent_) {
    Draw(percent);
  }
}

void ProgressBar::Draw(int percent) {
  shownPercent_ = percent;
  const int filled = percent * kBarWidth / 100;
  char bar[kBarWidth + 1];
  for (int i = 0; i < kBarWidth; ++i) {
    bar[i] = i < filled ? '#' : '-';
  }
  bar[kBarWidth] = '\0';
  std::fprintf(out_, "\r[%s] %3d%%", bar, percent);
  std::fflush(out_);
}

void ProgressBar::Finish() {
  if (!enabled_ || finished_) {
    return;
  }
  finished_ = true;
  if (shownPercent_ >= 0) {
    std::fputc('\n', out_);
    std::fflush(out_);
  }
}

}  // namespace render
