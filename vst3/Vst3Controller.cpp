#include "vst3/Vst3Controller.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "framework/TextCopy.h"
#include "vst3/IEffectVST3.h"
#include "vst3/Vst3PlugView.h"
#include "vst3/Vst3PluginFactory.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int32 kExtraParameters = 2;  // Bypass and Program
constexpr size_t kTextBytes = 128;

}  // namespace

Vst3Controller* Vst3Controller::Create(Vst3PluginMaker make) {
  auto* controller = new (std::nothrow) Vst3Controller(nullptr);
  if (!controller) return nullptr;
  controller->effect = make(controller);
  if (!controller->effect) {
    controller->release();
    return nullptr;
  }
  PluginLockGuard guard(controller->effect->Lock());
  controller->effect->NotifyAllParametersChanged();
  for (int32_t i = 0; i < controller->effect->ParameterCount(); ++i) {
    controller->defaults.push_back(controller->effect->ParameterNormalized(i));
  }
  return controller;
}

Vst3Controller::Vst3Controller(IEffectVST3* plugin) : effect(plugin) {}

// Every view holds the controller, so none is left here.
Vst3Controller::~Vst3Controller() {
  delete effect;
  if (handler) handler->release();
}

uint32 PLUGIN_API Vst3Controller::release() {
  const uint32 left = refs.Drop();
  if (left == 0) delete this;
  return left;
}

tresult PLUGIN_API Vst3Controller::queryInterface(const TUID queried, void** obj) {
  if (!obj) return kInvalidArgument;
  if (SameIid(queried, FUnknown_iid) || SameIid(queried, IPluginBase_iid) ||
      SameIid(queried, IEditController_iid)) {
    *obj = static_cast<IEditController*>(this);
  } else if (SameIid(queried, IUnitInfo_iid)) {
    *obj = static_cast<IUnitInfo*>(this);
  } else {
    *obj = nullptr;
    return kNoInterface;
  }
  addRef();
  return kResultOk;
}

tresult PLUGIN_API Vst3Controller::initialize(FUnknown*) { return kResultOk; }

tresult PLUGIN_API Vst3Controller::terminate() {
  setComponentHandler(nullptr);
  return kResultOk;
}

tresult PLUGIN_API Vst3Controller::setComponentState(IBStream* state) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeStream(state, bytes, kMostStateBytes)) return kResultFalse;
  int32_t handedBypass = -1;
  if (!effect->ReadState(bytes.data(), static_cast<int64_t>(bytes.size()), handedBypass)) {
    return kResultFalse;
  }
  if (handedBypass >= 0) bypassValue = handedBypass;
  return kResultOk;
}

// Everything lives in the component's state; the controller keeps none.
tresult PLUGIN_API Vst3Controller::setState(IBStream*) { return kResultOk; }
tresult PLUGIN_API Vst3Controller::getState(IBStream*) { return kResultOk; }

int32 PLUGIN_API Vst3Controller::getParameterCount() {
  return effect->ParameterCount() + kExtraParameters;
}

bool Vst3Controller::IsEffectParameter(ParamID id) const {
  return id < static_cast<ParamID>(effect->ParameterCount());
}

int32_t Vst3Controller::ProgramOf(ParamValue value) const {
  return ProgramOfNormalized(value, effect->PresetCount());
}

ParamValue Vst3Controller::NormalizedOfProgram(int32_t program) const {
  const int32_t last = effect->PresetCount() - 1;
  return last > 0 ? static_cast<double>(program) / static_cast<double>(last) : 0.0;
}

tresult PLUGIN_API Vst3Controller::getParameterInfo(int32 paramIndex, ParameterInfo& info) {
  info = ParameterInfo{};
  info.unitId = kRootUnitId;
  if (paramIndex >= 0 && paramIndex < effect->ParameterCount()) {
    PluginLockGuard guard(effect->Lock());
    const IParameter* parameter = effect->ParameterAt(paramIndex);
    info.id = static_cast<ParamID>(paramIndex);
    CopyToString128(info.title, parameter->Name());
    CopyToString128(info.shortTitle, parameter->Name());
    CopyToString128(info.units, parameter->Label());
    double minimum = 0.0;
    double maximum = 0.0;
    parameter->Range(minimum, maximum);
    info.stepCount = parameter->kind == ParamKind::Continuous
                         ? 0
                         : static_cast<int32>(std::lround((maximum - minimum) / parameter->step));
    info.defaultNormalizedValue = defaults[static_cast<size_t>(paramIndex)];
    info.flags = ParameterInfo::kCanAutomate;
    return kResultOk;
  }
  if (paramIndex == effect->ParameterCount()) {
    info.id = kBypassParameterId;
    CopyToString128(info.title, "Bypass");
    CopyToString128(info.shortTitle, "Bypass");
    info.stepCount = 1;
    info.flags = ParameterInfo::kCanAutomate | ParameterInfo::kIsBypass;
    return kResultOk;
  }
  if (paramIndex == effect->ParameterCount() + 1) {
    info.id = kProgramParameterId;
    CopyToString128(info.title, "Program");
    CopyToString128(info.shortTitle, "Program");
    info.stepCount = effect->PresetCount() - 1;
    info.flags =
        ParameterInfo::kCanAutomate | ParameterInfo::kIsList | ParameterInfo::kIsProgramChange;
    return kResultOk;
  }
  return kInvalidArgument;
}

