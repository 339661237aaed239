// libsndfile's file access over a descriptor, noting the first failed read or write.
#pragma once

#include <sndfile.h>

#include <string>

namespace render {

// libsndfile's file access over an open descriptor that notes the system's
// reason for the first read or write that failed. libsndfile does not pass
// every failure on (its MP3 encoder drops a write that failed, Ogg reports an
// "internal error"), so this note, not the library's return codes, says
// whether the bytes reached the file.
class DescriptorIo {
 public:
  explicit DescriptorIo(int fd);
  DescriptorIo(const DescriptorIo&) = delete;
  DescriptorIo& operator=(const DescriptorIo&) = delete;

  // Opens the file from its start; nullptr when libsndfile refuses it.
  SNDFILE* Open(int mode, SF_INFO& info);

  // The system's reason for the first access that failed; empty if none did.
  const std::string& Failure() const { return failure_; }

 private:
  static sf_count_t Length(void* self);
  static sf_count_t Seek(sf_count_t offset, int whence, void* self);
  static sf_count_t Read(void* to, sf_count_t bytes, void* self);
  static sf_count_t Write(const void* from, sf_count_t bytes, void* self);
  static sf_count_t Tell(void* self);
  void Note();

  int fd_;
  std::string failure_;
  SF_VIRTUAL_IO io_;
};

}  // namespace render
