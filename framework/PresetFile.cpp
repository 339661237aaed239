#include "framework/PresetFile.h"

#include "tools/common/Counted.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace presets {
namespace {

constexpr uint32_t FourCC(const char (&s)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(s[0])) << 24 |
         static_cast<uint32_t>(static_cast<uint8_t>(s[1])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(s[2])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(s[3]));
}

constexpr uint32_t kChunkMagic = FourCC("CcnK");
constexpr uint32_t kProgramValues = FourCC("FxCk");
constexpr uint32_t kProgramChunk = FourCC("FPCh");
constexpr uint32_t kBankValues = FourCC("FxBk");
constexpr uint32_t kBankChunk = FourCC("FBCh");
constexpr size_t kBankReservedBytes = 128;  // version 2 takes 4 for the current program

// Reads big-endian fields, refusing to run past the end.
class Reader {
 public:
  explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

  uint32_t U32(const char* what) {
    Need(4, what);
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
      v = v << 8 | bytes_[at_++];
    }
    return v;
  }
  int32_t I32(const char* what) { return static_cast<int32_t>(U32(what)); }
  float F32(const char* what) {
    const uint32_t bits = U32(what);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
  }
  std::string Name(const char* what) {
    Need(kProgramNameBytes, what);
    const char* text = reinterpret_cast<const char*>(bytes_.data() + at_);
    at_ += kProgramNameBytes;
    return std::string(text, strnlen(text, kProgramNameBytes - 1));
  }
  std::vector<uint8_t> Bytes(size_t n, const char* what) {
    Need(n, what);
    std::vector<uint8_t> v(bytes_.begin() + static_cast<std::ptrdiff_t>(at_),
                           bytes_.begin() + static_cast<std::ptrdiff_t>(at_ + n));
    at_ += n;
    return v;
  }
  void Skip(size_t n, const char* what) {
    Need(n, what);
    at_ += n;
  }
  size_t Left() const { return bytes_.size() - at_; }

 private:
  void Need(size_t n, const char* what) const {
    if (Left() < n) {
      throw PresetFileError(std::string("the file is cut short in ") + what);
    }
  }

  const std::vector<uint8_t>& bytes_;
  size_t at_ = 0;
};

class Writer {
 public:
  void U32(uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
      bytes_.push_back(static_cast<uint8_t>(v >> shift));
    }
  }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void F32(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    U32(bits);
  }
  void Name(const std::string& name) {
    char text[kProgramNameBytes] = {};
    std::memcpy(text, name.data(), std::min(name.size(), kProgramNameBytes - 1));
    bytes_.insert(bytes_.end(), text, text + kProgramNameBytes);
  }
  void Bytes(const std::vector<uint8_t>& b) { bytes_.insert(bytes_.end(), b.begin(), b.end()); }
  void Zeros(size_t n) { bytes_.insert(bytes_.end(), n, 0); }
  // Fills in the 'CcnK' size field of the block that starts at `start`.
  void CloseBlock(size_t start) {
    const uint32_t size = static_cast<uint32_t>(bytes_.size() - start - 8);
    for (int i = 0; i < 4; ++i) {
      bytes_[start + 4 + static_cast<size_t>(i)] = static_cast<uint8_t>(size >> (24 - 8 * i));
    }
  }
  size_t Size() const { return bytes_.size(); }
  std::vector<uint8_t>& Result() { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

int32_t Count(Reader& r, const char* what, size_t bytesEach) {
  const int32_t n = r.I32(what);
  if (n < 0 || (bytesEach > 0 && static_cast<size_t>(n) > r.Left() / bytesEach)) {
    throw PresetFileError(std::string("the ") + what + " (" + std::to_string(n) +
                          ") does not fit the file");
  }
  return n;
}

std::vector<float> Values(Reader& r, int32_t count) {
  std::vector<float> values(static_cast<size_t>(count));
  for (float& v : values) {
    v = r.F32("the parameter values");
    if (!(v >= 0.0f && v <= 1.0f)) {
      throw PresetFileError("a parameter value lies outside 0 to 1");
    }
  }
  return values;
}

std::vector<uint8_t> Chunk(Reader& r) {
  const int32_t size = Count(r, "chunk size", 1);
  return r.Bytes(static_cast<size_t>(size), "the chunk");
}

// One 'CcnK' block up to its kind: checks the magic and that its size field
// covers exactly `available` bytes after it (or, inside a bank, fits them).
uint32_t BlockKind(Reader& r, bool wholeFile) {
  if (r.U32("the header") != kChunkMagic) {
    throw PresetFileError("not a VST preset or bank file (no 'CcnK' magic)");
  }
  const uint32_t size = r.U32("the header");
  if (wholeFile ? size != r.Left() : size > r.Left()) {
    throw PresetFileError("its size field (" + tools::Counted(size, "byte") +
                          ") disagrees with the " +
                          tools::Counted(static_cast<int64_t>(r.Left()), "byte") +
                          (r.Left() == 1 ? " that follows" : " that follow"));
  }
  return r.U32("the header");
}

// Returns the format version: 1, or 2 for banks that name their current
// program.
int32_t ReadIdentity(Reader& r, PresetFile& f) {
  const int32_t version = r.I32("the header");
  if (version < 1 || version > 2) {
    throw PresetFileError("format version " + std::to_string(version) + " is unknown");
  }
  f.pluginId = r.I32("the header");
  f.pluginVersion = r.I32("the header");
  return version;
}

PresetProgram ReadValueProgram(Reader& r, const PresetFile& bank) {
  if (BlockKind(r, false) != kProgramValues) {
    throw PresetFileError("a program of the bank holds no parameter values ('FxCk')");
  }
  r.I32("a program");  // format version
  if (r.I32("a program") != bank.pluginId) {
    throw PresetFileError("a program of the bank belongs to another plug-in");
  }
  r.I32("a program");  // plug-in version
  if (r.I32("a program") != bank.parameterCount) {
    throw PresetFileError("the programs of the bank differ in their parameter count");
  }
  PresetProgram p;
  p.name = r.Name("a program name");
  p.values = Values(r, bank.parameterCount);
  return p;
}

}  // namespace

