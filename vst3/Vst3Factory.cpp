#include "vst3/Vst3Factory.h"

#include <cstring>
#include <mutex>

#include "framework/TextCopy.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "vst3/Vst3ClassIds.h"
#include "vst3/Vst3Component.h"
#include "vst3/Vst3Controller.h"
#include "vst3/Vst3Objects.h"
#include "vst3/Vst3PluginFactory.h"

using namespace Steinberg;

namespace {

constexpr int32 kClassCount = 2;  // the component, then its controller
constexpr const char* kControllerCategory = "ComponentControllerClass";

class Vst3FactoryObject : public IPluginFactory3 {
 public:
  explicit Vst3FactoryObject(Vst3PluginMaker maker) : make(maker) {}

  tresult PLUGIN_API queryInterface(const TUID queried, void** obj) override {
    if (!obj) return kInvalidArgument;
    if (SameIid(queried, FUnknown_iid) || SameIid(queried, IPluginFactory_iid) ||
        SameIid(queried, IPluginFactory2_iid) || SameIid(queried, IPluginFactory3_iid)) {
      *obj = static_cast<IPluginFactory3*>(this);
      return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return 1; }
  uint32 PLUGIN_API release() override { return 1; }

  tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) override {
    if (!info) return kInvalidArgument;
    *info = PFactoryInfo{};
    CopyTextBounded(info->vendor, sizeof info->vendor, kVst3Plugin.vendor);
    CopyTextBounded(info->url, sizeof info->url, kVst3Plugin.url);
    CopyTextBounded(info->email, sizeof info->email, kVst3Plugin.email);
    info->flags = PFactoryInfo::kUnicode;
    return kResultOk;
  }
  int32 PLUGIN_API countClasses() override { return kClassCount; }

  tresult PLUGIN_API getClassInfo(int32 index, PClassInfo* info) override {
    if (!info || index < 0 || index >= kClassCount) return kInvalidArgument;
    *info = PClassInfo{};
    ClassId(index, info->cid);
    info->cardinality = PClassInfo::kManyInstances;
    CopyTextBounded(info->category, sizeof info->category,
                    index == 0 ? kVstAudioEffectClass : kControllerCategory);
    CopyTextBounded(info->name, sizeof info->name, kVst3Plugin.name);
    return kResultOk;
  }

  tresult PLUGIN_API getClassInfo2(int32 index, PClassInfo2* info) override {
    if (!info || index < 0 || index >= kClassCount) return kInvalidArgument;
    PClassInfo plain;
    getClassInfo(index, &plain);
    *info = PClassInfo2{};
    std::memcpy(info->cid, plain.cid, sizeof info->cid);
    info->cardinality = plain.cardinality;
    CopyTextBounded(info->category, sizeof info->category, plain.category);
    CopyTextBounded(info->name, sizeof info->name, plain.name);
    CopyTextBounded(info->subCategories, sizeof info->subCategories,
                    index == 0 ? kVst3Plugin.subCategories : "");
    CopyTextBounded(info->vendor, sizeof info->vendor, kVst3Plugin.vendor);
    CopyTextBounded(info->version, sizeof info->version, kVst3Plugin.version);
    CopyTextBounded(info->sdkVersion, sizeof info->sdkVersion, kVstVersionString);
    return kResultOk;
  }

  tresult PLUGIN_API getClassInfoUnicode(int32 index, PClassInfoW* info) override {
    if (!info || index < 0 || index >= kClassCount) return kInvalidArgument;
    PClassInfo2 narrow;
    getClassInfo2(index, &narrow);
    *info = PClassInfoW{};
    std::memcpy(info->cid, narrow.cid, sizeof info->cid);
    info->cardinality = narrow.cardinality;
    CopyTextBounded(info->category, sizeof info->category, narrow.category);
    CopyTextBounded(info->subCategories, sizeof info->subCategories, narrow.subCategories);
    Widen(info->name, narrow.name);
    Widen(info->vendor, narrow.vendor);
    Widen(info->version, narrow.version);
    Widen(info->sdkVersion, narrow.sdkVersion);
    return kResultOk;
  }

  // Hosts may make instances from several threads at once; they are made one
  // at a time, and nothing thrown leaves the module.
  tresult PLUGIN_API createInstance(FIDString cid, FIDString wantedInterface, void** obj) override {
    if (!cid || !wantedInterface || !obj) return kInvalidArgument;
    *obj = nullptr;
    try {
      std::lock_guard<std::mutex> guard(constructionLock);
      return Construct(cid, wantedInterface, obj);
    } catch (...) {
      return kOutOfMemory;
    }
  }

  tresult PLUGIN_API setHostContext(FUnknown*) override { return kResultOk; }

 private:
  tresult Construct(FIDString cid, FIDString wantedInterface, void** obj) {
    TUID wanted;
    std::memcpy(wanted, cid, sizeof wanted);
    FUnknown* made = nullptr;
    TUID id;
    ClassId(0, id);
    if (SameIid(wanted, id)) {
      made = static_cast<Vst::IComponent*>(Vst3Component::Create(make));
    } else {
      ClassId(1, id);
      if (!SameIid(wanted, id)) return kInvalidArgument;
      made = static_cast<Vst::IEditController*>(Vst3Controller::Create(make));
    }
    if (!made) return kOutOfMemory;
    TUID interfaceId;
    std::memcpy(interfaceId, wantedInterface, sizeof interfaceId);
    const tresult result = made->queryInterface(interfaceId, obj);
    made->release();
    return result;
  }
  static void ClassId(int32 index, TUID out) {
    MakeVst3ClassId(index == 0 ? kComponentIdPrefix : kControllerIdPrefix, kVst3Plugin.vst2UniqueId,
                    kVst3Plugin.name, out);
  }
  template <size_t N>
  static void Widen(char16 (&out)[N], const char* text) {
    size_t i = 0;
    for (; text[i] != '\0' && i + 1 < N; ++i) {
      out[i] = static_cast<char16>(static_cast<unsigned char>(text[i]));
    }
    out[i] = 0;
  }

  Vst3PluginMaker make;
  std::mutex constructionLock;
};

}  // namespace

IPluginFactory* Vst3ModuleFactory(Vst3PluginMaker make) {
  static Vst3FactoryObject factory(make);
  return &factory;
}
