// The EDID corpus: real blocks, each read as the program would get it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "tests/support/files.h"

// Every block of the corpus, in name order.
inline std::vector<std::filesystem::path> CorpusFiles() {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(KESTRAVE_CORPUS_DIR)) {
    if (entry.path().extension() == ".bin") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The file's bytes as the program keeps a monitor's registry value: the
// first 256 of them.
inline std::vector<std::uint8_t> CorpusBlock(const std::filesystem::path& file) {
  const std::string bytes = FileContent(file);
  return std::vector<std::uint8_t>(bytes.begin(),
                                   bytes.begin() + std::min<std::ptrdiff_t>(bytes.size(), 256));
}
