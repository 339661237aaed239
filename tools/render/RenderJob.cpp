#include "tools/render/RenderJob.h"

#include "tools/common/Counted.h"
#include "tools/render/AudioFormat.h"
#include "tools/render/AudioInput.h"
#include "tools/render/AudioOutput.h"
#include "tools/render/Automation.h"
#include "tools/render/Interruption.h"
#include "tools/render/OutputTarget.h"
#include "tools/render/ParameterControl.h"
#include "tools/render/PluginInstance.h"
#include "tools/render/PluginListing.h"
#include "tools/render/PluginModule.h"
#include "tools/render/PluginSearch.h"
#include "tools/render/PresetTransfer.h"
#include "tools/render/ProgramSelection.h"
#include "tools/render/ProgressBar.h"
#include "tools/render/RenderError.h"
#include "tools/render/Renderer.h"
#include "tools/render/ReplacingFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace render {
namespace {

using tools::Counted;

constexpr double kListingSampleRate = 44100.0;

void Warn(const std::string& text) { std::fprintf(stderr, "render: %s\n", text.c_str()); }

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof(text), "%.*f", decimals, value);
  return text;
}

std::string Shortest(double value) {
  char text[64];
  std::snprintf(text, sizeof(text), "%g", value);
  return text;
}

// Program first, then the single parameters, so these override the program.
// What the plug-in made of a value is said whenever it is not what was typed
// (and `noted`: once for a whole batch).
void ApplyProgramAndParameters(PluginInstance& plugin, const RenderOptions& options,
                               bool noted = true) {
  if (!options.presetPath.empty()) {
    LoadPresetFile(plugin, options.presetPath);
  }
  if (!options.program.empty()) {
    SelectProgram(plugin, FindProgram(plugin, options.program));
  }
  for (const ParameterAssignment& p : options.parameters) {
    const int32_t index = FindParameter(plugin, p.name);
    const ParameterSetting set = SetParameterFromText(plugin, index, p.value);
    const std::string name = ParameterName(plugin, index);
    const auto withUnit = [&set](const std::string& v) {
      return set.label.empty() ? v : v + " " + set.label;
    };
    if (!noted) {
      continue;
    }
    if (set.fractionMeant) {
      Warn("note: values are in display units: " + p.name + "=" + p.value + " asks for " +
           withUnit(p.value) + ", not " + withUnit(Shortest(*set.fractionMeant)));
    }
    const std::optional<double> got = LeadingNumber(set.shown);
    if (set.asked && got && *set.asked != *got) {
      Warn(name + " is " + withUnit(set.shown) + ", the nearest value it has to " + p.value);
    }
  }
}

std::string Decibels(double db) { return std::isinf(db) ? "-inf" : Fixed(db, 2); }

std::string ChannelWord(int channels) {
  return channels == 1 ? "mono" : channels == 2 ? "stereo" : std::to_string(channels) + " channels";
}

std::string Seconds(int64_t frames, int sampleRate) {
  return Fixed(static_cast<double>(frames) / sampleRate, 2) + " s";
}

// "at 1.234 s (frame 54418, channel 2)"
std::string Position(int64_t sample, int channels, int sampleRate) {
  const int64_t frame = sample / channels;
  return "at " + Fixed(static_cast<double>(frame) / sampleRate, 3) + " s (frame " +
         std::to_string(frame) + ", channel " + std::to_string(sample % channels + 1) + ")";
}

struct Rendered {
  int format = 0;
  bool dithered = false;
  RenderStats stats;
  double wallSeconds = 0.0;
};

void WarnAboutTheInput(const AudioInput& input, const RenderStats& stats,
                       const std::string& output) {
  const int rate = input.SampleRate();
  if (input.PromisedFrames() == 0) {
    Warn("input '" + input.Path() + "' holds no audio (0 frames): '" + output + "' is empty");
  } else if (!input.ReadProblem().empty()) {
    Warn("input '" + input.Path() + "' could not be read to the end (" + input.ReadProblem() +
         "): rendered " + Seconds(stats.frames, rate) + " of the " +
         Seconds(input.PromisedFrames(), rate) + " its header promises");
  } else if (stats.frames < input.PromisedFrames()) {
    Warn("input '" + input.Path() + "' is cut short: its header promises " +
         Seconds(input.PromisedFrames(), rate) + ", its data holds " + Seconds(stats.frames, rate) +
         ", which were rendered");
  }
  if (const int64_t n = stats.input.NonFinite(); n > 0) {
    Warn("input '" + input.Path() + "' holds " + Counted(n, "NaN or infinite sample") +
         (n == 1 ? ", " : ", the first ") +
         Position(stats.input.FirstNonFinite(), input.Channels(), rate));
  }
}

