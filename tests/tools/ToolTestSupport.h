#pragma once

#include <sndfile.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tool_test {

inline constexpr int kFloatWav = SF_FORMAT_WAV | SF_FORMAT_FLOAT;

// A fresh folder, removed with its contents at the end of the test.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string Path(const std::string& name) const { return path_ + "/" + name; }
  std::vector<std::string> Entries() const;  // names of the files inside

 private:
  std::string path_;
};

struct Audio {
  int channels = 0;
  int sampleRate = 0;
  int format = 0;
  std::vector<double> samples;                    // interleaved
  std::vector<std::pair<int, std::string>> tags;  // SF_STR_* kind and text

  int64_t Frames() const { return channels ? static_cast<int64_t>(samples.size()) / channels : 0; }
};

// Deterministic test signal, |x| < 0.9: a sine per channel plus noise, so
// that channels and block boundaries differ.
Audio MakeSignal(int channels, int sampleRate, int64_t frames, int format);

// Writes through libsndfile; the samples are stored as the format can.
void WriteAudio(const std::string& path, const Audio& audio);
Audio ReadAudio(const std::string& path);

double PeakOf(const std::vector<double>& samples);

// Index of the first sample that differs, compared in double or in single
// precision, or -1; 0 when the lengths differ.
int64_t FirstDifference(const std::vector<double>& expected, const std::vector<double>& actual,
                        bool inDouble);

void WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);
bool Exists(const std::string& path);

struct RunResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs a program, or the render executable, with the arguments (each quoted
// for the shell).
RunResult RunProgram(const std::string& program, const std::vector<std::string>& args);
RunResult RunRender(const std::vector<std::string>& args);

// Starts render in the background with default signal handling and its
// output thrown away (standard error into `errPath` when given); returns its
// process id.
int StartRender(const std::vector<std::string>& args, const std::string& errPath = "");
// Waits for it: the exit status, or 128 + the signal that killed it.
int WaitForExit(int pid);

}  // namespace tool_test
