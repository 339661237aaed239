// The editor's images compiled into the module, for platforms whose modules
// carry no resources (a Linux .so). Declared here and defined by the
// artwork's owner, the effect (generated from its PNG files at build time).
// [any thread; the data is constant]
#pragma once

#include <cstddef>
#include <cstdint>

struct IEmbeddedImage {
  const unsigned char* bytes = nullptr;
  size_t size = 0;
};

// The PNG file compiled in under the resource id; empty when there is none.
IEmbeddedImage FindEmbeddedImage(int32_t id);
