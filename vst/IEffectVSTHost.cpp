// The plug-in's requests of the host. Each passes the plug-in's own record
// and runs under the plug-in lock, so the host is always called with it held.
#include <cstring>

#include "platform/SaturatingConversions.h"
#include "vst/IEffectVST.h"

namespace {

constexpr int32_t kHostProductCapacity = 256;

// A host's version in decimal form (major * 10000 + minor * 100 + revision)
// in the packed form the framework keeps (major << 16 | minor << 8 | revision).
int32_t PackedVersionFromDecimal(int64_t hostValue) {
  const int64_t decimal = SaturateToInt32(hostValue);
  const int64_t major = decimal / 10000;
  const int64_t minor = decimal / 100 % 100;
  const int64_t revision = decimal % 100;
  return SaturateToInt32(major * 65536 + minor * 256 + revision);
}

bool KindUsesStereoInputsAllOutputs(HostKind kind) {
  return kind == HostKind::Forte || kind == HostKind::Audition || kind == HostKind::Orion ||
         kind == HostKind::SawStudio;
}

// A list holding the one event; the second declared slot stays null.
VstEvents ListOfOne(void* event) {
  VstEvents list{};
  list.numEvents = 1;
  list.events[0] = static_cast<VstEvent*>(event);
  return list;
}

}  // namespace

intptr_t IEffectVST::CallHost(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  // A host that handed over no callback simply answers nothing.
  if (!hostCallback) return 0;
  return hostCallback(&effect, opcode, index, value, ptr, opt);
}

void IEffectVST::HostBeginEdit(int32_t index) {
  PluginLockGuard guard(lock);
  FlushDeferredEndOfEdit();
  CallHost(audioMasterBeginEdit, index);
}

void IEffectVST::HostBeginEditUnlessPending(int32_t index) {
  PluginLockGuard guard(lock);
  // A wheel gesture on the parameter whose end notice is still pending simply
  // continues; the host already saw its begin.
  if (index == pendingEndEdit) return;
  IEffectVST::HostBeginEdit(index);
}

void IEffectVST::HostAutomate(int32_t index, double normalized) {
  PluginLockGuard guard(lock);
  CallHost(audioMasterAutomate, index, 0, nullptr, static_cast<float>(normalized));
}

void IEffectVST::HostEndEdit(int32_t index) {
  PluginLockGuard guard(lock);
  CallHost(audioMasterEndEdit, index);
}

void IEffectVST::HostRefreshDisplay() {
  PluginLockGuard guard(lock);
  CallHost(audioMasterUpdateDisplay);
}

const VstTimeInfo* IEffectVST::HostTimeInfo(int32_t wanted) {
  return reinterpret_cast<const VstTimeInfo*>(CallHost(audioMasterGetTime, 0, wanted));
}

int32_t IEffectVST::HostSamplePosition() {
  PluginLockGuard guard(lock);
  const VstTimeInfo* info = HostTimeInfo(0);
  if (!info || !(info->samplePos >= 0.0)) return 0;
  // Positions beyond 2^31 samples (half a day at 48 kHz) saturate.
  return RoundHalfUp(info->samplePos);
}

double IEffectVST::HostTempo() {
  PluginLockGuard guard(lock);
  const VstTimeInfo* info = HostTimeInfo(kVstTempoValid);
  if (!info || !(info->flags & kVstTempoValid) || !(info->tempo >= 0.0)) return 0.0;
  return info->tempo;
}

void IEffectVST::HostTimeSignature(int32_t& numerator, int32_t& denominator) {
  PluginLockGuard guard(lock);
  numerator = 0;
  denominator = 0;
  const VstTimeInfo* info = HostTimeInfo(kVstTimeSigValid);
  if (!info || !(info->flags & kVstTimeSigValid)) return;
  if (info->timeSigNumerator < 0 || info->timeSigDenominator < 0) return;
  numerator = info->timeSigNumerator;
  denominator = info->timeSigDenominator;
}

HostKind IEffectVST::QueryHostKind() {
  PluginLockGuard guard(lock);
  if (hostKind != HostKind::NotQueried) return hostKind;
  char product[kHostProductCapacity] = {};
  CallHost(audioMasterGetProductString, 0, 0, product);
  product[kHostProductCapacity - 1] = '\0';  // a host that overfills gets cut, not trusted
  int32_t packedVersion = 0;
  if (product[0] != '\0')
    packedVersion = PackedVersionFromDecimal(CallHost(audioMasterGetVendorVersion));
  IdentifyHost(product, packedVersion);
  return hostKind;
}

void IEffectVST::HostSpecificSetup() {
  if (hostIdentified) return;
  hostIdentified = true;
  if (KindUsesStereoInputsAllOutputs(QueryHostKind())) UseStereoInputsAllOutputs();
  CopyChannelCountsToRecord();
}

bool IEffectVST::SendMidiMessage(const IShortMidi& message) {
  PluginLockGuard guard(lock);
  VstMidiEvent event{};
  event.type = kVstMidiType;
  event.byteSize = static_cast<int32_t>(sizeof(VstMidiEvent));
  event.deltaFrames = message.sampleOffset;
  event.midiData[0] = static_cast<char>(message.status);
  event.midiData[1] = static_cast<char>(message.data1);
  event.midiData[2] = static_cast<char>(message.data2);
  VstEvents list = ListOfOne(&event);
  return CallHost(audioMasterProcessEvents, 0, 0, &list) == 1;
}

bool IEffectVST::SendSystemExclusive(const ISysExBlock& message) {
  PluginLockGuard guard(lock);
  VstMidiSysexEvent event{};
  event.type = kVstSysExType;
  event.byteSize = static_cast<int32_t>(sizeof(VstMidiSysexEvent));
  event.deltaFrames = message.sampleOffset;
  event.dumpBytes = message.size;
  // The interface declares the bytes writable; hosts only read them.
  event.sysexDump = const_cast<char*>(reinterpret_cast<const char*>(message.bytes));
  VstEvents list = ListOfOne(&event);
  return CallHost(audioMasterProcessEvents, 0, 0, &list) == 1;
}
