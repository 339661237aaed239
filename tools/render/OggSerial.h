// A fixed stream number in every Ogg file render writes, so equal renders give equal bytes.
#pragma once

#include <cstdint>
#include <string>

namespace render {

// The stream number every Ogg file render writes carries.
constexpr uint32_t kOggSerial = 0x6D447544;  // "DuDm"

// Gives every page of the Ogg file open on `fd` the stream number `serial`,
// with the page's checksum to match. libsndfile numbers a new Ogg stream at
// random; a fixed number makes the same render the same bytes (a file of one
// stream needs no number unique beyond it). Returns the system's reason on
// failure, else empty.
std::string SetOggSerial(int fd, uint32_t serial);

}  // namespace render
