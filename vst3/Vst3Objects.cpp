#include "vst3/Vst3Objects.h"

#include <new>

// Some hosts' streams answer a read at their end with a failure: what was
// read by then is the state (the state reader refuses it if it is cut short).
bool ReadWholeStream(Steinberg::IBStream* stream, std::vector<uint8_t>& bytes, size_t maxBytes) {
  bytes.clear();
  if (!stream) return false;
  uint8_t piece[4096];
  try {
    for (;;) {
      Steinberg::int32 read = 0;
      if (stream->read(piece, sizeof piece, &read) != Steinberg::kResultOk) return !bytes.empty();
      if (read <= 0) return true;
      if (read > static_cast<Steinberg::int32>(sizeof piece) || bytes.size() + read > maxBytes) {
        return false;
      }
      bytes.insert(bytes.end(), piece, piece + read);
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool WriteWholeStream(Steinberg::IBStream* stream, const uint8_t* bytes, int32_t size) {
  if (!stream) return false;
  int32_t done = 0;
  while (done < size) {
    Steinberg::int32 written = 0;
    if (stream->write(const_cast<uint8_t*>(bytes + done), size - done, &written) !=
            Steinberg::kResultOk ||
        written <= 0) {
      return false;
    }
    done += written;
  }
  return true;
}

void CopyToString128(Steinberg::Vst::String128 out, const char* text) {
  size_t i = 0;
  for (; text && text[i] != '\0' && i + 1 < 128; ++i) {
    out[i] = static_cast<Steinberg::Vst::TChar>(static_cast<unsigned char>(text[i]));
  }
  out[i] = 0;
}

std::string NarrowText(const Steinberg::Vst::TChar* text) {
  std::string narrow;
  for (size_t i = 0; text && text[i] != 0 && i < 4096; ++i) {
    const auto c = static_cast<uint32_t>(text[i]);
    narrow.push_back(c < 256 ? static_cast<char>(c) : '?');
  }
  return narrow;
}
