#include "tools/render/AudioFormat.h"

#include "tools/render/RenderError.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>

namespace render {
namespace {

int ContainerFromName(const std::string& name)
{
  if (name == "wav") {
    return SF_FORMAT_WAV;
  }
  if (name == "flac") {
    return SF_FORMAT_FLAC;
  }
  if (name == "aiff") {
    return SF_FORMAT_AIFF;
  }
  return 0;
}

int EncodingFromName(const std::string& name)
{
  if (name == "pcm16") {
    return SF_FORMAT_PCM_16;
  }
  if (name == "pcm24") {
    return SF_FORMAT_PCM_24;
  }
  if (name == "pcm32") {
    return SF_FORMAT_PCM_32;
  }
  if (name == "float") {
    return SF_FORMAT_FLOAT;
  }
  if (name == "double") {
    return SF_FORMAT_DOUBLE;
  }
  return 0;
}

std::string LowerExtension(const std::string& path)
{
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
    return {};
  }
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

int ContainerFromExtension(const std::string& path)
{
  const std::string ext = LowerExtension(path);
  if (ext == "wav" || ext == "wave") {
    return SF_FORMAT_WAV;
  }
  if (ext == "flac") {
    return SF_FORMAT_FLAC;
  }
  if (ext == "aif" || ext == "aiff" || ext == "aifc") {
    return SF_FORMAT_AIFF;
  }
  return 0;
}

bool IsWritable(int format, int channels, int sampleRate)
{
  SF_INFO info{};
  info.format = format;
  info.channels = channels;
  info.samplerate = sampleRate;
  return sf_format_check(&info) != 0;
}

std::string ContainerName(int format)
{
  switch (format & SF_FORMAT_TYPEMASK) {
  case SF_FORMAT_WAV:
    return "WAV";
  case SF_FORMAT_FLAC:
    return "FLAC";
  case SF_FORMAT_AIFF:
    return "AIFF";
  default:
    break;
  }
  SF_FORMAT_INFO info{};
  info.format = format & SF_FORMAT_TYPEMASK;
  if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof(info)) == 0 && info.name) {
    return info.name;
  }
  return "audio";
}

}  // namespace

int ChooseOutputFormat(int inputFormat, const std::string& outputPath, const std::string& container,
                       const std::string& encoding, int channels, int sampleRate)
{
  int major = ContainerFromName(container);
  if (major == 0) {
    major = ContainerFromExtension(outputPath);
  }
  if (major == 0) {
    major = inputFormat & SF_FORMAT_TYPEMASK;
  }

  if (!encoding.empty()) {
    const int format = major | EncodingFromName(encoding);
    if (!IsWritable(format, channels, sampleRate)) {
      throw RenderError("cannot write output '" + outputPath + "': " + ContainerName(major) +
                        " files cannot hold " + encoding + " samples");
    }
    return format;
  }
  // Keep the input's encoding where possible; FLAC, for one, has no floats.
  for (const int sub : {inputFormat & SF_FORMAT_SUBMASK, int{SF_FORMAT_PCM_24}, int{SF_FORMAT_PCM_16}}) {
    if (IsWritable(major | sub, channels, sampleRate)) {
      return major | sub;
    }
  }
  throw RenderError("cannot write output '" + outputPath + "': " + ContainerName(major) + " files cannot hold " +
                    std::to_string(channels) + " channels at " + std::to_string(sampleRate) + " Hz");
}

bool IsIntegerEncoding(int format)
{
  switch (format & SF_FORMAT_SUBMASK) {
  case SF_FORMAT_FLOAT:
  case SF_FORMAT_DOUBLE:
    return false;
  default:
    return true;
  }
}

std::string DescribeFormat(int format)
{
  std::string text = ContainerName(format);
  SF_FORMAT_INFO info{};
  info.format = format & SF_FORMAT_SUBMASK;
  if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof(info)) == 0 && info.name) {
    text += std::string(" ") + info.name;
  }
  return text;
}

}  // namespace render
