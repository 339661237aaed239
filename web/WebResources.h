// Files the page's modules carry inside them (the editor's images, the
// font), embedded at build time (cmake/DmEmbedFiles.cmake).
#pragma once

#include <cstddef>
#include <cstdint>

struct WebResource {
  const char* name;  // the file's name without folders, e.g. "bg.png"
  const uint8_t* data;
  size_t size;
};

// The file of that name, or of that path's last part; null when none.
const WebResource* FindWebResource(const char* nameOrPath);
