// Signals that stop a render cleanly, between blocks.
#pragma once

#include "tools/render/RenderError.h"

#include <string>

namespace render {

// A render stopped by a signal. main() exits with 128 + the signal's number
// (130 for Ctrl-C), as shells expect.
class Interrupted : public RenderError {
 public:
  Interrupted(const std::string& message, int signal) : RenderError(message), signal_(signal) {}
  int Signal() const { return signal_; }

 private:
  int signal_;
};

// Makes SIGINT, SIGTERM, SIGHUP, SIGQUIT and SIGPIPE stop a render at the
// next block instead of killing the process, so the temporary output file is
// removed; signals the caller set to be ignored stay ignored. Called once by
// main() on the main thread.
void CatchInterruptions();

// The signal that arrived, or 0.
int PendingSignal();
// "stopped by SIGINT" and the like.
std::string StoppedBy(int signal);

// Throws Interrupted, naming `what` was stopped, once one of those signals
// has arrived. Safe to call from the render loop at any time.
void ThrowIfInterrupted(const std::string& what);

}  // namespace render
