#include "tools/render/AudioFormat.h"

#include "tools/common/Counted.h"
#include "tools/render/RenderError.h"

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <initializer_list>

namespace render {
namespace {

// One output format render writes: its name for --format, its libsndfile
// container, its one codec where it is lossy, the extensions that name it and
// the sample rates it can hold (empty: any).
struct Container {
  const char* name;
  const char* shown;
  int major;
  int codec;
  std::initializer_list<const char*> extensions;
  std::initializer_list<int> rates;
};

const std::array<Container, 6> kContainers = {{
    {"wav", "WAV", SF_FORMAT_WAV, 0, {"wav", "wave"}, {}},
    {"flac", "FLAC", SF_FORMAT_FLAC, 0, {"flac"}, {}},
    {"aiff", "AIFF", SF_FORMAT_AIFF, 0, {"aif", "aiff", "aifc"}, {}},
    {"mp3",
     "MP3",
     SF_FORMAT_MPEG,
     SF_FORMAT_MPEG_LAYER_III,
     {"mp3"},
     {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000}},
    {"ogg", "Ogg Vorbis", SF_FORMAT_OGG, SF_FORMAT_VORBIS, {"ogg", "oga"}, {}},
    {"opus",
     "Ogg Opus",
     SF_FORMAT_OGG,
     SF_FORMAT_OPUS,
     {"opus"},
     {8000, 12000, 16000, 24000, 48000}},
}};

struct Encoding {
  const char* name;
  const char* shown;
  int sub;
};

const std::array<Encoding, 5> kEncodings = {{
    {"pcm16", "16-bit PCM", SF_FORMAT_PCM_16},
    {"pcm24", "24-bit PCM", SF_FORMAT_PCM_24},
    {"pcm32", "32-bit PCM", SF_FORMAT_PCM_32},
    {"float", "32-bit float", SF_FORMAT_FLOAT},
    {"double", "64-bit float", SF_FORMAT_DOUBLE},
}};

// Audio formats render does not write, by extension, beyond the ones
// libsndfile knows: a file under such a name must hold that format.
constexpr std::array<const char*, 12> kForeignExtensions = {
    "m4a", "m4b", "mp4", "aac", "wma", "mp2", "ac3", "alac", "ape", "wv", "mka", "webm"};

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::string LowerExtension(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
    return {};
  }
  return Lower(path.substr(dot + 1));
}

const Container* ContainerNamed(const std::string& name) {
  for (const Container& c : kContainers) {
    if (name == c.name) {
      return &c;
    }
  }
  return nullptr;
}

const Container* ContainerForExtension(const std::string& ext) {
  for (const Container& c : kContainers) {
    for (const char* e : c.extensions) {
      if (ext == e) {
        return &c;
      }
    }
  }
  return nullptr;
}

// The largest RIFF or AIFF file: its sizes are 32-bit numbers.
constexpr int64_t kMost32BitFileBytes = 0xFFFFFFFFLL;
// Room left for headers and tags below that size.
constexpr int64_t kHeaderRoom = int64_t{1} << 20;
// Above this many bytes of data a WAV output is begun as RF64: an input's
// length can be an estimate (MP3, Ogg), and an RF64 file that stays below
// 4 GiB is finished as WAV anyway.
constexpr int64_t kRf64FromBytes = int64_t{1} << 31;

bool IsWavFamily(int major) {
  return major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX || major == SF_FORMAT_RF64;
}

const Container* ContainerOfFormat(int format) {
  for (const Container& c : kContainers) {
    const bool sameMajor = (format & SF_FORMAT_TYPEMASK) == c.major ||
                           (c.major == SF_FORMAT_WAV && IsWavFamily(format & SF_FORMAT_TYPEMASK));
    if (sameMajor && (c.codec == 0 || (format & SF_FORMAT_SUBMASK) == c.codec)) {
      return &c;
    }
  }
  return nullptr;
}

bool IsForeignAudioExtension(const std::string& ext) {
  if (std::find(kForeignExtensions.begin(), kForeignExtensions.end(), ext) !=
      kForeignExtensions.end()) {
    return true;
  }
  int count = 0;
  sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof(count));
  for (int i = 0; i < count; ++i) {
    SF_FORMAT_INFO info{};
    info.format = i;
    if (sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &info, sizeof(info)) == 0 && info.extension &&
        ext == info.extension) {
      return true;
    }
  }
  return false;
}