void WarnAboutTheOutput(const RenderOptions& options, const AudioInput& input, const Rendered& r) {
  const std::string out = "'" + options.output + "' (" + DescribeFormat(r.format) + ")";
  if (const int64_t n = r.stats.output.NonFinite(); n > 0) {
    const bool one = n == 1;
    Warn("the plug-in produced " + Counted(n, "NaN or infinite sample") +
         (one ? ", " : ", the first ") +
         Position(r.stats.output.FirstNonFinite(), input.Channels(), input.SampleRate()) + "; " +
         (HoldsNonFinite(r.format)
              ? (one ? "it is kept in " : "they are kept in ")
              : (one ? "it was written as 0 to " : "they were written as 0 to ")) +
         out);
  }
  if (r.stats.output.Overs() > 0 && IsIntegerEncoding(r.format)) {
    const bool one = r.stats.output.Overs() == 1;
    Warn(Counted(r.stats.output.Overs(), "sample") + " beyond full scale " +
         (one ? "was" : "were") + " clipped in " + out +
         "; a float encoding (--format wav --encoding float) keeps " + (one ? "it" : "them"));
  }
}

void PrintSummary(std::FILE* out, const RenderOptions& options, const AudioInput& input,
                  const Rendered& r) {
  const RenderStats& s = r.stats;
  const double seconds = static_cast<double>(s.frames) / input.SampleRate();
  const auto factor = [seconds](double spent) { return spent > 0.0 ? seconds / spent : 0.0; };
  std::string overs;
  if (s.output.Overs() > 0) {
    overs = ", " + Counted(s.output.Overs(), "sample") + " over full scale" +
            (IsIntegerEncoding(r.format) ? " (clipped)" : "");
  }
  std::fprintf(out,
               "%s (%s%s%s): %.2f s %s %d Hz, peak %s dBFS, RMS %s dBFS%s, %.0fx real time "
               "(plug-in alone %.0fx)\n",
               options.output.c_str(), DescribeFormat(r.format).c_str(),
               r.dithered ? ", TPDF dither" : "",
               options.oversampling > 1
                   ? (", " + std::to_string(options.oversampling) + "x oversampled").c_str()
                   : "",
               seconds, ChannelWord(input.Channels()).c_str(), input.SampleRate(),
               Decibels(s.output.PeakDb()).c_str(), Decibels(s.output.RmsDb()).c_str(),
               overs.c_str(), factor(r.wallSeconds), factor(s.processSeconds));
  std::fprintf(out, "  plug-in: %s\n", options.pluginPath.c_str());
}

// Where --save-preset and --save-bank go, checked before any work is done.
struct PresetTargets {
  std::optional<OutputTarget> program;
  std::optional<OutputTarget> bank;
};

PresetTargets ResolvePresetTargets(const RenderOptions& options) {
  PresetTargets t;
  if (!options.savePreset.empty()) {
    t.program = ResolveOutput(options.savePreset, options.input, options.force);
  }
  if (!options.saveBank.empty()) {
    t.bank = ResolveOutput(options.saveBank, options.input, options.force);
  }
  return t;
}

void SavePresets(PluginInstance& plugin, const PresetTargets& targets) {
  if (targets.program) {
    WriteWholeFile(*targets.program, SaveProgram(plugin));
  }
  if (targets.bank) {
    WriteWholeFile(*targets.bank, SaveBank(plugin));
  }
}

// --save-preset or --save-bank without audio to render.
void SaveOnly(const RenderOptions& options) {
  const PresetTargets targets = ResolvePresetTargets(options);
  PluginInstance plugin(options.pluginPath);
  plugin.Open();
  plugin.SetSampleRateAndBlockSize(kListingSampleRate, options.blockSize);
  ApplyProgramAndParameters(plugin, options);
  SavePresets(plugin, targets);
}

void List(const RenderOptions& options, std::FILE* out) {
  PluginInstance plugin(options.pluginPath);
  plugin.Open();
  plugin.SetSampleRateAndBlockSize(kListingSampleRate, options.blockSize);
  ApplyProgramAndParameters(plugin, options);
  std::fputs(DescribePlugin(plugin).c_str(), out);
}

