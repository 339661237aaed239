#include "tests/tools/DirectHost.h"

#include "vst/VstInterface.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <cstring>

namespace direct_host {
namespace {

double gSampleRate = 44100.0;

intptr_t HostCallback(AEffect*, int32_t opcode, int32_t, intptr_t, void* ptr, float) {
  switch (opcode) {
    case audioMasterVersion:
      return 2400;
    case audioMasterGetSampleRate:
      return static_cast<intptr_t>(gSampleRate);
    case audioMasterGetProductString:
      std::strcpy(static_cast<char*>(ptr), "direct test host");
      return 1;
    default:
      return 0;
  }
}

template <typename T>
void RunBlocks(AEffect* e, const std::vector<double>& interleaved, int32_t channels, int32_t block,
               std::vector<double>& result) {
  const int32_t pins = std::max({e->numInputs, e->numOutputs, channels});
  std::vector<std::vector<T>> in(pins, std::vector<T>(block)), out(pins, std::vector<T>(block));
  std::vector<T*> inPtr(pins), outPtr(pins);
  for (int32_t i = 0; i < pins; ++i) {
    inPtr[i] = in[i].data();
    outPtr[i] = out[i].data();
  }
  const size_t frames = interleaved.size() / channels;
  for (size_t start = 0; start < frames; start += block) {
    const int32_t n = static_cast<int32_t>(std::min<size_t>(block, frames - start));
    for (int32_t c = 0; c < channels; ++c) {
      for (int32_t f = 0; f < n; ++f) {
        in[c][f] = static_cast<T>(interleaved[(start + f) * channels + c]);
      }
    }
    if constexpr (std::is_same_v<T, float>) {
      e->processReplacing(e, inPtr.data(), outPtr.data(), n);
    } else {
      e->processDoubleReplacing(e, inPtr.data(), outPtr.data(), n);
    }
    for (int32_t c = 0; c < channels; ++c) {
      for (int32_t f = 0; f < n; ++f) {
        result[(start + f) * channels + c] = out[c][f];
      }
    }
  }
}

}  // namespace

std::vector<double> Process(const std::string& modulePath, const std::vector<double>& interleaved,
                            int32_t channels, const Settings& settings) {
  void* module = dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
  EXPECT_NE(module, nullptr) << dlerror();
  if (!module) {
    return {};
  }
  auto entry = reinterpret_cast<VstPluginMainProc>(dlsym(module, "VSTPluginMain"));
  EXPECT_NE(entry, nullptr);
  gSampleRate = settings.sampleRate;
  AEffect* e = entry ? entry(HostCallback) : nullptr;
  EXPECT_NE(e, nullptr);
  std::vector<double> result(interleaved.size());
  if (e) {
    e->dispatcher(e, effOpen, 0, 0, nullptr, 0.0f);
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, static_cast<float>(settings.sampleRate));
    e->dispatcher(e, effSetBlockSize, 0, settings.blockSize, nullptr, 0.0f);
    VstSpeakerArrangement arrangement{};
    arrangement.numChannels = channels;
    arrangement.type = channels == 1 ? kSpeakerArrMono : kSpeakerArrStereo;
    VstSpeakerArrangement outArrangement = arrangement;
    e->dispatcher(e, effSetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&arrangement),
                  &outArrangement, 0.0f);
    if (settings.program >= 0) {
      e->dispatcher(e, effSetProgram, 0, settings.program, nullptr, 0.0f);
    }
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
    if (settings.useDouble) {
      RunBlocks<double>(e, interleaved, channels, settings.blockSize, result);
    } else {
      RunBlocks<float>(e, interleaved, channels, settings.blockSize, result);
    }
    e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);
    e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
  }
  dlclose(module);
  return result;
}

}  // namespace direct_host