bool IsWritable(int format, int channels, int sampleRate) {
  SF_INFO info{};
  info.format = format;
  info.channels = channels;
  info.samplerate = sampleRate;
  return sf_format_check(&info) != 0;
}

std::string LibraryName(int format, int command) {
  SF_FORMAT_INFO info{};
  info.format = format;
  if (sf_command(nullptr, command, &info, sizeof(info)) == 0 && info.name) {
    return info.name;
  }
  return "audio";
}

std::string ContainerName(int format) {
  if ((format & SF_FORMAT_TYPEMASK) == SF_FORMAT_RF64) {
    return "RF64";
  }
  if (const Container* c = ContainerOfFormat(format)) {
    return c->shown;
  }
  return LibraryName(format & SF_FORMAT_TYPEMASK, SFC_GET_FORMAT_INFO);
}

std::string Listed(std::initializer_list<int> rates) {
  std::string text;
  for (const int r : rates) {
    text += (text.empty() ? "" : ", ") + std::to_string(r);
  }
  return text;
}

// The container the output gets, refusing any that contradicts the name.
const Container* PickContainer(int inputFormat, const std::string& outputPath,
                               const std::string& container) {
  const std::string ext = LowerExtension(outputPath);
  const Container* byExtension = ContainerForExtension(ext);
  if (!byExtension && !ext.empty() && IsForeignAudioExtension(ext)) {
    throw UsageError("cannot write output '" + outputPath + "': render does not write ." + ext +
                     " files (it writes " + JoinedNames(ContainerNames()) + ")");
  }
  const Container* byName = ContainerNamed(Lower(container));
  if (byName && byExtension && byName != byExtension) {
    throw UsageError("cannot write output '" + outputPath + "' as " + byName->shown +
                     ": its extension names " + byExtension->shown +
                     " (rename it or leave out --format)");
  }
  if (byName) {
    return byName;
  }
  return byExtension ? byExtension : ContainerOfFormat(inputFormat);
}

int PickEncoding(const Container* c, int major, int inputFormat, const std::string& outputPath,
                 const std::string& encoding, int channels, int sampleRate) {
  const std::string shown = c ? c->shown : ContainerName(major);
  if (!encoding.empty()) {
    for (const Encoding& e : kEncodings) {
      if (Lower(encoding) == e.name && (!c || c->codec == 0) &&
          IsWritable(major | e.sub, channels, sampleRate)) {
        return e.sub;
      }
    }
    throw UsageError("cannot write output '" + outputPath + "': " + shown + " files cannot hold " +
                     encoding + " samples");
  }
  if (c && c->codec != 0) {
    return c->codec;
  }
  // Keep the input's samples where possible (FLAC, for one, has no floats);
  // a lossy codec's are decoded to PCM.
  const int kept = BytesPerSample(inputFormat) > 0 ? inputFormat & SF_FORMAT_SUBMASK : 0;
  for (const int sub : {kept, int{SF_FORMAT_PCM_24}, int{SF_FORMAT_PCM_16}}) {
    if (sub != 0 && IsWritable(major | sub, channels, sampleRate)) {
      return sub;
    }
  }
  throw UsageError("cannot write output '" + outputPath + "': " + shown + " files cannot hold " +
                   tools::Counted(channels, "channel") + " at " + std::to_string(sampleRate) +
                   " Hz");
}

// WAV grows into RF64 (and RF64 stays RF64); AIFF cannot.
int MajorForLength(int major, int inputFormat, int sub, const std::string& outputPath,
                   const OutputShape& shape) {
  const int64_t bytes = shape.frames * shape.channels * BytesPerSample(sub);
  if (IsWavFamily(major) &&
      ((inputFormat & SF_FORMAT_TYPEMASK) == SF_FORMAT_RF64 || bytes > kRf64FromBytes)) {
    return SF_FORMAT_RF64;
  }
  if (major == SF_FORMAT_AIFF && bytes > kMost32BitFileBytes - kHeaderRoom) {
    throw UsageError("cannot write output '" + outputPath + "': AIFF files hold at most 4 GiB, " +
                     DescribeFormat(major | sub) + " of this length needs " +
                     std::to_string(bytes >> 20) + " MiB (WAV, which becomes RF64, holds it)");
  }
  return major;
}

}  // namespace

