#pragma once

#include <string>

namespace render {

// Picks the libsndfile format word (container | encoding) of the output file.
// The container follows --format, else the output name's extension (.wav,
// .flac, .aif/.aiff), else the input's; the encoding follows --encoding, else
// the input's when the container can hold it, else 24-bit PCM. Throws
// RenderError for a combination the container cannot hold.
int ChooseOutputFormat(int inputFormat, const std::string& outputPath, const std::string& container,
                       const std::string& encoding, int channels, int sampleRate);

// True for encodings stored as integers, which clip outside -1...1.
bool IsIntegerEncoding(int format);

// "WAV 24-bit PCM" and the like, for messages.
std::string DescribeFormat(int format);

}  // namespace render
