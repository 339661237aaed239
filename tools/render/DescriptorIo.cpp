#include "tools/render/DescriptorIo.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace render {
namespace {

DescriptorIo& Of(void* self) { return *static_cast<DescriptorIo*>(self); }

}  // namespace

DescriptorIo::DescriptorIo(int fd)
    : fd_(fd),
      io_{&DescriptorIo::Length, &DescriptorIo::Seek, &DescriptorIo::Read, &DescriptorIo::Write,
          &DescriptorIo::Tell} {}

SNDFILE* DescriptorIo::Open(int mode, SF_INFO& info) {
  if (lseek(fd_, 0, SEEK_SET) < 0 && errno != ESPIPE) {
    Note();
  }
  return sf_open_virtual(&io_, mode, &info, this);
}

void DescriptorIo::Note() {
  if (failure_.empty()) {
    failure_ = std::strerror(errno);
  }
}

sf_count_t DescriptorIo::Length(void* self) {
  struct stat st {};
  return fstat(Of(self).fd_, &st) == 0 ? st.st_size : 0;
}

sf_count_t DescriptorIo::Seek(sf_count_t offset, int whence, void* self) {
  const off_t at = lseek(Of(self).fd_, offset, whence);
  if (at < 0) {
    Of(self).Note();
  }
  return at;
}

sf_count_t DescriptorIo::Read(void* to, sf_count_t bytes, void* self) {
  sf_count_t done = 0;
  while (done < bytes) {
    const ssize_t got =
        read(Of(self).fd_, static_cast<char*>(to) + done, static_cast<size_t>(bytes - done));
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      if (got < 0) {
        Of(self).Note();
      }
      break;
    }
    done += got;
  }
  return done;
}

// All of it or the reason why not: a short write is retried, as a full
// disk first takes what fits and refuses the rest with its reason.
sf_count_t DescriptorIo::Write(const void* from, sf_count_t bytes, void* self) {
  sf_count_t done = 0;
  while (done < bytes) {
    const ssize_t put = write(Of(self).fd_, static_cast<const char*>(from) + done,
                              static_cast<size_t>(bytes - done));
    if (put < 0 && errno == EINTR) {
      continue;
    }
    if (put <= 0) {
      if (put == 0) {
        errno = EIO;
      }
      Of(self).Note();
      break;
    }
    done += put;
  }
  return done;
}

sf_count_t DescriptorIo::Tell(void* self) { return lseek(Of(self).fd_, 0, SEEK_CUR); }

}  // namespace render
