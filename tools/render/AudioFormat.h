// The output file's format and encoding, and the properties of libsndfile's formats.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace render {

// The names --format and --encoding take, in lower case.
std::vector<std::string> ContainerNames();
std::vector<std::string> EncodingNames();
std::string JoinedNames(const std::vector<std::string>& names);  // "a|b|c"

// What the output has to hold besides its samples' encoding.
struct OutputShape {
  int channels = 0;
  int sampleRate = 0;
  int64_t frames = 0;  // as the input announces them
};

// Picks the libsndfile format word (container | encoding) of the output file.
// The container follows --format, else the output name's extension, else the
// input's; the encoding follows --encoding, else the input's PCM or float
// encoding when the container can hold it, else 24-bit PCM (lossy containers
// have their one codec). WAV becomes extensible WAV for float data or an
// extensible input, and RF64 for an RF64 input or data that may outgrow the
// 4 GiB a WAV file can hold. Throws UsageError for an extension of a format
// it does not write, a --format that contradicts the extension, or a
// combination of container, encoding, channels, rate and length the container
// cannot hold.
int ChooseOutputFormat(int inputFormat, const std::string& outputPath, const std::string& container,
                       const std::string& encoding, const OutputShape& shape);

// Throws UsageError when --format names a container that holds no samples of
// the --encoding named, whatever the file (either may be empty: no check).
void CheckContainerTakesEncoding(const std::string& container, const std::string& encoding);

// True for encodings stored as integers, which clip outside -1...1.
bool IsIntegerEncoding(int format);
// True where NaN and infinity can be stored (float and double samples).
bool HoldsNonFinite(int format);
// Bits per sample of the integer PCM encodings, else 0.
int PcmBits(int format);
// Bytes per sample of the uncompressed encodings, else 0.
int BytesPerSample(int format);
// Where reducing to the format's PCM width wants dither: 16 bits and fewer.
constexpr int kMostDitheredBits = 16;

// "WAV 24-bit PCM", "Ogg Vorbis" and the like, for messages.
std::string DescribeFormat(int format);

}  // namespace render
