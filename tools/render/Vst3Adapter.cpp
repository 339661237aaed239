#include "tools/render/Vst3Adapter.h"

#include "framework/PresetFile.h"
#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/ivstunits.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "vst/VstTextLimits.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace render {
namespace {

using namespace Steinberg;

constexpr Vst::ParamID kProgramParameter =
    10;                                      // after the effect's own, as the plug-in numbers them
constexpr int32_t kChunkMagic = 0x70666674;  // the plug-in's chunk header, little-endian
constexpr int32_t kChunkVersion = 0x00010000;

IPluginFactory* boundFactory = nullptr;

// An in-memory stream for states.
class Bytes : public IBStream {
 public:
  explicit Bytes(std::vector<uint8_t> b = {}) : bytes(std::move(b)) {}
  tresult PLUGIN_API queryInterface(const TUID, void** obj) override {
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return 1; }
  uint32 PLUGIN_API release() override { return 1; }
  tresult PLUGIN_API read(void* buffer, int32 n, int32* done) override {
    const size_t count = std::min(static_cast<size_t>(std::max(n, 0)), bytes.size() - at);
    if (count > 0) std::memcpy(buffer, bytes.data() + at, count);
    at += count;
    if (done) *done = static_cast<int32>(count);
    return kResultOk;
  }
  tresult PLUGIN_API write(void* buffer, int32 n, int32* done) override {
    const auto* b = static_cast<const uint8_t*>(buffer);
    bytes.insert(bytes.end(), b, b + std::max(n, 0));
    if (done) *done = n;
    return kResultOk;
  }
  tresult PLUGIN_API seek(int64, int32, int64*) override { return kResultFalse; }
  tresult PLUGIN_API tell(int64* result) override {
    if (result) *result = static_cast<int64>(at);
    return kResultOk;
  }
  std::vector<uint8_t> bytes;
  size_t at = 0;
};

// One parameter change at the start of a block.
class OneChange : public Vst::IParameterChanges, public Vst::IParamValueQueue {
 public:
  OneChange(Vst::ParamID changed, double normalized) : id(changed), value(normalized) {}
  tresult PLUGIN_API queryInterface(const TUID, void** obj) override {
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return 1; }
  uint32 PLUGIN_API release() override { return 1; }
  int32 PLUGIN_API getParameterCount() override { return 1; }
  Vst::IParamValueQueue* PLUGIN_API getParameterData(int32 index) override {
    return index == 0 ? this : nullptr;
  }
  Vst::IParamValueQueue* PLUGIN_API addParameterData(const Vst::ParamID&, int32&) override {
    return nullptr;
  }
  Vst::ParamID PLUGIN_API getParameterId() override { return id; }
  int32 PLUGIN_API getPointCount() override { return 1; }
  tresult PLUGIN_API getPoint(int32 index, int32& offset, Vst::ParamValue& v) override {
    if (index != 0) return kInvalidArgument;
    offset = 0;
    v = value;
    return kResultOk;
  }
  tresult PLUGIN_API addPoint(int32, Vst::ParamValue, int32&) override { return kResultFalse; }

