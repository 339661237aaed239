// What every object the binding hands a VST 3 host shares: interface
// identities compared as the SDK compares them, reference counts, the host's
// byte streams and 16-bit strings, and the IDs of the two parameters beyond
// the effect's own.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/vst/vsttypes.h"

// The effect's parameters keep their VST 2 indexes as IDs; these follow.
inline constexpr Steinberg::Vst::ParamID kBypassParameterId = 9;
inline constexpr Steinberg::Vst::ParamID kProgramParameterId = 10;
inline constexpr Steinberg::Vst::ProgramListID kProgramListId = 1;

// The Program parameter's normalised value and the program slot it names:
// a list of the slots, each taking an equal share of the range.
inline int32_t ProgramOfNormalized(double value, int32_t programs) {
  const double clamped = value > 0.0 ? (value < 1.0 ? value : 1.0) : 0.0;
  const auto index = static_cast<int32_t>(clamped * static_cast<double>(programs));
  return index < programs - 1 ? index : programs - 1;
}

inline bool SameIid(const Steinberg::TUID a, const Steinberg::TUID b) {
  return std::memcmp(a, b, sizeof(Steinberg::TUID)) == 0;
}

// A reference count starting at one, for the one who made the object.
class Vst3RefCount {
 public:
  Steinberg::uint32 Add() { return ++count; }
  Steinberg::uint32 Drop() { return --count; }

 private:
  std::atomic<Steinberg::uint32> count{1};
};

// The largest state the plug-in accepts from a host.
inline constexpr size_t kMostStateBytes = size_t{16} << 20;

// Reads a stream to its end; false when it fails or exceeds maxBytes.
bool ReadWholeStream(Steinberg::IBStream* stream, std::vector<uint8_t>& bytes, size_t maxBytes);
bool WriteWholeStream(Steinberg::IBStream* stream, const uint8_t* bytes, int32_t size);

// Text of the plug-in (ASCII, or Latin-1 bytes) as the host's 16-bit
// characters, cut to the capacity with the terminating zero; and back,
// characters beyond Latin-1 becoming '?'.
void CopyToString128(Steinberg::Vst::String128 out, const char* text);
std::string NarrowText(const Steinberg::Vst::TChar* text);
