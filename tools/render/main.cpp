// render: renders audio files through a VST 2.4 plug-in offline.
#include "tools/render/CommandLine.h"
#include "tools/render/Interruption.h"
#include "tools/render/RenderError.h"
#include "tools/render/RenderJob.h"

#include <cstdio>
#include <exception>

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitSignalBase = 128;

int Fail(const char* message, int status) {
  std::fflush(stdout);
  std::fprintf(stderr, "render: %s\n", message);
  if (status == kExitUsage) {
    std::fputs("see render --help\n", stderr);
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const render::CommandLineResult parsed = render::ParseCommandLine(argc, argv);
  if (!parsed.error.empty()) {
    return Fail(parsed.error.c_str(), kExitUsage);
  }
  if (!parsed.text.empty()) {
    std::fputs(parsed.text.c_str(), stdout);
    return 0;
  }
  render::CatchInterruptions();
  try {
    render::RunRenderJob(parsed.options, stdout);
  } catch (const render::Interrupted& e) {
    return Fail(e.what(), kExitSignalBase + e.Signal());
  } catch (const render::UsageError& e) {
    return Fail(e.what(), kExitUsage);
  } catch (const std::exception& e) {
    return Fail(e.what(), kExitFailure);
  }
  return 0;
}
