#include "tools/render/OggSerial.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

namespace render {
namespace {

constexpr size_t kHeaderBytes = 27;
constexpr size_t kSerialAt = 14;
constexpr size_t kChecksumAt = 22;
constexpr size_t kSegmentCountAt = 26;

// Ogg's page checksum: CRC-32 with polynomial 0x04C11DB7, not reflected,
// starting from 0, over the page with its checksum field zeroed.
uint32_t PageChecksum(const std::vector<uint8_t>& page) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t r = i << 24;
      for (int bit = 0; bit < 8; ++bit) {
        r = (r & 0x80000000u) != 0 ? (r << 1) ^ 0x04C11DB7u : r << 1;
      }
      t[i] = r;
    }
    return t;
  }();
  uint32_t crc = 0;
  for (const uint8_t byte : page) {
    crc = (crc << 8) ^ table[((crc >> 24) ^ byte) & 0xFF];
  }
  return crc;
}

void PutLittleEndian(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    at[i] = static_cast<uint8_t>(value >> (8 * i));
  }
}

// Reads exactly `size` bytes at `offset`; false at the end or on failure
// (errno tells which: 0 at the end).
bool ReadAt(int fd, uint8_t* to, size_t size, off_t offset) {
  for (size_t done = 0; done < size;) {
    const ssize_t got = pread(fd, to + done, size - done, offset + static_cast<off_t>(done));
    if (got <= 0) {
      if (got == 0) {
        errno = 0;
      }
      if (got < 0 && errno == EINTR) {
        continue;
      }
      return false;
    }
    done += static_cast<size_t>(got);
  }
  return true;
}

}  // namespace

std::string SetOggSerial(int fd, uint32_t serial) {
  std::vector<uint8_t> page;
  for (off_t at = 0;;) {
    page.resize(kHeaderBytes);
    if (!ReadAt(fd, page.data(), kHeaderBytes, at)) {
      return errno == 0 ? "" : std::strerror(errno);
    }
    if (std::memcmp(page.data(), "OggS", 4) != 0) {
      return "the finished file is not a sequence of Ogg pages";
    }
    const size_t segments = page[kSegmentCountAt];
    page.resize(kHeaderBytes + segments);
    if (!ReadAt(fd, page.data() + kHeaderBytes, segments, at + kHeaderBytes)) {
      return errno == 0 ? "the finished file ends inside an Ogg page" : std::strerror(errno);
    }
    size_t body = 0;
    for (size_t i = 0; i < segments; ++i) {
      body += page[kHeaderBytes + i];
    }
    const size_t head = page.size();
    page.resize(head + body);
    if (!ReadAt(fd, page.data() + head, body, at + static_cast<off_t>(head))) {
      return errno == 0 ? "the finished file ends inside an Ogg page" : std::strerror(errno);
    }
    PutLittleEndian(&page[kSerialAt], serial);
    PutLittleEndian(&page[kChecksumAt], 0);
    PutLittleEndian(&page[kChecksumAt], PageChecksum(page));
    if (pwrite(fd, &page[kSerialAt], kSegmentCountAt - kSerialAt, at + kSerialAt) !=
        static_cast<ssize_t>(kSegmentCountAt - kSerialAt)) {
      return std::strerror(errno);
    }
    at += static_cast<off_t>(page.size());
  }
}

}  // namespace render
