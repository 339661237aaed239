// A small VST 2.4 plug-in for testing hosts: per channel
//   y[n] = gain * (x[n] + a * x[n-1]),  a = 0.5 * 44100 / sample rate,
// so the output depends on the sample rate, on the state carried from one
// block to the next and on the selected program. 2 in / 2 out, or 1 / 1
// after a mono speaker arrangement. One parameter, "Gain", 0 to 200 %,
// converts texts itself (effString2Parameter); no vendor extensions. Each
// program keeps its gain and name; its state travels as chunks (a program's
// gain, or every program's).
#include "vst/VstInterface.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int32_t kPrograms = 3;
constexpr int32_t kMaxChannels = 2;
constexpr double kProgramGains[kPrograms] = {100.0, 50.0, 200.0};

struct GainPlugin {
  AEffect effect{};
  char names[kPrograms][28] = {"Unity", "Half", "Double Gain"};
  double gainPercent = 100.0;
  double gains[kPrograms] = {kProgramGains[0], kProgramGains[1], kProgramGains[2]};
  double chunk[kPrograms] = {};  // handed out by effGetChunk
  int32_t program = 0;
  double sampleRate = 44100.0;
  int32_t channels = kMaxChannels;
  double previous[kMaxChannels] = {};
};

GainPlugin* PluginOf(AEffect* e) { return static_cast<GainPlugin*>(e->object); }

void CopyText(void* ptr, const char* text) { std::strcpy(static_cast<char*>(ptr), text); }

template <typename T>
void Run(GainPlugin& p, T** in, T** out, int32_t frames) {
  const double a = 0.5 * 44100.0 / p.sampleRate;
  const double g = p.gainPercent / 100.0;
  for (int32_t c = 0; c < p.channels; ++c) {
    double prev = p.previous[c];
    for (int32_t i = 0; i < frames; ++i) {
      const double x = in[c][i];
      out[c][i] = static_cast<T>(g * (x + a * prev));
      prev = x;
    }
    p.previous[c] = prev;
  }
}

void ProcessReplacing(AEffect* e, float** in, float** out, int32_t frames) {
  Run(*PluginOf(e), in, out, frames);
}

void ProcessDouble(AEffect* e, double** in, double** out, int32_t frames) {
  Run(*PluginOf(e), in, out, frames);
}

void ProcessAdding(AEffect* e, float** in, float** out, int32_t frames) {
  float scratch[kMaxChannels][64];
  float* tmp[kMaxChannels] = {scratch[0], scratch[1]};
  for (int32_t done = 0; done < frames;) {
    const int32_t n = frames - done < 64 ? frames - done : 64;
    float* inAt[kMaxChannels] = {in[0] + done, in[1] + done};
    Run(*PluginOf(e), inAt, tmp, n);
    for (int32_t c = 0; c < PluginOf(e)->channels; ++c) {
      for (int32_t i = 0; i < n; ++i) {
        out[c][done + i] += tmp[c][i];
      }
    }
    done += n;
  }
}

void SetParameter(AEffect* e, int32_t index, float value) {
  if (index == 0) {
    PluginOf(e)->gainPercent = std::round(static_cast<double>(value) * 200.0);
  }
}

float GetParameter(AEffect* e, int32_t index) {
  return index == 0 ? static_cast<float>(PluginOf(e)->gainPercent / 200.0) : 0.0f;
}