PresetFile ParsePresetFile(const std::vector<uint8_t>& bytes) {
  if (bytes.size() > kMostPresetFileBytes) {
    throw PresetFileError("the file is larger than any preset (" + std::to_string(bytes.size()) +
                          " bytes)");
  }
  Reader r(bytes);
  PresetFile f;
  const uint32_t kind = BlockKind(r, true);
  f.isBank = kind == kBankValues || kind == kBankChunk;
  f.opaque = kind == kProgramChunk || kind == kBankChunk;
  if (!f.isBank && kind != kProgramValues && kind != kProgramChunk) {
    throw PresetFileError("unknown kind of preset file (not 'FxCk', 'FPCh', 'FxBk' or 'FBCh')");
  }
  const int32_t version = ReadIdentity(r, f);
  if (!f.isBank) {
    f.parameterCount = Count(r, "parameter count", f.opaque ? 0 : 4);
    f.programName = r.Name("the program name");
    if (f.opaque) {
      f.chunk = Chunk(r);
    } else {
      f.programs.push_back({f.programName, Values(r, f.parameterCount)});
    }
  } else {
    f.programCount = Count(r, "program count", f.opaque ? 0 : 8);
    if (version == 2) {
      f.currentProgram = r.I32("the header");
      r.Skip(kBankReservedBytes - 4, "the header");
    } else {
      r.Skip(kBankReservedBytes, "the header");
    }
    if (f.opaque) {
      f.chunk = Chunk(r);
    } else {
      // Every program has the same size; the first one's count applies.
      for (int32_t i = 0; i < f.programCount; ++i) {
        if (i == 0) {
          Reader peek = r;
          peek.Skip(24, "a program");
          f.parameterCount = Count(peek, "parameter count", 4);
        }
        f.programs.push_back(ReadValueProgram(r, f));
      }
    }
  }
  if (r.Left() != 0) {
    throw PresetFileError(tools::Counted(static_cast<int64_t>(r.Left()), "byte") +
                          (r.Left() == 1 ? " follows" : " follow") + " the end of its contents");
  }
  return f;
}

std::vector<uint8_t> SerializePresetFile(const PresetFile& f) {
  Writer w;
  const auto header = [&w, &f](uint32_t kind, int32_t version) {
    w.U32(kChunkMagic);
    w.U32(0);  // size, filled in by CloseBlock
    w.U32(kind);
    w.I32(version);
    w.I32(f.pluginId);
    w.I32(f.pluginVersion);
  };
  if (!f.isBank) {
    header(f.opaque ? kProgramChunk : kProgramValues, 1);
    w.I32(f.parameterCount);
    w.Name(f.opaque || f.programs.empty() ? f.programName : f.programs[0].name);
    if (f.opaque) {
      w.I32(static_cast<int32_t>(f.chunk.size()));
      w.Bytes(f.chunk);
    } else {
      for (const float v : f.programs.empty() ? std::vector<float>{} : f.programs[0].values) {
        w.F32(v);
      }
    }
  } else {
    header(f.opaque ? kBankChunk : kBankValues, 2);
    w.I32(f.opaque ? f.programCount : static_cast<int32_t>(f.programs.size()));
    w.I32(f.currentProgram);
    w.Zeros(kBankReservedBytes - 4);
    if (f.opaque) {
      w.I32(static_cast<int32_t>(f.chunk.size()));
      w.Bytes(f.chunk);
    } else {
      for (const PresetProgram& p : f.programs) {
        const size_t start = w.Size();
        w.U32(kChunkMagic);
        w.U32(0);
        w.U32(kProgramValues);
        w.I32(1);
        w.I32(f.pluginId);
        w.I32(f.pluginVersion);
        w.I32(static_cast<int32_t>(p.values.size()));
        w.Name(p.name);
        for (const float v : p.values) {
          w.F32(v);
        }
        w.CloseBlock(start);
      }
    }
  }
  w.CloseBlock(0);
  return std::move(w.Result());
}

}  // namespace presets
