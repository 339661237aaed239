#include "tests/tools/ToolTestSupport.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tool_test {
namespace {

std::string ShellQuoted(const std::string& s) {
  std::string q = "'";
  for (const char c : s) {
    q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  }
  return q + "'";
}

}  // namespace

TempFolder::TempFolder() {
  std::string pattern = testing::TempDir() + "render-test-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const char* made = mkdtemp(name.data());
  EXPECT_NE(made, nullptr);
  path_ = made ? made : "/nonexistent";
}

TempFolder::~TempFolder() {
  for (const std::string& entry : Entries()) {
    chmod(Path(entry).c_str(), 0700);
  }
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> TempFolder::Entries() const {
  std::vector<std::string> names;
  if (DIR* dir = opendir(path_.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") {
        names.push_back(name);
      }
    }
    closedir(dir);
  }
  return names;
}

Audio MakeSignal(int channels, int sampleRate, int64_t frames, int format) {
  Audio a;
  a.channels = channels;
  a.sampleRate = sampleRate;
  a.format = format;
  a.samples.resize(static_cast<size_t>(frames * channels));
  uint32_t seed = 12345u;
  for (int64_t f = 0; f < frames; ++f) {
    for (int c = 0; c < channels; ++c) {
      seed = seed * 1664525u + 1013904223u;
      const double noise = (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 0.2;
      const double sine =
          0.6 * std::sin(2.0 * M_PI * (220.0 * (c + 1)) * static_cast<double>(f) / sampleRate);
      a.samples[static_cast<size_t>(f * channels + c)] = sine + noise;
    }
  }
  return a;
}

void WriteAudio(const std::string& path, const Audio& audio) {
  SF_INFO info{};
  info.channels = audio.channels;
  info.samplerate = audio.sampleRate;
  info.format = audio.format;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
  for (const auto& [kind, text] : audio.tags) {
    EXPECT_EQ(sf_set_string(f, kind, text.c_str()), 0);
  }
  EXPECT_EQ(sf_writef_double(f, audio.samples.data(), audio.Frames()), audio.Frames());
  sf_close(f);
}

Audio ReadAudio(const std::string& path) {
  Audio a;
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  EXPECT_NE(f, nullptr) << path << ": " << sf_strerror(nullptr);
  if (!f) {
    return a;
  }
  a.channels = info.channels;
  a.sampleRate = info.samplerate;
  a.format = info.format;
  a.samples.resize(static_cast<size_t>(info.frames * info.channels));
  EXPECT_EQ(sf_readf_double(f, a.samples.data(), info.frames), info.frames);
  for (const int kind : {SF_STR_TITLE, SF_STR_ARTIST, SF_STR_COMMENT}) {
    if (const char* text = sf_get_string(f, kind)) {
      a.tags.emplace_back(kind, text);
    }
  }
  sf_close(f);
  return a;
}

double PeakOf(const std::vector<double>& samples) {
  double peak = 0.0;
  for (const double s : samples) {
    peak = std::max(peak, std::fabs(s));
  }
  return peak;
}

int64_t FirstDifference(const std::vector<double>& expected, const std::vector<double>& actual,
                        bool inDouble) {
  if (expected.size() != actual.size()) {
    return 0;
  }
  for (size_t i = 0; i < expected.size(); ++i) {
    const bool same = inDouble ? expected[i] == actual[i]
                               : static_cast<float>(expected[i]) == static_cast<float>(actual[i]);
    if (!same) {
      return static_cast<int64_t>(i);
    }
  }
  return -1;
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool Exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

RunResult RunRender(const std::vector<std::string>& args) {
  return RunProgram(DM_RENDER_EXECUTABLE, args);
}

RunResult RunProgram(const std::string& program, const std::vector<std::string>& args) {
  TempFolder capture;
  std::string command = ShellQuoted(program);
  for (const std::string& a : args) {
    command += " " + ShellQuoted(a);
  }
  command += " >" + ShellQuoted(capture.Path("out")) + " 2>" + ShellQuoted(capture.Path("err")) +
             " </dev/null";
  const int status = std::system(command.c_str());
  RunResult r;
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = ReadText(capture.Path("out"));
  r.err = ReadText(capture.Path("err"));
  return r;
}

}  // namespace tool_test

namespace tool_test {

int StartRender(const std::vector<std::string>& args, const std::string& errPath) {
  std::vector<char*> argv = {const_cast<char*>(DM_RENDER_EXECUTABLE)};
  for (const std::string& a : args) {
    argv.push_back(const_cast<char*>(a.c_str()));
  }
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
      std::signal(signal, SIG_DFL);
    }
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(errPath.empty() ? null : open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

int WaitForExit(int pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) {
    return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace tool_test
