#include "tools/render/AudioInput.h"

#include "tools/render/RenderError.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace render {

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
}

AudioInput::~AudioInput() {
  if (file_) {
    sf_close(file_);
  }
}

void AudioInput::CheckReadError(int64_t got, int64_t wanted) {
  if (got < wanted && sf_error(file_) != SF_ERR_NO_ERROR) {
    throw RenderError("cannot read input '" + path_ + "': " + sf_strerror(file_));
  }
}

int64_t AudioInput::Read(float* interleaved, int64_t frames) {
  const int64_t got = sf_readf_float(file_, interleaved, frames);
  CheckReadError(got, frames);
  return got;
}

int64_t AudioInput::Read(double* interleaved, int64_t frames) {
  const int64_t got = sf_readf_double(file_, interleaved, frames);
  CheckReadError(got, frames);
  return got;
}

}  // namespace render
