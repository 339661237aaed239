// The golden product table: duoMangler as users and hosts see it (its
// identity, the parameter rows with their defaults, the factory programs),
// written out once for every test that checks the product. It is copied from
// the README's tables, never taken from the effect, so a slip in either
// shows up; the tests of each layer that spells the product read it here.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace product {

inline constexpr const char* kName = "duoMangler";
inline constexpr const char* kMaker = "Qovak";
inline constexpr int32_t kUniqueId = 0x706C3665;       // 'pl6e'
inline constexpr int32_t kMakerId = 0x516F7661;        // 'Qova'
inline constexpr int32_t kPackedVersion = 0x00010000;  // 1.0.0
inline constexpr int32_t kDecimalVersion = 10000;
inline constexpr const char* kLv2Uri = "urn:qovak:duomangler";

inline constexpr int32_t kParameterCount = 9;
inline constexpr int32_t kProgramSlots = 25;

struct ParameterRow {
  const char* name;
  const char* symbol;  // the LV2 port's
  int32_t def;
  int32_t min;
  int32_t max;
  const char* label;
  double shape;  // the exponent of the host's normalised scale
};

inline constexpr ParameterRow kParameters[kParameterCount] = {
    {"Split Freq", "split_freq", 1000, 20, 20000, "Hz", 2.0},
    {"Damping", "damping", 50, 0, 100, "%", 1.0},
    {"Low Drive", "low_drive", 50, 0, 100, "%", 1.0},
    {"Low Gain", "low_gain", 20, 0, 100, "%", 1.0},
    {"Low Round", "low_round", 50, 0, 100, "%", 1.0},
    {"High Drive", "high_drive", 50, 0, 100, "%", 1.0},
    {"High Gain", "high_gain", 20, 0, 100, "%", 1.0},
    {"High Round", "high_round", 50, 0, 100, "%", 1.0},
    {"Mix", "mix", 90, 0, 100, "%", 1.0},
};

// One value per parameter, in parameter order.
using Values = std::array<int32_t, kParameterCount>;

inline constexpr Values kDefaults = [] {
  Values values{};
  for (int32_t i = 0; i < kParameterCount; ++i) values[i] = kParameters[i].def;
  return values;
}();

struct ProgramRow {
  const char* name;
  Values values;
};

// The first fourteen slots; the default program holds the defaults.
inline constexpr ProgramRow kPrograms[] = {
    {"---- default ----", kDefaults},
    {"Electro Drum", {999, 82, 20, 30, 50, 70, 22, 12, 90}},
    {"Electro Drum 2", {1188, 85, 20, 30, 50, 70, 22, 12, 100}},
    {"Drum Overdrive High", {2000, 69, 30, 20, 50, 70, 22, 12, 100}},
    {"Drum Mangler Mid", {2000, 16, 30, 20, 50, 60, 22, 12, 90}},
    {"Drum Reso", {2500, 79, 30, 20, 50, 70, 22, 12, 90}},
    {"HiHat Cool", {1818, 79, 30, 20, 50, 70, 22, 12, 100}},
    {"Drum", {1000, 79, 20, 60, 50, 70, 22, 12, 90}},
    {"Kick", {3000, 50, 60, 40, 31, 50, 10, 50, 90}},
    {"Guitar", {1000, 23, 50, 10, 50, 85, 10, 24, 100}},
    {"Guitar More Drive", {1000, 23, 50, 10, 8, 90, 30, 24, 100}},
    {"Guitar More Drive 2", {1000, 69, 80, 10, 12, 80, 30, 12, 100}},
    {"Bass Guitar", {2000, 30, 80, 20, 12, 50, 10, 50, 100}},
    {"Lead", {1000, 50, 50, 20, 50, 50, 20, 16, 80}},
};
inline constexpr int32_t kProgramCount = static_cast<int32_t>(std::size(kPrograms));
inline constexpr int32_t kKick = 8;

// The values as the plug-in's other number types hold them.
template <typename T>
std::vector<T> As(const Values& values) {
  return {values.begin(), values.end()};
}

}  // namespace product
