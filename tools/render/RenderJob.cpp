#include "tools/render/RenderJob.h"

#include "tools/render/AudioFormat.h"
#include "tools/render/AudioInput.h"
#include "tools/render/AudioOutput.h"
#include "tools/render/ParameterControl.h"
#include "tools/render/PluginInstance.h"
#include "tools/render/PluginListing.h"
#include "tools/render/ProgramSelection.h"
#include "tools/render/ProgressBar.h"
#include "tools/render/RenderError.h"
#include "tools/render/Renderer.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace render {
namespace {

constexpr double kListingSampleRate = 44100.0;

std::string PluginPathFor(const RenderOptions& options) {
  return options.pluginPath.empty() ? DefaultPluginPath() : options.pluginPath;
}

// Program first, then the single parameters, so these override the program.
void ApplyProgramAndParameters(PluginInstance& plugin, const RenderOptions& options) {
  if (!options.program.empty()) {
    SelectProgram(plugin, FindProgram(plugin, options.program));
  }
  for (const ParameterAssignment& p : options.parameters) {
    const int32_t index = FindParameter(plugin, p.name);
    const std::string shown = SetParameterFromText(plugin, index, p.value);
    const std::optional<double> wanted = LeadingNumber(p.value);
    const std::optional<double> got = LeadingNumber(shown);
    if (!options.quiet && wanted && got && *wanted != *got) {
      std::fprintf(stderr, "render: %s is %s (the nearest value the plug-in has to %s)\n",
                   ParameterName(plugin, index).c_str(), shown.c_str(), p.value.c_str());
    }
  }
}

std::string Decibels(double db) {
  if (std::isinf(db)) {
    return "-inf";
  }
  char text[32];
  std::snprintf(text, sizeof(text), "%.2f", db);
  return text;
}

std::string ChannelWord(int channels) {
  return channels == 1 ? "mono" : channels == 2 ? "stereo" : std::to_string(channels) + " channels";
}

void PrintSummary(std::FILE* out, const RenderOptions& options, const AudioInput& input,
                  const RenderStats& stats) {
  const double seconds = static_cast<double>(stats.frames) / input.SampleRate();
  const double speed = stats.processSeconds > 0.0 ? seconds / stats.processSeconds : 0.0;
  const std::string overs =
      stats.overs > 0 ? ", " + std::to_string(stats.overs) + " samples over full scale" : "";
  std::fprintf(out, "%s: %.2f s %s %d Hz, peak %s dBFS, RMS %s dBFS%s, %.0fx real time\n",
               options.output.c_str(), seconds, ChannelWord(input.Channels()).c_str(),
               input.SampleRate(), Decibels(stats.peakDb).c_str(), Decibels(stats.rmsDb).c_str(),
               overs.c_str(), speed);
}

void List(const RenderOptions& options, std::FILE* out) {
  PluginInstance plugin(PluginPathFor(options));
  plugin.Open();
  plugin.SetSampleRateAndBlockSize(kListingSampleRate, options.blockSize);
  ApplyProgramAndParameters(plugin, options);
  std::fputs(DescribePlugin(plugin).c_str(), out);
}

void Render(const RenderOptions& options, std::FILE* out) {
  AudioInput input(options.input);
  PluginInstance plugin(PluginPathFor(options));
  CheckChannelCount(plugin, input, options.useDouble);
  const int format = ChooseOutputFormat(input.Format(), options.output, options.container,
                                        options.encoding, input.Channels(), input.SampleRate());

  plugin.Open();
  plugin.SetSampleRateAndBlockSize(input.SampleRate(), options.blockSize);
  RenderSettings settings;
  settings.blockSize = options.blockSize;
  settings.useDouble = options.useDouble;
  settings.channelsAccepted = plugin.RequestChannels(input.Channels());
  plugin.AnnouncePrecision(options.useDouble);
  settings.showProgress =
      ProgressBar::Wanted(input.Frames(), input.SampleRate(), options.quiet, stderr);
  ApplyProgramAndParameters(plugin, options);

  AudioOutput output(options.output, format, input.Channels(), input.SampleRate());
  plugin.Start();
  const RenderStats stats = RenderFile(plugin, input, output, settings);
  plugin.Stop();
  output.Commit();

  if (!options.quiet) {
    PrintSummary(out, options, input, stats);
    if (stats.overs > 0 && IsIntegerEncoding(format)) {
      std::fprintf(stderr,
                   "render: %lld samples beyond full scale were clipped in '%s' (--encoding float "
                   "keeps them)\n",
                   static_cast<long long>(stats.overs), options.output.c_str());
    }
  }
}

}  // namespace

void RunRenderJob(const RenderOptions& options, std::FILE* out) {
  if (options.listOnly) {
    List(options, out);
  } else {
    Render(options, out);
  }
}

}  // namespace render
