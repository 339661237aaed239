// render: renders audio files through a VST 2.4 plug-in offline.
#include "tools/render/CommandLine.h"
#include "tools/render/RenderError.h"
#include "tools/render/RenderJob.h"
#include "tools/render/Renderer.h"

#include <csignal>
#include <cstdio>
#include <exception>

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

extern "C" void OnInterrupt(int) { render::RequestInterruption(); }

}  // namespace

int main(int argc, char** argv) {
  const render::CommandLineResult parsed = render::ParseCommandLine(argc, argv);
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "render: %s\n\n%s", parsed.error.c_str(), render::UsageText().c_str());
    return kExitUsage;
  }
  if (parsed.options.showHelp) {
    std::fputs(render::UsageText().c_str(), stdout);
    return 0;
  }
  // Ctrl-C stops at the next block, so no partial output file stays behind.
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  try {
    render::RunRenderJob(parsed.options, stdout);
  } catch (const render::RenderError& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "render: %s\n", e.what());
    return kExitFailure;
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "render: %s\n", e.what());
    return kExitFailure;
  }
  return 0;
}