// How a file is rendered within a batch.
struct FileRole {
  bool noteSettings = true;  // warn about the program's and parameters' values
  bool progressBar = true;   // where wanted: only when rendering one file at a time
};

void Render(const RenderOptions& options, std::FILE* out, const FileRole& role = {}) {
  const auto started = std::chrono::steady_clock::now();
  AudioInput input(options.input);
  const OutputTarget target = ResolveOutput(options.output, options.input, options.force);
  const PresetTargets presetTargets = ResolvePresetTargets(options);
  Rendered r;
  r.format = ChooseOutputFormat(input.Format(), options.output, options.container, options.encoding,
                                {input.Channels(), input.SampleRate(), input.Frames()});
  PluginInstance plugin(options.pluginPath);
  CheckChannelCount(plugin, input, options.useDouble);

  plugin.Open();
  const int32_t factor = options.oversampling;
  plugin.SetSampleRateAndBlockSize(static_cast<double>(input.SampleRate()) * factor,
                                   options.blockSize * factor);
  RenderSettings settings;
  settings.blockSize = options.blockSize;
  settings.oversampling = factor;
  settings.useDouble = options.useDouble;
  settings.channelsAccepted = plugin.RequestChannels(input.Channels());
  plugin.AnnouncePrecision(options.useDouble);
  settings.showProgress =
      role.progressBar &&
      ProgressBar::Wanted(input.Frames(), input.SampleRate(), options.quiet, stderr);
  ApplyProgramAndParameters(plugin, options, role.noteSettings);
  SavePresets(plugin, presetTargets);
  settings.changes =
      PlanAutomation(plugin, options.automation, static_cast<double>(input.SampleRate()) * factor,
                     input.Frames() * factor);

  const bool rf64Input = (input.Format() & SF_FORMAT_TYPEMASK) == SF_FORMAT_RF64;
  AudioOutput output(target,
                     {r.format, input.Channels(), input.SampleRate(), options.dither, !rf64Input},
                     input.Tags());
  r.dithered = output.Dithered();
  plugin.Start();
  r.stats = RenderFile(plugin, input, output, settings);
  plugin.Stop();
  ThrowIfInterrupted("'" + options.output + "' was not written");
  output.Commit();
  r.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

  WarnAboutTheInput(input, r.stats, options.output);
  WarnAboutTheOutput(options, input, r);
  if (!options.quiet) {
    PrintSummary(out, options, input, r);
  }
}

std::string BaseNameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The output of each input of a batch: the folder, the input's name, and
// the extension of --format when it is given.
std::vector<std::string> BatchOutputs(const RenderOptions& options) {
  std::vector<std::string> outputs;
  for (const std::string& input : options.inputs) {
    std::string name = BaseNameOf(input);
    if (!options.container.empty()) {
      const size_t dot = name.find_last_of('.');
      name = (dot == std::string::npos || dot == 0 ? name : name.substr(0, dot)) + "." +
             options.container;
    }
    const std::string output = options.outputFolder + "/" + name;
    for (size_t i = 0; i < outputs.size(); ++i) {
      if (outputs[i] == output) {
        throw UsageError("inputs '" + options.inputs[i] + "' and '" + input +
                         "' would both be written to '" + output + "'");
      }
    }
    outputs.push_back(output);
  }
  return outputs;
}

// Makes the folder and any missing folders above it.
void MakeFolders(const std::string& path) {
  for (size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
    const std::string folder = path.substr(0, end);
    if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
      throw RenderError("cannot make output folder '" + path + "': " +
                        (folder == path ? "" : "'" + folder + "': ") + std::strerror(errno));
    }
    if (end == std::string::npos) {
      break;
    }
  }
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    throw RenderError("cannot make output folder '" + path +
                      "': a file of that name is in the way");
  }
}

// What concerns every file of a batch, checked once before any is touched:
// the format and encoding asked for go together, and the plug-in loads and
// has the program and parameters named (whose values are noted here, and
// the presets saved).
void CheckBatchSettings(const RenderOptions& options) {
  CheckContainerTakesEncoding(options.container, options.encoding);
  const PresetTargets presetTargets = ResolvePresetTargets(options);
  PluginInstance plugin(options.pluginPath);
  plugin.Open();
  plugin.SetSampleRateAndBlockSize(kListingSampleRate, options.blockSize);
  ApplyProgramAndParameters(plugin, options);
  PlanAutomation(plugin, options.automation, kListingSampleRate, 0);
  SavePresets(plugin, presetTargets);
}

