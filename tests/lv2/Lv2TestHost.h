// A minimal LV2 host for the tests: loads the bundle's binary as hosts do,
// maps URIs, keeps saved state in memory and owns each instance's port
// buffers.
#pragma once

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/vst/ModuleLoader.h"

namespace lv2_test {

inline constexpr uint32_t kAudioPorts = 4;  // in L, in R, out L, out R
inline constexpr uint32_t kControls = 9;
inline constexpr double kRate = 44100.0;

// The keys of the plug-in's state.
inline constexpr const char* kValuesKey = "urn:qovak:duomangler#programChunk";
inline constexpr const char* kBankKey = "urn:qovak:duomangler#bankChunk";
inline constexpr const char* kProgramKey = "urn:qovak:duomangler#currentProgram";

// The binary of the built bundle and its descriptor.
class Lv2Module {
 public:
  Lv2Module();
  const LV2_Descriptor* Descriptor(uint32_t index) const;
  const LV2_State_Interface* State() const;

 private:
  ModuleLoader loader;
  using DescriptorFunction = const LV2_Descriptor* (*)(uint32_t);
  DescriptorFunction descriptor = nullptr;
};

// URIs to numbers, as a host's urid:map.
class UridMap {
 public:
  UridMap();
  const LV2_Feature* const* Features() const { return features.data(); }
  LV2_URID Map(const std::string& uri);

 private:
  static LV2_URID MapUri(LV2_URID_Map_Handle handle, const char* uri);
  std::map<std::string, LV2_URID> ids;
  LV2_URID_Map map{this, MapUri};
  LV2_Feature mapFeature{LV2_URID__map, &map};
  std::array<const LV2_Feature*, 2> features{&mapFeature, nullptr};
};

// Saved state: key to type and bytes.
struct SavedState {
  struct Value {
    uint32_t type = 0;
    std::vector<uint8_t> bytes;
    bool operator==(const Value&) const = default;
  };
  std::map<uint32_t, Value> values;

  // The bytes under key; empty when there are none.
  const std::vector<uint8_t>& Bytes(uint32_t key) const;
};

class Lv2Instance {
 public:
  // features null: a host that maps no URIs.
  Lv2Instance(const Lv2Module& module, const LV2_Feature* const* features, double rate = kRate);
  ~Lv2Instance();
  Lv2Instance(const Lv2Instance&) = delete;
  Lv2Instance& operator=(const Lv2Instance&) = delete;

  bool Valid() const { return handle != nullptr; }
  // The controls hold the defaults and every port is connected; inPlace
  // makes the outputs the input buffers.
  void ConnectAll(uint32_t frames, bool inPlace = false);
  // From now on the controls stay unconnected.
  void DisconnectControls();
  void Connect(uint32_t port, void* data) { descriptor->connect_port(handle, port, data); }
  void Run(uint32_t frames) { descriptor->run(handle, frames); }
  void Activate() { descriptor->activate(handle); }
  void Deactivate() { descriptor->deactivate(handle); }

  // Processes the interleaved stereo signal in blocks of the given lengths
  // (cycled until the signal ends); returns the interleaved output.
  std::vector<float> Process(const std::vector<float>& stereo, const std::vector<uint32_t>& blocks,
                             bool inPlace = false);

  LV2_State_Status Save(SavedState& state);
  LV2_State_Status Restore(const SavedState& state);
  // The parameter values as the saved program chunk holds them.
  std::vector<double> SavedValues();

  std::array<float, kControls> controls{};

 private:
  const LV2_Descriptor* descriptor;
  const LV2_State_Interface* stateInterface;
  LV2_Handle handle = nullptr;
  std::array<std::vector<float>, kAudioPorts> audio;
  bool controlsConnected = true;
  uint32_t valuesKey = 0;
};

// The defaults the plug-in declares, in port order.
std::array<float, kControls> DefaultControls();
// A deterministic stereo test signal, interleaved, |x| < 1.
std::vector<float> StereoSignal(uint32_t frames);

}  // namespace lv2_test
