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

// The file's bytes, as a monitor's registry value holds them.
inline std::vector<std::uint8_t> CorpusValue(const std::filesystem::path& file) {
  const std::string bytes = FileContent(file);
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

// The file's bytes as the log reports a monitor's value: the first 256.
inline std::vector<std::uint8_t> CorpusBlock(const std::filesystem::path& file) {
  std::vector<std::uint8_t> bytes = CorpusValue(file);
  bytes.resize(std::min<std::size_t>(bytes.size(), 256));
  return bytes;
}
