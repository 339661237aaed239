// A host side for the VST 3 module: loads the bundle's binary as a host does
// and reaches the plug-in only through the SDK's interfaces. Memory streams,
// parameter changes at sample offsets and a component handler that records
// the plug-in's edits; objects on the stack, so their counts do not matter.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/ivstunits.h"
#include "tests/vst/ModuleLoader.h"

namespace vst3test {

using namespace Steinberg;

#define DM_TEST_UNKNOWN(Interface)                                             \
  tresult PLUGIN_API queryInterface(const TUID queried, void** obj) override { \
    if (std::memcmp(queried, Interface##_iid, sizeof(TUID)) == 0 ||            \
        std::memcmp(queried, FUnknown_iid, sizeof(TUID)) == 0) {               \
      *obj = this;                                                             \
      return kResultOk;                                                        \
    }                                                                          \
    *obj = nullptr;                                                            \
    return kNoInterface;                                                       \
  }                                                                            \
  uint32 PLUGIN_API addRef() override { return 1; }                            \
  uint32 PLUGIN_API release() override { return 1; }

class MemoryStream : public IBStream {
 public:
  MemoryStream() = default;
  explicit MemoryStream(std::vector<uint8_t> b) : bytes(std::move(b)) {}
  DM_TEST_UNKNOWN(IBStream)
  tresult PLUGIN_API read(void* buffer, int32 n, int32* done) override;
  tresult PLUGIN_API write(void* buffer, int32 n, int32* done) override;
  tresult PLUGIN_API seek(int64 to, int32 mode, int64* result) override;
  tresult PLUGIN_API tell(int64* result) override;
  std::vector<uint8_t> bytes;
  size_t at = 0;
};

class PointQueue : public Vst::IParamValueQueue {
 public:
  DM_TEST_UNKNOWN(Vst::IParamValueQueue)
  Vst::ParamID PLUGIN_API getParameterId() override { return id; }
  int32 PLUGIN_API getPointCount() override { return static_cast<int32>(points.size()); }
  tresult PLUGIN_API getPoint(int32 index, int32& offset, Vst::ParamValue& value) override;
  tresult PLUGIN_API addPoint(int32 offset, Vst::ParamValue value, int32& index) override;
  Vst::ParamID id = 0;
  std::vector<std::pair<int32, double>> points;
};

class Changes : public Vst::IParameterChanges {
 public:
  DM_TEST_UNKNOWN(Vst::IParameterChanges)
  int32 PLUGIN_API getParameterCount() override { return static_cast<int32>(queues.size()); }
  Vst::IParamValueQueue* PLUGIN_API getParameterData(int32 index) override;
  Vst::IParamValueQueue* PLUGIN_API addParameterData(const Vst::ParamID& id, int32& index) override;
  void Add(Vst::ParamID id, int32 offset, double value);
  std::vector<PointQueue> queues;
};

class Handler : public Vst::IComponentHandler {
 public:
  DM_TEST_UNKNOWN(Vst::IComponentHandler)
  tresult PLUGIN_API beginEdit(Vst::ParamID id) override;
  tresult PLUGIN_API performEdit(Vst::ParamID id, Vst::ParamValue value) override;
  tresult PLUGIN_API endEdit(Vst::ParamID id) override;
  tresult PLUGIN_API restartComponent(int32 flags) override;
  std::vector<std::string> calls;  // "begin 3", "perform 3 0.5", "end 3", "restart 4"
};

// The loaded module and its factory, once per test run.
const ModuleLoader& Vst3Module();
IPluginFactory* Vst3Factory();

// One plug-in as a host holds it: the component with its processor and a
// controller, each initialised; the controller knows the handler.
class Vst3Instance {
 public:
  explicit Vst3Instance(bool withController = true);
  ~Vst3Instance();
  Vst3Instance(const Vst3Instance&) = delete;
  Vst3Instance& operator=(const Vst3Instance&) = delete;

  void Start(double rate, int32 maxBlock, int32 sampleSize);
  std::vector<uint8_t> State();
  tresult SetState(const std::vector<uint8_t>& bytes);
  // Runs frames from offset of the input channels into the same frames of
  // the output channels.
  template <typename Sample>
  tresult Process(const std::vector<std::vector<Sample>>& in, std::vector<std::vector<Sample>>& out,
                  int32 offset, int32 frames, Vst::IParameterChanges* changes,
                  uint64* silence = nullptr);

  Vst::IComponent* component = nullptr;
  Vst::IAudioProcessor* processor = nullptr;
  Vst::IEditController* controller = nullptr;
  Handler handler;
};

std::string Text(const Vst::TChar* text);

}  // namespace vst3test