intptr_t Dispatch(AEffect* e, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  GainPlugin& p = *PluginOf(e);
  switch (opcode) {
    case effClose:
      delete &p;
      return 0;
    case effSetProgram:
      if (value >= 0 && value < kPrograms) {
        p.gains[p.program] = p.gainPercent;
        p.program = static_cast<int32_t>(value);
        p.gainPercent = p.gains[value];
      }
      return 0;
    case effGetProgram:
      return p.program;
    case effGetProgramName:
      CopyText(ptr, p.names[p.program]);
      return 0;
    case effSetProgramName:
      std::snprintf(p.names[p.program], sizeof p.names[p.program], "%s",
                    static_cast<const char*>(ptr));
      return 0;
    case effGetProgramNameIndexed:
      if (index < 0 || index >= kPrograms) {
        return 0;
      }
      CopyText(ptr, p.names[index]);
      return 1;
    case effGetParamName:
      CopyText(ptr, index == 0 ? "Gain" : "");
      return 0;
    case effGetParamLabel:
      CopyText(ptr, index == 0 ? "%" : "");
      return 0;
    case effGetParamDisplay: {
      char text[32];
      std::snprintf(text, sizeof(text), "%d", index == 0 ? static_cast<int>(p.gainPercent) : 0);
      CopyText(ptr, text);
      return 0;
    }
    case effString2Parameter:
      if (index != 0) {
        return 0;
      }
      if (ptr) {
        const double v = std::atof(static_cast<const char*>(ptr));
        p.gainPercent = v < 0.0 ? 0.0 : v > 200.0 ? 200.0 : v;
      }
      return 1;
    case effGetChunk: {
      // A program is its gain, the bank every program's gain.
      p.gains[p.program] = p.gainPercent;
      const bool program = index == 1;
      std::memcpy(p.chunk, program ? &p.gainPercent : p.gains, program ? 8 : sizeof p.gains);
      *static_cast<void**>(ptr) = p.chunk;
      return program ? 8 : static_cast<intptr_t>(sizeof p.gains);
    }
    case effSetChunk: {
      const bool program = index == 1;
      if (!ptr || value != (program ? 8 : static_cast<intptr_t>(sizeof p.gains))) {
        return 0;
      }
      std::memcpy(program ? &p.gainPercent : p.gains, ptr, static_cast<size_t>(value));
      if (!program) {
        p.gainPercent = p.gains[p.program];
      }
      return 1;
    }
    case effSetSampleRate:
      p.sampleRate = opt;
      return 0;
    case effMainsChanged:
      if (value) {
        p.previous[0] = p.previous[1] = 0.0;
      }
      return 0;
    case effSetSpeakerArrangement: {
      const auto* inputs = reinterpret_cast<const VstSpeakerArrangement*>(value);
      const auto* outputs = static_cast<const VstSpeakerArrangement*>(ptr);
      if (!inputs || !outputs || inputs->numChannels != outputs->numChannels ||
          inputs->numChannels < 1 || inputs->numChannels > kMaxChannels) {
        return 0;
      }
      p.channels = inputs->numChannels;
      return 1;
    }
    case effGetEffectName:
      CopyText(ptr, "Test Gain");
      return 1;
    case effGetVendorString:
      CopyText(ptr, "Test Vendor");
      return 1;
    case effGetVstVersion:
      return kVstVersion;
    case effGetPlugCategory:
      return kPlugCategEffect;
    default:
      return 0;
  }
}

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host) {
  if (!host || host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) < 2400) {
    return nullptr;
  }
  auto* p = new GainPlugin;
  AEffect& e = p->effect;
  e.magic = kEffectMagic;
  e.dispatcher = Dispatch;
  e.process = ProcessAdding;
  e.setParameter = SetParameter;
  e.getParameter = GetParameter;
  e.numPrograms = kPrograms;
  e.numParams = 1;
  e.numInputs = kMaxChannels;
  e.numOutputs = kMaxChannels;
  e.flags =
      effFlagsCanReplacing | effFlagsCanDoubleReplacing | effFlagsCanMono | effFlagsProgramChunks;
  e.ioRatio = 1.0f;
  e.object = p;
  e.uniqueID = VstFourCC('t', 'g', 'a', 'n');
  e.version = 1;
  e.processReplacing = ProcessReplacing;
  e.processDoubleReplacing = ProcessDouble;
  return &e;
}
