#include "vst3/Vst3StateFormat.h"

#include <cmath>
#include <cstring>
#include <exception>

#include "framework/FourCharCode.h"
#include "framework/IPresetSlot.h"
#include "framework/IStateBuffer.h"
#include "framework/PresetFile.h"

namespace {

constexpr int32_t kHandOverMagic = FourCharCode('V', 's', 't', 'W');
constexpr uint32_t kHandOverVersion = 1;
constexpr size_t kHandOverFields = 8;  // version and bypass
constexpr size_t kValueBytes = 8;

uint32_t BigEndian32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | static_cast<uint32_t>(p[3]);
}

uint32_t LittleEndian32(const uint8_t* p) {
  return static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[0]);
}

// Walks the chunk's fields, refusing to run past its end.
class ChunkWalk {
 public:
  ChunkWalk(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}

  bool Header() {
    return Take(IStateBuffer::kHeaderBytes) &&
           static_cast<int32_t>(LittleEndian32(bytes_)) == IStateBuffer::kChunkMagic &&
           static_cast<int32_t>(LittleEndian32(bytes_ + 4)) == IStateBuffer::kChunkVersion;
  }
  bool Values(int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
      const size_t at = at_;
      if (!Take(kValueBytes)) return false;
      uint64_t bits = 0;
      for (size_t b = 0; b < kValueBytes; ++b)
        bits |= static_cast<uint64_t>(bytes_[at + b]) << (8 * b);
      double v;
      std::memcpy(&v, &bits, sizeof v);
      if (!std::isfinite(v)) return false;
    }
    return true;
  }
  bool Slot(int32_t parameterCount) {
    const size_t at = at_;
    if (!Take(4)) return false;
    const uint32_t nameBytes = LittleEndian32(bytes_ + at);
    if (nameBytes >= static_cast<uint32_t>(IPresetSlot::kNameCapacity) || !Take(nameBytes)) {
      return false;
    }
    const size_t flagAt = at_;
    if (!Take(1) || bytes_[flagAt] > 1) return false;
    return bytes_[flagAt] == 0 || Values(parameterCount);
  }
  bool Take(size_t n) {
    if (size_ - at_ < n) return false;
    at_ += n;
    return true;
  }
  size_t Left() const { return size_ - at_; }
  size_t At() const { return at_; }

 private:
  const uint8_t* bytes_;
  size_t size_;
  size_t at_ = 0;
};

bool WalkBank(ChunkWalk& walk, const Vst3StateLayout& layout) {
  if (!walk.Header()) return false;
  for (int32_t i = 0; i < layout.programCount; ++i) {
    if (!walk.Slot(layout.parameterCount)) return false;
  }
  return true;
}

bool ProgramInRange(int32_t program, const Vst3StateLayout& layout) {
  return program >= 0 && program < layout.programCount;
}

Vst3DecodedState DecodeOwn(const uint8_t* bytes, size_t size, const Vst3StateLayout& layout) {
  Vst3DecodedState state;
  ChunkWalk walk(bytes, size);
  if (!WalkBank(walk, layout) || walk.Left() != 4) return state;
  const size_t bankBytes = walk.At();
  const auto program = static_cast<int32_t>(LittleEndian32(bytes + bankBytes));
  if (!ProgramInRange(program, layout)) return state;
  state.kind = Vst3StateKind::Own;
  state.program = program;
  state.chunk.assign(bytes, bytes + bankBytes);
  return state;
}

Vst3DecodedState DecodeRecord(const uint8_t* bytes, size_t size, const Vst3StateLayout& layout) {
  Vst3DecodedState state;
  const presets::PresetFile file =
      presets::ParsePresetFile(std::vector<uint8_t>(bytes, bytes + size));
  if (file.pluginId != layout.pluginId) return state;
  if (file.isBank && file.currentProgram >= 0 && !ProgramInRange(file.currentProgram, layout)) {
    return state;
  }
  state.program = file.isBank ? file.currentProgram : -1;
  if (file.opaque) {
    const bool whole = file.isBank
                           ? IsWholeBankChunk(file.chunk.data(), file.chunk.size(), layout)
                           : IsWholeProgramChunk(file.chunk.data(), file.chunk.size(), layout);
    if (!whole) return state;
    state.chunk = file.chunk;
    state.programName = file.programName;
    state.kind = file.isBank ? Vst3StateKind::BankChunk : Vst3StateKind::ProgramChunk;
    return state;
  }
  if (file.parameterCount != layout.parameterCount) return state;
  if (file.isBank ? file.programCount != layout.programCount : file.programs.size() != 1) {
    return state;
  }
  for (const presets::PresetProgram& p : file.programs) {
    state.programs.push_back({p.name, p.values});
  }
  state.kind = file.isBank ? Vst3StateKind::BankValues : Vst3StateKind::ProgramValues;
  return state;
}

Vst3DecodedState DecodeHandOver(const uint8_t* bytes, size_t size, const Vst3StateLayout& layout) {
  Vst3DecodedState refused;
  if (size < 8 + kHandOverFields) return refused;
  const uint32_t headerRest = BigEndian32(bytes + 4);
  if (headerRest < kHandOverFields || headerRest > size - 8) return refused;
  if (BigEndian32(bytes + 8) != kHandOverVersion) return refused;
  const uint32_t bypass = BigEndian32(bytes + 12);
  if (bypass > 1) return refused;
  const size_t recordAt = 8 + headerRest;
  Vst3DecodedState state = DecodeRecord(bytes + recordAt, size - recordAt, layout);
  if (state.kind != Vst3StateKind::Refused) state.bypass = static_cast<int32_t>(bypass);
  return state;
}

}  // namespace

bool IsWholeBankChunk(const uint8_t* bytes, size_t size, const Vst3StateLayout& layout) {
  ChunkWalk walk(bytes, size);
  return bytes && WalkBank(walk, layout) && walk.Left() == 0;
}

bool IsWholeProgramChunk(const uint8_t* bytes, size_t size, const Vst3StateLayout& layout) {
  ChunkWalk walk(bytes, size);
  return bytes && walk.Header() && walk.Values(layout.parameterCount) && walk.Left() == 0;
}

Vst3DecodedState DecodeVst3State(const uint8_t* bytes, size_t size, const Vst3StateLayout& layout) {
  if (!bytes || size < 4) return {};
  try {
    if (static_cast<int32_t>(BigEndian32(bytes)) == kHandOverMagic) {
      return DecodeHandOver(bytes, size, layout);
    }
    return DecodeOwn(bytes, size, layout);
  } catch (const std::exception&) {
    // A record the preset reader refuses, or no memory for its copy.
    return {};
  }
}