 private:
  Vst::ParamID id;
  double value;
};

void CopyText(char* out, size_t capacity, const std::string& text) {
  std::snprintf(out, capacity, "%s", text.c_str());
}

std::string Narrow(const Vst::TChar* text) {
  std::string narrow;
  for (size_t i = 0; text[i] != 0; ++i) {
    narrow.push_back(text[i] < 256 ? static_cast<char>(text[i]) : '?');
  }
  return narrow;
}

void AppendLittleEndian(std::vector<uint8_t>& bytes, uint64_t v, int count) {
  for (int i = 0; i < count; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// The plug-in behind one record.
class Vst3Record {
 public:
  static AEffect* Make(IPluginFactory* factory) {
    auto* record = new Vst3Record();
    if (!record->Create(factory)) {
      delete record;
      return nullptr;
    }
    return &record->effect;
  }

 private:
  static Vst3Record* Of(AEffect* e) { return static_cast<Vst3Record*>(e->object); }

  bool Create(IPluginFactory* factory) {
    PClassInfo info{};
    if (factory->getClassInfo(0, &info) != kResultOk) return false;
    name = info.name;
    PFactoryInfo vendorInfo{};
    factory->getFactoryInfo(&vendorInfo);
    vendor = vendorInfo.vendor;
    if (factory->createInstance(info.cid, Vst::IComponent_iid,
                                reinterpret_cast<void**>(&component)) != kResultOk ||
        !component || component->initialize(nullptr) != kResultOk ||
        component->queryInterface(Vst::IAudioProcessor_iid, reinterpret_cast<void**>(&processor)) !=
            kResultOk) {
      return false;
    }
    TUID controllerId{};
    if (component->getControllerClassId(controllerId) != kResultOk ||
        factory->createInstance(controllerId, Vst::IEditController_iid,
                                reinterpret_cast<void**>(&controller)) != kResultOk ||
        !controller || controller->initialize(nullptr) != kResultOk) {
      return false;
    }
    controller->queryInterface(Vst::IUnitInfo_iid, reinterpret_cast<void**>(&units));
    int32 version[3] = {};
    PClassInfo2 info2{};
    IPluginFactory2* factory2 = nullptr;
    if (factory->queryInterface(IPluginFactory2_iid, reinterpret_cast<void**>(&factory2)) ==
            kResultOk &&
        factory2 && factory2->getClassInfo2(0, &info2) == kResultOk) {
      std::sscanf(info2.version, "%d.%d.%d", &version[0], &version[1], &version[2]);
    }
    programCount = 0;
    Vst::ProgramListInfo list{};
    if (units && units->getProgramListInfo(0, list) == kResultOk) {
      programListId = list.id;
      programCount = list.programCount;
    }
    effect.magic = kEffectMagic;
    effect.object = this;
    effect.dispatcher = &Dispatcher;
    effect.setParameter = &SetParameter;
    effect.getParameter = &GetParameter;
    effect.processReplacing = &ProcessReplacing;
    effect.processDoubleReplacing = &ProcessDoubleReplacing;
    effect.numPrograms = programCount;
    effect.numParams = EffectParameterCount();
    effect.numInputs = effect.numOutputs = 2;
    effect.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing | effFlagsCanMono;
    // The class ID carries the VST 2 plug-in's ID after its three-letter
    // prefix (in this byte order on Linux).
    effect.uniqueID = static_cast<int32_t>(static_cast<uint32_t>(info.cid[3] & 0xFF) << 24 |
                                           static_cast<uint32_t>(info.cid[4] & 0xFF) << 16 |
                                           static_cast<uint32_t>(info.cid[5] & 0xFF) << 8 |
                                           static_cast<uint32_t>(info.cid[6] & 0xFF));
    effect.version = version[0] * 10000 + version[1] * 100 + version[2];
    effect.ioRatio = 1.0f;
    return true;
  }

 public:
  ~Vst3Record() {
    if (units) units->release();
    if (controller) {
      controller->terminate();
      controller->release();
    }
    if (processor) processor->release();
    if (component) {
      component->terminate();
      component->release();
    }
  }

 private:
  // The effect's own parameters: those before Bypass and Program.
  int32_t EffectParameterCount() {
    int32_t count = 0;
    const int32 all = controller->getParameterCount();
    for (int32 i = 0; i < all; ++i) {
      Vst::ParameterInfo p{};
      controller->getParameterInfo(i, p);
      if (p.flags & (Vst::ParameterInfo::kIsBypass | Vst::ParameterInfo::kIsProgramChange)) break;
      ++count;
    }
    return count;
  }

  // A change reaches the processor at once (in a block of no frames) and the
  // controller, as a host's automation does.
  void Change(Vst::ParamID id, double normalized) {
    OneChange change(id, normalized);
    Vst::ProcessData data{};
    data.symbolicSampleSize = sampleSize;
    data.inputParameterChanges = &change;
    processor->process(data);
    controller->setParamNormalized(id, normalized);
  }

  int32_t CurrentProgram() {
    const double last = std::max(programCount - 1, 1);
    return static_cast<int32_t>(
        std::lround(controller->getParamNormalized(kProgramParameter) * last));
  }

  bool SetState(const std::vector<uint8_t>& bytes) {
    Bytes forComponent(bytes);
    Bytes forController(bytes);
    if (component->setState(&forComponent) != kResultOk) return false;
    controller->setComponentState(&forController);
    return true;
  }

  std::vector<uint8_t> State() {
    Bytes stream;
    component->getState(&stream);
    return stream.bytes;
  }

  // The VST 2 chunks the module would hand out: the bank is the state
  // without its trailing program number; a program is the chunk header and
  // the current values.
  intptr_t GetChunk(bool isProgram, void** destination) {
    chunk.clear();
    if (isProgram) {
      AppendLittleEndian(chunk, static_cast<uint32_t>(kChunkMagic), 4);
      AppendLittleEndian(chunk, static_cast<uint32_t>(kChunkVersion), 4);
      for (int32_t i = 0; i < effect.numParams; ++i) {
        const auto id = static_cast<Vst::ParamID>(i);
        const double plain =
            controller->normalizedParamToPlain(id, controller->getParamNormalized(id));
        uint64_t bits = 0;
        std::memcpy(&bits, &plain, sizeof bits);
        AppendLittleEndian(chunk, bits, 8);
      }
    } else {
      chunk = State();
      if (chunk.size() < 4) return 0;
      chunk.resize(chunk.size() - 4);
    }
    *destination = chunk.data();
    return static_cast<intptr_t>(chunk.size());
  }

  intptr_t SetChunk(bool isProgram, intptr_t size, const void* bytes) {
    if (!bytes || size < 0) return 0;
    const auto* b = static_cast<const uint8_t*>(bytes);
    std::vector<uint8_t> given(b, b + size);
    if (!isProgram) {
      AppendLittleEndian(given, static_cast<uint32_t>(CurrentProgram()), 4);
      return SetState(given) ? 1 : 0;
    }
    // A program chunk reaches the plug-in as a VST 2 host's hand-over.
    presets::PresetFile record;
    record.opaque = true;
    record.pluginId = effect.uniqueID;
    record.pluginVersion = effect.version;
    record.chunk = given;
    std::vector<uint8_t> handOver = {'V', 's', 't', 'W', 0, 0, 0, 8, 0, 0, 0, 1, 0, 0, 0, 0};
    const std::vector<uint8_t> file = presets::SerializePresetFile(record);
    handOver.insert(handOver.end(), file.begin(), file.end());
    return SetState(handOver) ? 1 : 0;
  }

  void Start(bool on) {
    if (on) {
      Vst::ProcessSetup setup{Vst::kOffline, sampleSize, blockSize, sampleRate};
      processor->setupProcessing(setup);
      component->setActive(true);
      processor->setProcessing(true);
    } else {
      processor->setProcessing(false);
      component->setActive(false);
    }
  }

  intptr_t SetArrangement(const VstSpeakerArrangement* in, const VstSpeakerArrangement* out) {
    if (!in || !out) return 0;
    Vst::SpeakerArrangement inputs = in->numChannels == 1   ? Vst::SpeakerArr::kMono
                                     : in->numChannels == 2 ? Vst::SpeakerArr::kStereo
                                                            : Vst::SpeakerArr::kEmpty;
    Vst::SpeakerArrangement outputs = out->numChannels == 1   ? Vst::SpeakerArr::kMono
                                      : out->numChannels == 2 ? Vst::SpeakerArr::kStereo
                                                              : Vst::SpeakerArr::kEmpty;
    if (processor->setBusArrangements(&inputs, 1, &outputs, 1) != kResultTrue) return 0;
    channels = in->numChannels;
    return 1;
  }

  std::string ParameterText(int32_t index, int which) {
    Vst::ParameterInfo p{};
    if (index < 0 || index >= effect.numParams ||
        controller->getParameterInfo(index, p) != kResultOk) {
      return {};
    }
    if (which == 0) return Narrow(p.title);
    if (which == 1) return Narrow(p.units);
    Vst::String128 text{};
    controller->getParamStringByValue(p.id, controller->getParamNormalized(p.id), text);
    return Narrow(text);
  }

  std::string ProgramName(int32_t index) {
    Vst::String128 text{};
    if (!units || units->getProgramName(programListId, index, text) != kResultOk) return {};
    return Narrow(text);
  }

  intptr_t Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
      case effSetSampleRate:
        sampleRate = opt;
        return 0;
      case effSetBlockSize:
        blockSize = static_cast<int32>(value);
        return 0;
      case effSetProcessPrecision:
        sampleSize = value == 1 ? Vst::kSample64 : Vst::kSample32;
        return 1;
      case effMainsChanged:
        Start(value != 0);
        return 0;
      case effSetSpeakerArrangement:
        return SetArrangement(reinterpret_cast<const VstSpeakerArrangement*>(value),
                              static_cast<const VstSpeakerArrangement*>(ptr));
      case effGetEffectName:
        if (text) CopyText(text, kEffectNameBytes, name);
        return 1;
      case effGetProductString:
        if (text) text[0] = '\0';
        return 1;
      case effGetVendorString:
        if (text) CopyText(text, kVendorStringBytes, vendor);
        return 1;
      case effGetParamName:
      case effGetParamLabel:
      case effGetParamDisplay:
        if (text) {
          const int which = opcode == effGetParamName ? 0 : opcode == effGetParamLabel ? 1 : 2;
          CopyText(text, kParameterTextBytes, ParameterText(index, which));
        }
        return 0;
      case effString2Parameter: {
        if (index < 0 || index >= effect.numParams) return 0;
        if (!text) return 1;
        Vst::String128 wide{};
        for (size_t i = 0; text[i] != '\0' && i < 127; ++i) {
          wide[i] = static_cast<Vst::TChar>(static_cast<unsigned char>(text[i]));
        }
        Vst::ParamValue normalized = 0.0;
        const auto id = static_cast<Vst::ParamID>(index);
        if (controller->getParamValueByString(id, wide, normalized) != kResultOk) return 0;
        Change(id, normalized);
        return 1;
      }
      case effSetProgram: {
        const double last = std::max(programCount - 1, 1);
        Change(kProgramParameter, static_cast<double>(value) / last);
        return 0;
      }
      case effGetProgram:
        return CurrentProgram();
      case effGetProgramName:
        if (text) CopyText(text, kProgramNameBytes, ProgramName(CurrentProgram()));
        return 0;
      case effGetProgramNameIndexed: {
        if (!text || index < 0 || index >= programCount) return 0;
        CopyText(text, kProgramNameBytes, ProgramName(index));
        return text[0] != '\0' ? 1 : 0;
      }
      case effGetChunk:
        return ptr ? GetChunk(index != 0, static_cast<void**>(ptr)) : 0;
      case effSetChunk:
        return SetChunk(index != 0, value, ptr);
      case effGetPlugCategory:
        return kPlugCategEffect;
      case effGetVstVersion:
        return kVstVersion;
      case effClose:
        delete this;
        return 1;
      default:
        return 0;
    }
  }

  template <typename Sample>
  void Process(Sample** inputs, Sample** outputs, int32_t frames) {
    Vst::AudioBusBuffers in{};
    Vst::AudioBusBuffers out{};
    in.numChannels = out.numChannels = channels;
    if constexpr (sizeof(Sample) == sizeof(float)) {
      in.channelBuffers32 = inputs;
      out.channelBuffers32 = outputs;
    } else {
      in.channelBuffers64 = inputs;
      out.channelBuffers64 = outputs;
    }
    Vst::ProcessData data{};
    data.processMode = Vst::kOffline;
    data.symbolicSampleSize = sizeof(Sample) == sizeof(float) ? Vst::kSample32 : Vst::kSample64;
    data.numSamples = frames;
    data.numInputs = data.numOutputs = 1;
    data.inputs = &in;
    data.outputs = &out;
    processor->process(data);
  }

  static intptr_t Dispatcher(AEffect* e, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                             float opt) {
    return Of(e)->Dispatch(opcode, index, value, ptr, opt);
  }
  static void SetParameter(AEffect* e, int32_t index, float normalized) {
    if (index >= 0 && index < e->numParams) {
      Of(e)->Change(static_cast<Vst::ParamID>(index), static_cast<double>(normalized));
    }
  }
  static float GetParameter(AEffect* e, int32_t index) {
    if (index < 0 || index >= e->numParams) return 0.0f;
    return static_cast<float>(
        Of(e)->controller->getParamNormalized(static_cast<Vst::ParamID>(index)));
  }
  static void ProcessReplacing(AEffect* e, float** inputs, float** outputs, int32_t frames) {
    Of(e)->Process(inputs, outputs, frames);
  }
  static void ProcessDoubleReplacing(AEffect* e, double** inputs, double** outputs,
                                     int32_t frames) {
    Of(e)->Process(inputs, outputs, frames);
  }

  AEffect effect{};
  Vst::IComponent* component = nullptr;
  Vst::IAudioProcessor* processor = nullptr;
  Vst::IEditController* controller = nullptr;
  Vst::IUnitInfo* units = nullptr;
  Vst::ProgramListID programListId = 0;
  int32_t programCount = 0;
  std::string name;
  std::string vendor;
  double sampleRate = 44100.0;
  int32 blockSize = 1024;
  int32 sampleSize = Vst::kSample32;
  int32 channels = 2;
  std::vector<uint8_t> chunk;
};

AEffect* MakeRecord(audioMasterCallback) {
  return boundFactory ? Vst3Record::Make(boundFactory) : nullptr;
}

}  // namespace

bool IsVst3Bundle(const std::string& path) {
  struct stat st {};
  const std::string suffix = ".vst3";
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  return trimmed.size() > suffix.size() &&
         trimmed.compare(trimmed.size() - suffix.size(), suffix.size(), suffix) == 0 &&
         stat(trimmed.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string Vst3BundleBinary(const std::string& bundle) {
  std::string trimmed = bundle;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  const size_t slash = trimmed.find_last_of('/');
  const std::string folderName = slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
  const std::string stem = folderName.substr(0, folderName.size() - 5);
  return trimmed + "/Contents/x86_64-linux/" + stem + ".so";
}

VstPluginMainProc Vst3EntryPoint(void* factory) {
  boundFactory = static_cast<IPluginFactory*>(factory);
  return &MakeRecord;
}

}  // namespace render
