// One VST 2.4 plug-in instance, driven as a DAW drives it.
#pragma once

#include "tools/render/HostCallback.h"
#include "tools/render/PluginModule.h"
#include "vst/VstInterface.h"

#include <cstdint>
#include <string>

namespace render {

// One plug-in instance driven the way a DAW drives it: open, configure,
// switch on, process, switch off, close. Closing happens in the destructor,
// so every error path shuts the plug-in down properly.
class PluginInstance {
 public:
  // Loads the module and creates the instance. Throws RenderError naming the
  // module when it is not a usable VST 2.4 plug-in.
  explicit PluginInstance(const std::string& modulePath);
  ~PluginInstance();
  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  AEffect& Effect() const { return *effect_; }
  const std::string& ModulePath() const { return module_.Path(); }
  const std::string& Format() const { return module_.Format(); }

  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f);
  // The text a request writes into the buffer it is given; the buffer is
  // larger than any the interface asks for, so long replies stay intact.
  std::string DispatchText(int32_t opcode, int32_t index = 0);

  void Open();
  void SetSampleRateAndBlockSize(double sampleRate, int32_t blockSize);
  // Asks for `channels` inputs and outputs through the speaker arrangement;
  // true when the plug-in accepts.
  bool RequestChannels(int32_t channels);
  // Announces single or double precision processing, as VST 2.4 hosts do
  // before switching on.
  void AnnouncePrecision(bool useDouble);
  void Start();  // mains on, start of processing
  void Stop();   // end of processing, mains off

  // A host's automation: the normalised value, as the audio thread sends it
  // between blocks.
  void SetParameter(int32_t index, float normalized);

  bool CanProcessDouble() const;
  void Process(float** inputs, float** outputs, int32_t frames);
  void Process(double** inputs, double** outputs, int32_t frames);

  // The plug-in's own name, or the module's file name when it gives none.
  std::string Name();

 private:
  PluginModule module_;
  HostState host_;
  AEffect* effect_ = nullptr;
  bool open_ = false;
  bool running_ = false;
};

}  // namespace render
