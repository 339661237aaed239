// Files compiled into the module, for platforms whose modules carry no
// resources (the Linux .so and the web page's modules): one table, generated
// at build time by cmake/DmEmbedFiles.cmake, in which each file has its name
// and the id the Windows resource script gives it. Windows modules load
// their resources instead. [any thread; the data is constant]
#pragma once

#include <cstddef>
#include <cstdint>

struct IEmbeddedFile {
  int32_t id;        // the resource id; 0 for a file with none (the web page's font)
  const char* name;  // the file's name without folders, e.g. "bg.png"
  const unsigned char* data;
  size_t size;
};

struct IEmbeddedFileTable {
  const IEmbeddedFile* files;
  size_t count;
};

// The module's table; defined by the generated source.
IEmbeddedFileTable EmbeddedFiles();

// The file under that resource id (above 0); null when there is none.
const IEmbeddedFile* FindEmbeddedFile(int32_t id);
// The file of that name, or of that path's last part; null when there is none.
const IEmbeddedFile* FindEmbeddedFile(const char* nameOrPath);