std::vector<std::string> ContainerNames() {
  std::vector<std::string> names;
  for (const Container& c : kContainers) {
    names.emplace_back(c.name);
  }
  return names;
}

std::vector<std::string> EncodingNames() {
  std::vector<std::string> names;
  for (const Encoding& e : kEncodings) {
    names.emplace_back(e.name);
  }
  return names;
}

std::string JoinedNames(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& n : names) {
    text += (text.empty() ? "" : "|") + n;
  }
  return text;
}

int ChooseOutputFormat(int inputFormat, const std::string& outputPath, const std::string& container,
                       const std::string& encoding, const OutputShape& shape) {
  const int channels = shape.channels;
  const int sampleRate = shape.sampleRate;
  const Container* c = PickContainer(inputFormat, outputPath, container);
  int major = c ? c->major : inputFormat & SF_FORMAT_TYPEMASK;
  if (c && c->rates.size() > 0 &&
      std::find(c->rates.begin(), c->rates.end(), sampleRate) == c->rates.end()) {
    throw UsageError("cannot write output '" + outputPath + "': " + c->shown + " files hold only " +
                     Listed(c->rates) + " Hz, the input has " + std::to_string(sampleRate) + " Hz");
  }
  const int sub = PickEncoding(c, major, inputFormat, outputPath, encoding, channels, sampleRate);
  // Other tools expect float data, and what came as extensible, in the
  // extensible header.
  const bool extensible = (inputFormat & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAVEX ||
                          sub == SF_FORMAT_FLOAT || sub == SF_FORMAT_DOUBLE;
  if (IsWavFamily(major)) {
    major = extensible ? SF_FORMAT_WAVEX : SF_FORMAT_WAV;
  }
  return MajorForLength(major, inputFormat, sub, outputPath, shape) | sub;
}

void CheckContainerTakesEncoding(const std::string& container, const std::string& encoding) {
  const Container* c = ContainerNamed(Lower(container));
  for (const Encoding& e : kEncodings) {
    if (c && Lower(encoding) == e.name &&
        (c->codec != 0 || !IsWritable(c->major | e.sub, 1, 48000))) {
      throw UsageError(std::string("--format ") + c->name + " cannot hold --encoding " + e.name +
                       " samples");
    }
  }
}

bool IsIntegerEncoding(int format) {
  switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
    case SF_FORMAT_VORBIS:
    case SF_FORMAT_OPUS:
    case SF_FORMAT_MPEG_LAYER_III:
      return false;
    default:
      return true;
  }
}

bool HoldsNonFinite(int format) {
  const int sub = format & SF_FORMAT_SUBMASK;
  return sub == SF_FORMAT_FLOAT || sub == SF_FORMAT_DOUBLE;
}

int BytesPerSample(int format) {
  switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
      return 1;
    case SF_FORMAT_PCM_16:
      return 2;
    case SF_FORMAT_PCM_24:
      return 3;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
      return 4;
    case SF_FORMAT_DOUBLE:
      return 8;
    default:
      return 0;  // compressed: the size of a frame is not fixed
  }
}

int PcmBits(int format) {
  switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
      return 8;
    case SF_FORMAT_PCM_16:
      return 16;
    case SF_FORMAT_PCM_24:
      return 24;
    case SF_FORMAT_PCM_32:
      return 32;
    default:
      return 0;
  }
}

std::string DescribeFormat(int format) {
  const int sub = format & SF_FORMAT_SUBMASK;
  const Container* c = ContainerOfFormat(format);
  if (c && c->codec != 0) {
    return c->shown;
  }
  std::string encoding = LibraryName(sub, SFC_GET_FORMAT_INFO);
  for (const Encoding& e : kEncodings) {
    if (e.sub == sub) {
      encoding = e.shown;
    }
  }
  if (sub == SF_FORMAT_PCM_S8 || sub == SF_FORMAT_PCM_U8) {
    encoding = "8-bit PCM";
  }
  return ContainerName(format) + " " + encoding;
}

}  // namespace render