tresult PLUGIN_API Vst3Controller::getParamStringByValue(ParamID id, ParamValue valueNormalized,
                                                         String128 string) {
  if (!string) return kInvalidArgument;
  char text[kTextBytes] = {};
  if (IsEffectParameter(id)) {
    PluginLockGuard guard(effect->Lock());
    const IParameter* parameter = effect->ParameterAt(static_cast<int32_t>(id));
    const double normalized = static_cast<float>(std::clamp(valueNormalized, 0.0, 1.0));
    parameter->FormatValue(parameter->SteppedValueOf(normalized), false, text, sizeof text);
  } else if (id == kBypassParameterId) {
    CopyTextBounded(text, sizeof text, valueNormalized >= 0.5 ? "On" : "Off");
  } else if (id == kProgramParameterId) {
    CopyTextBounded(text, sizeof text, effect->PresetName(ProgramOf(valueNormalized)));
  } else {
    return kInvalidArgument;
  }
  CopyToString128(string, text);
  return kResultOk;
}

tresult PLUGIN_API Vst3Controller::getParamValueByString(ParamID id, TChar* string,
                                                         ParamValue& valueNormalized) {
  if (!string) return kInvalidArgument;
  const std::string text = NarrowText(string);
  if (IsEffectParameter(id)) {
    return effect->NormalizedFromText(static_cast<int32_t>(id), text.c_str(), valueNormalized)
               ? kResultOk
               : kResultFalse;
  }
  if (id == kBypassParameterId) {
    if (text == "On" || text == "1") {
      valueNormalized = 1.0;
    } else if (text == "Off" || text == "0") {
      valueNormalized = 0.0;
    } else {
      return kResultFalse;
    }
    return kResultOk;
  }
  if (id == kProgramParameterId) {
    PluginLockGuard guard(effect->Lock());
    for (int32_t i = 0; i < effect->PresetCount(); ++i) {
      if (text == effect->PresetName(i)) {
        valueNormalized = NormalizedOfProgram(i);
        return kResultOk;
      }
    }
    return kResultFalse;
  }
  return kInvalidArgument;
}

ParamValue PLUGIN_API Vst3Controller::normalizedParamToPlain(ParamID id, ParamValue value) {
  if (IsEffectParameter(id)) {
    PluginLockGuard guard(effect->Lock());
    const double normalized = static_cast<float>(std::clamp(value, 0.0, 1.0));
    return effect->ParameterAt(static_cast<int32_t>(id))->SteppedValueOf(normalized);
  }
  if (id == kBypassParameterId) return value >= 0.5 ? 1.0 : 0.0;
  if (id == kProgramParameterId) return ProgramOf(value);
  return value;
}

ParamValue PLUGIN_API Vst3Controller::plainParamToNormalized(ParamID id, ParamValue plain) {
  if (IsEffectParameter(id)) {
    PluginLockGuard guard(effect->Lock());
    const IParameter* parameter = effect->ParameterAt(static_cast<int32_t>(id));
    double minimum = 0.0;
    double maximum = 0.0;
    parameter->Range(minimum, maximum);
    return parameter->NormalizedOf(std::clamp(plain, minimum, maximum));
  }
  if (id == kBypassParameterId) return plain >= 0.5 ? 1.0 : 0.0;
  if (id == kProgramParameterId) {
    const double last = static_cast<double>(effect->PresetCount() - 1);
    return NormalizedOfProgram(static_cast<int32_t>(std::lround(std::clamp(plain, 0.0, last))));
  }
  return plain;
}

ParamValue PLUGIN_API Vst3Controller::getParamNormalized(ParamID id) {
  if (IsEffectParameter(id)) return effect->ParameterNormalized(static_cast<int32_t>(id));
  if (id == kBypassParameterId) return bypassValue;
  if (id == kProgramParameterId) return NormalizedOfProgram(effect->CurrentPresetIndex());
  return 0.0;
}

