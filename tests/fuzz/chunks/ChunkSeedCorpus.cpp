// Writes the seed corpus of the chunk fuzzer: the factory bank, program
// chunks, a bare values block and truncations of them, each behind the
// selector byte the fuzzer reads.
#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/fuzz/chunks/ChunkInput.h"

namespace {

int written = 0;

void WriteSeed(const std::string& folder, const std::string& name, bool bank, int32_t programFirst,
               const std::vector<uint8_t>& chunk, size_t keep) {
  std::vector<uint8_t> seed{chunkfuzz::Selector(bank, programFirst)};
  seed.insert(seed.end(), chunk.begin(),
              chunk.begin() + static_cast<std::ptrdiff_t>(std::min(keep, chunk.size())));
  const std::string path = folder + "/" + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    std::perror(path.c_str());
    std::exit(1);
  }
  std::fwrite(seed.data(), 1, seed.size(), file);
  std::fclose(file);
  ++written;
}

void WriteWithTruncations(const std::string& folder, const std::string& stem, bool bank,
                          int32_t programFirst, const std::vector<uint8_t>& chunk,
                          const std::vector<size_t>& cuts) {
  WriteSeed(folder, stem, bank, programFirst, chunk, chunk.size());
  for (size_t cut : cuts) {
    if (cut < chunk.size())
      WriteSeed(folder, stem + "-cut" + std::to_string(cut), bank, programFirst, chunk, cut);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];

  VSTCLASS effect(nullptr);
  const std::vector<uint8_t> factoryBank = chunkfuzz::GetChunk(effect, true);
  const std::vector<uint8_t> defaultProgram = chunkfuzz::GetChunk(effect, false);
  chunkfuzz::Dispatch(effect, effSetProgram, 0, 4, nullptr);
  const std::vector<uint8_t> slot4Program = chunkfuzz::GetChunk(effect, false);
  const std::vector<uint8_t> bareValues(defaultProgram.begin() + 8, defaultProgram.end());

  WriteWithTruncations(folder, "factory-bank", true, 0, factoryBank,
                       {0, 3, 4, 7, 8, 12, 29, 101, 102, 180, 1358, 1368});
  WriteWithTruncations(folder, "default-program", false, 0, defaultProgram, {4, 6, 8, 48, 79});
  WriteWithTruncations(folder, "slot4-program", false, 4, slot4Program, {40});
  WriteSeed(folder, "factory-bank-as-program", false, 0, factoryBank, factoryBank.size());
  WriteSeed(folder, "bare-values-as-bank", true, 14, bareValues, bareValues.size());
  WriteSeed(folder, "bare-values", false, 20, bareValues, bareValues.size());
  std::printf("%d seeds written to %s\n", written, folder.c_str());
  return 0;
}
