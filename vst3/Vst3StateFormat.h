// The bytes of the VST 3 component's state, and of the record a host hands
// over when it replaces the VST 2 plug-in by this one.
//
// Own state: the VST 2 bank chunk (IStateBuffer's 8-byte header, then per
// program slot a length-prefixed name, an initialised flag and, when set, one
// little-endian double per parameter), followed by the current program as a
// little-endian 32-bit number. Nothing may follow.
//
// Hand-over: a 'VstW' header (big-endian: the magic, the length of the rest
// of the header, at least 8; its version, 1; the VST 2 bypass flag) and, after
// it, a VST 2 'CcnK' record of this plug-in as a program file or a bank file
// would hold it (framework/PresetFile.h): parameter values ('FxCk', 'FxBk')
// or the plug-in's chunk ('FPCh', 'FBCh').
//
// Decoding checks everything before anything is applied: a damaged,
// truncated or foreign record decodes as refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct Vst3StateLayout {
  int32_t pluginId;        // the VST 2 unique ID
  int32_t parameterCount;  // the VST 2 parameters
  int32_t programCount;    // the program slots
};

enum class Vst3StateKind {
  Refused,
  Own,            // chunk: a bank chunk; program: the current program
  ProgramChunk,   // 'FPCh': chunk is a program chunk; programName
  BankChunk,      // 'FBCh': chunk is a bank chunk; program: current, or -1
  ProgramValues,  // 'FxCk': programs holds the one program
  BankValues,     // 'FxBk': programs holds every slot; program: current, or -1
};

struct Vst3ProgramValues {
  std::string name;
  std::vector<float> normalized;  // one per parameter, 0 to 1
};

struct Vst3DecodedState {
  Vst3StateKind kind = Vst3StateKind::Refused;
  int32_t bypass = -1;  // the hand-over's flag (0 or 1); -1 in an own state
  int32_t program = -1;
  std::string programName;
  std::vector<uint8_t> chunk;
  std::vector<Vst3ProgramValues> programs;
};

// Never throws.
Vst3DecodedState DecodeVst3State(const uint8_t* bytes, size_t size, const Vst3StateLayout& layout);

// Whether bytes are a whole bank chunk, or a whole program chunk, with the
// layout's counts and finite values only.
bool IsWholeBankChunk(const uint8_t* bytes, size_t size, const Vst3StateLayout& layout);
bool IsWholeProgramChunk(const uint8_t* bytes, size_t size, const Vst3StateLayout& layout);
