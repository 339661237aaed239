// On Linux the host's run loop drives the editor: a timer at the editor's
// repaint rate and an event handler on its X connection each make the idle
// call the VST 2 host's effEditIdle makes (pending events, then the repaint
// tick when one is due). The editor keeps its connection to itself, so the
// connection is found as the one socket the opening of the window added to
// the process's descriptors.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "framework/IEditorSeam.h"
#include "vst3/Vst3Objects.h"
#include "vst3/Vst3ViewDriver.h"

using namespace Steinberg;

const char* const kVst3ViewPlatformType = kPlatformTypeX11EmbedWindowID;

namespace {

std::vector<int> OpenSockets() {
  std::vector<int> sockets;
  DIR* folder = opendir("/proc/self/fd");
  if (!folder) return sockets;
  while (const dirent* entry = readdir(folder)) {
    const int fd = std::atoi(entry->d_name);
    struct stat info {};
    if (entry->d_name[0] != '.' && fd != dirfd(folder) && fstat(fd, &info) == 0 &&
        S_ISSOCK(info.st_mode)) {
      sockets.push_back(fd);
    }
  }
  closedir(folder);
  std::sort(sockets.begin(), sockets.end());
  return sockets;
}

}  // namespace

class Vst3ViewDriver final : public Linux::ITimerHandler, public Linux::IEventHandler {
 public:
  tresult PLUGIN_API queryInterface(const TUID queried, void** obj) override {
    if (!obj) return kInvalidArgument;
    if (SameIid(queried, FUnknown_iid) || SameIid(queried, Linux::ITimerHandler_iid)) {
      *obj = static_cast<Linux::ITimerHandler*>(this);
    } else if (SameIid(queried, Linux::IEventHandler_iid)) {
      *obj = static_cast<Linux::IEventHandler*>(this);
    } else {
      *obj = nullptr;
      return kNoInterface;
    }
    addRef();
    return kResultOk;
  }
  uint32 PLUGIN_API addRef() override { return refs.Add(); }
  uint32 PLUGIN_API release() override {
    const uint32 left = refs.Drop();
    if (left == 0) delete this;
    return left;
  }
  void PLUGIN_API onTimer() override { Drive(); }
  void PLUGIN_API onFDIsSet(Linux::FileDescriptor) override { Drive(); }

  bool Start(IPlugFrame* frame, IEditorSeam* panel) {
    if (!frame ||
        frame->queryInterface(Linux::IRunLoop_iid, reinterpret_cast<void**>(&loop)) != kResultOk ||
        !loop) {
      loop = nullptr;
      return false;
    }
    editor = panel;
    const int fps = std::max(editor->FramesPerSecond(), 1);
    timerOn = loop->registerTimer(this, static_cast<Linux::TimerInterval>(1000 / fps)) == kResultOk;
    std::vector<int> now = OpenSockets();
    std::vector<int> added;
    std::set_difference(now.begin(), now.end(), before.begin(), before.end(),
                        std::back_inserter(added));
    if (added.size() == 1) handlerOn = loop->registerEventHandler(this, added[0]) == kResultOk;
    return timerOn;
  }
  void Stop() {
    editor = nullptr;
    if (loop) {
      if (timerOn) loop->unregisterTimer(this);
      if (handlerOn) loop->unregisterEventHandler(this);
      loop->release();
      loop = nullptr;
    }
    timerOn = handlerOn = false;
  }

  std::vector<int> before = OpenSockets();

 private:
  ~Vst3ViewDriver() { Stop(); }
  // The editor's idle call takes the plug-in lock only where it reaches the
  // plug-in, as the VST 2 host's effEditIdle does.
  void Drive() {
    if (editor) editor->Idle();
  }

  Vst3RefCount refs;
  Linux::IRunLoop* loop = nullptr;
  IEditorSeam* editor = nullptr;
  bool timerOn = false;
  bool handlerOn = false;
};

IParentWindow Vst3ParentWindow(void* attachedParent) {
  return IParentWindow::X11(reinterpret_cast<uintptr_t>(attachedParent));
}

Vst3ViewDriver* PrepareViewDriver() { return new (std::nothrow) Vst3ViewDriver(); }

bool StartViewDriver(Vst3ViewDriver* driver, IPlugFrame* frame, IEditorSeam* editor) {
  return driver && driver->Start(frame, editor);
}

void StopViewDriver(Vst3ViewDriver* driver) {
  if (!driver) return;
  driver->Stop();
  driver->release();
}
