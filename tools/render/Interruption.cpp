#include "tools/render/Interruption.h"

#include <csignal>
#include <cstring>

namespace render {
namespace {

volatile std::sig_atomic_t pendingSignal = 0;

extern "C" void OnSignal(int signal) {
  if (pendingSignal == 0) {
    pendingSignal = signal;
  }
}

}  // namespace

void CatchInterruptions() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  action.sa_flags = SA_RESTART;  // the handler only notes the signal
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) {
    // A signal the caller ignores (nohup, a background job) stays ignored.
    struct sigaction previous {};
    if (sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN) {
      sigaction(signal, &action, nullptr);
    }
  }
  // Beyond the file size limit a write fails with an error to report,
  // rather than the process dying with its temporary file.
  std::signal(SIGXFSZ, SIG_IGN);
}

int PendingSignal() { return pendingSignal; }

std::string StoppedBy(int signal) {
  const char* name = sigabbrev_np(signal);
  return "stopped by SIG" + std::string(name ? name : std::to_string(signal).c_str());
}

void ThrowIfInterrupted(const std::string& what) {
  if (const int signal = PendingSignal(); signal != 0) {
    throw Interrupted(StoppedBy(signal) + "; " + what, signal);
  }
}

}  // namespace render