tresult PLUGIN_API Vst3Controller::setParamNormalized(ParamID id, ParamValue value) {
  if (IsEffectParameter(id)) {
    effect->SetParameterFromHost(static_cast<int32_t>(id), value);
    return kResultOk;
  }
  if (id == kBypassParameterId) {
    bypassValue = value >= 0.5 ? 1.0 : 0.0;
    return kResultOk;
  }
  if (id == kProgramParameterId) {
    const int32_t program = ProgramOf(value);
    if (program == effect->CurrentPresetIndex()) return kResultOk;
    effect->ChangeProgram(program);
    // The program brought its own values: the host reads them anew.
    if (handler) handler->restartComponent(kParamValuesChanged);
    return kResultOk;
  }
  return kInvalidArgument;
}

tresult PLUGIN_API Vst3Controller::setComponentHandler(IComponentHandler* newHandler) {
  if (newHandler == handler) return kResultOk;
  if (newHandler) newHandler->addRef();
  if (handler) handler->release();
  handler = newHandler;
  return kResultOk;
}

IPlugView* PLUGIN_API Vst3Controller::createView(FIDString name) {
  if (!name || std::strcmp(name, ViewType::kEditor) != 0 || view || !effect->Editor()) {
    return nullptr;
  }
  view = new (std::nothrow) Vst3PlugView(this, effect);
  return view;
}

void Vst3Controller::ViewClosed(Vst3PlugView* closed) {
  if (view == closed) view = nullptr;
}

// The panel's gestures, passed on as the VST 2 module passes them.
void Vst3Controller::BeginEdit(int32_t index) {
  if (handler) handler->beginEdit(static_cast<ParamID>(index));
}

void Vst3Controller::PerformEdit(int32_t index, double normalized) {
  if (handler) {
    handler->performEdit(static_cast<ParamID>(index),
                         static_cast<double>(static_cast<float>(normalized)));
  }
}

void Vst3Controller::EndEdit(int32_t index) {
  if (handler) handler->endEdit(static_cast<ParamID>(index));
}

int32 PLUGIN_API Vst3Controller::getUnitCount() { return 1; }

tresult PLUGIN_API Vst3Controller::getUnitInfo(int32 unitIndex, UnitInfo& info) {
  if (unitIndex != 0) return kInvalidArgument;
  info.id = kRootUnitId;
  info.parentUnitId = kNoParentUnitId;
  CopyToString128(info.name, "Root");
  info.programListId = kProgramListId;
  return kResultOk;
}

int32 PLUGIN_API Vst3Controller::getProgramListCount() { return 1; }

tresult PLUGIN_API Vst3Controller::getProgramListInfo(int32 listIndex, ProgramListInfo& info) {
  if (listIndex != 0) return kInvalidArgument;
  info.id = kProgramListId;
  CopyToString128(info.name, "Programs");
  info.programCount = effect->PresetCount();
  return kResultOk;
}

tresult PLUGIN_API Vst3Controller::getProgramName(ProgramListID listId, int32 programIndex,
                                                  String128 name) {
  if (listId != kProgramListId || !name || programIndex < 0 ||
      programIndex >= effect->PresetCount()) {
    return kInvalidArgument;
  }
  PluginLockGuard guard(effect->Lock());
  CopyToString128(name, effect->PresetName(programIndex));
  return kResultOk;
}

tresult PLUGIN_API Vst3Controller::getProgramInfo(ProgramListID, int32, Vst::CString, String128) {
  return kResultFalse;
}
tresult PLUGIN_API Vst3Controller::hasProgramPitchNames(ProgramListID, int32) {
  return kResultFalse;
}
tresult PLUGIN_API Vst3Controller::getProgramPitchName(ProgramListID, int32, int16, String128) {
  return kResultFalse;
}
UnitID PLUGIN_API Vst3Controller::getSelectedUnit() { return kRootUnitId; }
tresult PLUGIN_API Vst3Controller::selectUnit(UnitID unitId) {
  return unitId == kRootUnitId ? kResultOk : kInvalidArgument;
}
tresult PLUGIN_API Vst3Controller::getUnitByBus(MediaType, BusDirection, int32, int32,
                                                UnitID& unitId) {
  unitId = kRootUnitId;
  return kResultOk;
}
tresult PLUGIN_API Vst3Controller::setUnitProgramData(int32, int32, IBStream*) {
  return kNotImplemented;
}
