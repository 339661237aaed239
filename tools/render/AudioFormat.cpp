#include "tools/render/AudioFormat.h"

#include "tools/render/RenderError.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <initializer_list>

namespace render {
namespace {

struct NamedFormat {
  const char* name;
  int format;
};

// The format named by `name` in `table`, or 0.
int FormatNamed(const std::string& name, std::initializer_list<NamedFormat> table) {
  for (const NamedFormat& entry : table) {
    if (name == entry.name) {
      return entry.format;
    }
  }
  return 0;
}

int ContainerFromName(const std::string& name) {
  return FormatNamed(name,
                     {{"wav", SF_FORMAT_WAV}, {"flac", SF_FORMAT_FLAC}, {"aiff", SF_FORMAT_AIFF}});
}

int EncodingFromName(const std::string& name) {
  return FormatNamed(name, {{"pcm16", SF_FORMAT_PCM_16},
                            {"pcm24", SF_FORMAT_PCM_24},
                            {"pcm32", SF_FORMAT_PCM_32},
                            {"float", SF_FORMAT_FLOAT},
                            {"double", SF_FORMAT_DOUBLE}});
}

std::string LowerExtension(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
    return {};
  }
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

int ContainerFromExtension(const std::string& path) {
  return FormatNamed(LowerExtension(path), {{"wav", SF_FORMAT_WAV},
                                            {"wave", SF_FORMAT_WAV},
                                            {"flac", SF_FORMAT_FLAC},
                                            {"aif", SF_FORMAT_AIFF},
                                            {"aiff", SF_FORMAT_AIFF},
                                            {"aifc", SF_FORMAT_AIFF}});
}

bool IsWritable(int format, int channels, int sampleRate) {
  SF_INFO info{};
  info.format = format;
  info.channels = channels;
  info.samplerate = sampleRate;
  return sf_format_check(&info) != 0;
}

std::string ContainerName(int format) {
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
                       const std::string& encoding, int channels, int sampleRate) {
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
  for (const int sub :
       {inputFormat & SF_FORMAT_SUBMASK, int{SF_FORMAT_PCM_24}, int{SF_FORMAT_PCM_16}}) {
    if (IsWritable(major | sub, channels, sampleRate)) {
      return major | sub;
    }
  }
  throw RenderError("cannot write output '" + outputPath + "': " + ContainerName(major) +
                    " files cannot hold " + std::to_string(channels) + " channels at " +
                    std::to_string(sampleRate) + " Hz");
}

bool IsIntegerEncoding(int format) {
  switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
      return false;
    default:
      return true;
  }
}

std::string DescribeFormat(int format) {
  std::string text = ContainerName(format);
  SF_FORMAT_INFO info{};
  info.format = format & SF_FORMAT_SUBMASK;
  if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof(info)) == 0 && info.name) {
    text += std::string(" ") + info.name;
  }
  return text;
}

}  // namespace render
