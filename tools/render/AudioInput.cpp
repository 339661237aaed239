#include "tools/render/AudioInput.h"

#include "tools/render/AudioFormat.h"
#include "tools/render/RenderError.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace render {
namespace {

constexpr int kTagKinds[] = {SF_STR_TITLE,   SF_STR_COPYRIGHT,  SF_STR_SOFTWARE, SF_STR_ARTIST,
                             SF_STR_COMMENT, SF_STR_DATE,       SF_STR_ALBUM,    SF_STR_LICENSE,
                             SF_STR_GENRE,   SF_STR_TRACKNUMBER};

// The number after `key` in libsndfile's log, or -1.
int64_t NumberAfter(const std::string& log, const std::string& key) {
  const size_t at = log.find(key);
  if (at == std::string::npos) {
    return -1;
  }
  const char* digits = log.c_str() + at + key.size();
  char* end = nullptr;
  const long long n = std::strtoll(digits, &end, 10);
  return end == digits ? -1 : n;
}

}  // namespace

AudioInput::AudioInput(const std::string& path) : path_(path) {
  // libsndfile's own text for a missing file is vague; the system's is not.
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    throw RenderError("cannot read input '" + path + "': " + std::strerror(errno));
  }
  if (S_ISDIR(st.st_mode)) {
    throw RenderError("cannot read input '" + path + "': it is a folder");
  }
  file_ = sf_open(path.c_str(), SFM_READ, &info_);
  if (!file_) {
    const int err = sf_error(nullptr);
    std::string reason = sf_strerror(nullptr);
    if (err == SF_ERR_UNRECOGNISED_FORMAT || err == SF_ERR_MALFORMED_FILE ||
        err == SF_ERR_UNSUPPORTED_ENCODING) {
      reason = "not a readable audio file (" + reason + ")";
    }
    throw RenderError("cannot read input '" + path + "': " + reason);
  }
  if (info_.channels < 1) {
    throw RenderError("cannot read input '" + path + "': it has no channels");
  }
  ReadPromiseFromHeader();
}

AudioInput::~AudioInput() {
  if (file_) {
    sf_close(file_);
  }
}

// libsndfile quietly shortens a file whose data chunk claims more than the
// file holds; its log keeps the claim ("data : 882000 (should be 100000)"
// for WAV, the frame count of AIFF's COMM chunk).
void AudioInput::ReadPromiseFromHeader() {
  promisedFrames_ = info_.frames;
  char log[4096] = {};
  sf_command(file_, SFC_GET_LOG_INFO, log, sizeof(log));
  const std::string text = log;
  const int64_t bytesPerFrame = static_cast<int64_t>(BytesPerSample(info_.format)) * Channels();
  const int64_t dataBytes =
      text.find("(should be") != std::string::npos ? NumberAfter(text, "\ndata : ") : -1;
  if (dataBytes > 0 && bytesPerFrame > 0) {
    promisedFrames_ = std::max(promisedFrames_, dataBytes / bytesPerFrame);
  }
  const int64_t commFrames = NumberAfter(text, "Frame count read from 'COMM' chunk (");
  promisedFrames_ = std::max(promisedFrames_, commFrames);
}

std::vector<std::pair<int, std::string>> AudioInput::Tags() const {
  std::vector<std::pair<int, std::string>> tags;
  for (const int kind : kTagKinds) {
    if (const char* text = sf_get_string(file_, kind); text && *text) {
      tags.emplace_back(kind, text);
    }
  }
  return tags;
}

int64_t AudioInput::CheckRead(int64_t got, int64_t wanted) {
  if (got < wanted && readProblem_.empty() && sf_error(file_) != SF_ERR_NO_ERROR) {
    readProblem_ = sf_strerror(file_);
  }
  return got;
}

int64_t AudioInput::Read(float* interleaved, int64_t frames) {
  return readProblem_.empty() ? CheckRead(sf_readf_float(file_, interleaved, frames), frames) : 0;
}

int64_t AudioInput::Read(double* interleaved, int64_t frames) {
  return readProblem_.empty() ? CheckRead(sf_readf_double(file_, interleaved, frames), frames) : 0;
}

}  // namespace render
