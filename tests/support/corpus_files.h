// The EDID corpus and the independent decoder the corpus tests compare with.
#pragma once

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

// Every block of the corpus, in name order.
inline std::vector<std::filesystem::path> CorpusFiles() {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(KESTRAVE_CORPUS_DIR)) {
    if (entry.path().extension() == ".bin") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The standard output of a shell command; status as pclose gives it, -1
// when the command could not be started.
inline std::string CommandOutput(const std::string& command, int& status) {
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    status = -1;
    return {};
  }
  std::string output;
  char buffer[4096];
  for (size_t count; (count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    output.append(buffer, count);
  status = pclose(pipe);
  return output;
}