std::string QuotedList(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& n : names) {
    text += (text.empty() ? "'" : ", '") + n + "'";
  }
  return text;
}

// The files of a batch, rendered by a number of workers, each taking the
// next file as it becomes free. A file that cannot be rendered is reported
// and the others go on; a signal stops them all.
class Batch {
 public:
  Batch(const RenderOptions& options, std::FILE* out)
      : options_(options), out_(out), outputs_(BatchOutputs(options)) {}

  void Run() {
    CheckBatchSettings(options_);
    MakeFolders(options_.outputFolder);
    // Loaded once for the whole batch: each file's instance then shares it,
    // and no worker unloads code another one runs.
    const PluginModule module(options_.pluginPath);
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const size_t workers = std::min<size_t>(
        options_.jobs > 0 ? static_cast<size_t>(options_.jobs) : cores, outputs_.size());
    role_.noteSettings = false;
    role_.progressBar = workers == 1;
    std::vector<std::thread> others;
    for (size_t i = 1; i < workers; ++i) {
      others.emplace_back([this] { Work(); });
    }
    Work();
    for (std::thread& t : others) {
      t.join();
    }
    Finish();
  }

 private:
  void Work() {
    for (size_t i; TakeNext(i);) {
      RenderOptions one = options_;
      one.input = options_.inputs[i];
      one.output = outputs_[i];
      one.savePreset.clear();
      one.saveBank.clear();
      try {
        Render(one, out_, role_);
      } catch (const Interrupted& e) {
        const std::lock_guard<std::mutex> hold(lock_);
        stopped_.push_back("'" + one.output + "' was not written");
        signal_ = e.Signal();
      } catch (const std::exception& e) {
        const std::lock_guard<std::mutex> hold(lock_);
        std::fflush(out_);
        Warn(e.what());
        failed_.push_back(i);
      }
    }
  }

  bool TakeNext(size_t& index) {
    const std::lock_guard<std::mutex> hold(lock_);
    if (next_ == outputs_.size()) {
      return false;
    }
    if (signal_ == 0) {
      signal_ = PendingSignal();
    }
    if (signal_ != 0) {
      return false;
    }
    index = next_++;
    return true;
  }

  // Names the files that failed, in the order given; after a signal also
  // the ones it stopped and the ones never started.
  void Finish() {
    std::sort(failed_.begin(), failed_.end());
    std::vector<std::string> failed;
    for (const size_t i : failed_) {
      failed.push_back(options_.inputs[i]);
    }
    if (signal_ != 0) {
      std::string text = StoppedBy(signal_);
      for (const std::string& s : stopped_) {
        text += "; " + s;
      }
      if (next_ < outputs_.size()) {
        text += "; never started: " +
                QuotedList({options_.inputs.begin() + static_cast<std::ptrdiff_t>(next_),
                            options_.inputs.end()});
      }
      throw Interrupted(text + (failed.empty() ? "" : "; failed: " + QuotedList(failed)), signal_);
    }
    if (!failed.empty()) {
      throw RenderError(std::to_string(failed.size()) + " of " +
                        Counted(static_cast<int64_t>(outputs_.size()), "file") +
                        " failed: " + QuotedList(failed));
    }
  }

  const RenderOptions& options_;
  std::FILE* out_;
  const std::vector<std::string> outputs_;
  FileRole role_;
  std::mutex lock_;
  size_t next_ = 0;  // the first file not handed out
  int signal_ = 0;
  std::vector<std::string> stopped_;  // the outputs a signal stopped, as said
  std::vector<size_t> failed_;        // indexes of the inputs
};

}  // namespace

void RunRenderJob(const RenderOptions& given, std::FILE* out) {
  // The module is found once, so that a batch uses one module throughout.
  RenderOptions options = given;
  if (options.pluginPath.empty()) {
    options.pluginPath = FindPlugin(Vst2Search(), CurrentSearchPlaces(Vst2Search()));
  }
  if (options.listOnly) {
    List(options, out);
  } else if (!options.outputFolder.empty()) {
    Batch(options, out).Run();
  } else if (options.input.empty()) {
    SaveOnly(options);
  } else {
    Render(options, out);
  }
}

}  // namespace render
