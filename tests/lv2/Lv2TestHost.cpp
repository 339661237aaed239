#include "tests/lv2/Lv2TestHost.h"

#include "tests/effect/ProductTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace lv2_test {

Lv2Module::Lv2Module() : loader(DM_LV2_BINARY) {
  descriptor = reinterpret_cast<DescriptorFunction>(loader.Symbol("lv2_descriptor"));
  EXPECT_TRUE(descriptor) << loader.Error();
}

const LV2_Descriptor* Lv2Module::Descriptor(uint32_t index) const {
  return descriptor ? descriptor(index) : nullptr;
}

const LV2_State_Interface* Lv2Module::State() const {
  const LV2_Descriptor* d = Descriptor(0);
  return d ? static_cast<const LV2_State_Interface*>(d->extension_data(LV2_STATE__interface))
           : nullptr;
}

UridMap::UridMap() = default;

LV2_URID UridMap::Map(const std::string& uri) {
  auto [entry, added] = ids.emplace(uri, static_cast<LV2_URID>(ids.size() + 1));
  return entry->second;
}

LV2_URID UridMap::MapUri(LV2_URID_Map_Handle handle, const char* uri) {
  return static_cast<UridMap*>(handle)->Map(uri);
}

const std::vector<uint8_t>& SavedState::Bytes(uint32_t key) const {
  static const std::vector<uint8_t> none;
  const auto found = values.find(key);
  return found != values.end() ? found->second.bytes : none;
}

namespace {

LV2_State_Status Store(LV2_State_Handle handle, uint32_t key, const void* value, size_t size,
                       uint32_t type, uint32_t) {
  const auto* bytes = static_cast<const uint8_t*>(value);
  static_cast<SavedState*>(handle)->values[key] = {type, {bytes, bytes + size}};
  return LV2_STATE_SUCCESS;
}

const void* Retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
                     uint32_t* flags) {
  const auto& values = static_cast<const SavedState*>(handle)->values;
  const auto found = values.find(key);
  if (found == values.end()) return nullptr;
  *size = found->second.bytes.size();
  *type = found->second.type;
  *flags = LV2_STATE_IS_POD;
  return found->second.bytes.data();
}

}  // namespace

Lv2Instance::Lv2Instance(const Lv2Module& module, const LV2_Feature* const* features, double rate)
    : descriptor(module.Descriptor(0)), stateInterface(module.State()) {
  if (descriptor) handle = descriptor->instantiate(descriptor, rate, DM_LV2_BUNDLE, features);
  controls = DefaultControls();
  for (; features && *features; ++features) {
    if (std::strcmp((*features)->URI, LV2_URID__map) == 0) {
      const auto* map = static_cast<const LV2_URID_Map*>((*features)->data);
      valuesKey = map->map(map->handle, kValuesKey);
    }
  }
}

Lv2Instance::~Lv2Instance() {
  if (handle) descriptor->cleanup(handle);
}

void Lv2Instance::ConnectAll(uint32_t frames, bool inPlace) {
  for (uint32_t port = 0; port < kAudioPorts; ++port) {
    audio[port].assign(frames, 0.0f);
    const uint32_t buffer = inPlace && port >= 2 ? port - 2 : port;
    descriptor->connect_port(handle, port, audio[buffer].data());
  }
  for (uint32_t i = 0; i < kControls; ++i)
    descriptor->connect_port(handle, kAudioPorts + i, controlsConnected ? &controls[i] : nullptr);
}

void Lv2Instance::DisconnectControls() {
  controlsConnected = false;
  for (uint32_t i = 0; i < kControls; ++i)
    descriptor->connect_port(handle, kAudioPorts + i, nullptr);
}

std::vector<float> Lv2Instance::Process(const std::vector<float>& stereo,
                                        const std::vector<uint32_t>& blocks, bool inPlace) {
  const size_t frames = stereo.size() / 2;
  std::vector<float> out(stereo.size());
  size_t done = 0;
  for (size_t b = 0; done < frames; ++b) {
    const uint32_t length =
        static_cast<uint32_t>(std::min<size_t>(blocks[b % blocks.size()], frames - done));
    // Every block in buffers of its own length, as hosts with varying
    // blocks hand them over.
    ConnectAll(length, inPlace);
    for (uint32_t j = 0; j < length; ++j) {
      audio[0][j] = stereo[2 * (done + j)];
      audio[1][j] = stereo[2 * (done + j) + 1];
    }
    Run(length);
    const uint32_t left = inPlace ? 0 : 2;
    for (uint32_t j = 0; j < length; ++j) {
      out[2 * (done + j)] = audio[left][j];
      out[2 * (done + j) + 1] = audio[left + 1][j];
    }
    done += length;
  }
  return out;
}

LV2_State_Status Lv2Instance::Save(SavedState& state) {
  return stateInterface->save(handle, Store, &state, LV2_STATE_IS_POD, nullptr);
}

LV2_State_Status Lv2Instance::Restore(const SavedState& state) {
  return stateInterface->restore(handle, Retrieve, const_cast<SavedState*>(&state), 0, nullptr);
}

std::vector<double> Lv2Instance::SavedValues() {
  SavedState state;
  EXPECT_EQ(Save(state), LV2_STATE_SUCCESS);
  const std::vector<uint8_t>& chunk = state.Bytes(valuesKey);
  std::vector<double> values;
  for (size_t at = 8; at + 8 <= chunk.size(); at += 8) {
    double v;
    std::memcpy(&v, chunk.data() + at, 8);
    values.push_back(v);
  }
  return values;
}

std::array<float, kControls> DefaultControls() {
  std::array<float, kControls> controls{};
  for (uint32_t i = 0; i < kControls; ++i) controls[i] = static_cast<float>(product::kDefaults[i]);
  return controls;
}

std::vector<float> StereoSignal(uint32_t frames) {
  std::vector<float> signal(2 * static_cast<size_t>(frames));
  uint32_t noise = 12345;
  for (uint32_t i = 0; i < frames; ++i) {
    noise = noise * 1664525u + 1013904223u;
    const float n = static_cast<float>(noise >> 8) / 16777216.0f - 0.5f;
    signal[2 * i] = 0.6f * static_cast<float>(std::sin(i * 0.031)) + 0.2f * n;
    signal[2 * i + 1] = 0.5f * static_cast<float>(std::sin(i * 0.0047)) - 0.2f * n;
  }
  return signal;
}

}  // namespace lv2_test
