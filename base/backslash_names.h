// The names of a path whose names are separated by backslashes, as registry
// paths and device IDs are.
#pragma once

#include <string>
#include <vector>

// The names between backslashes, in order; a run of backslashes separates
// like one, and leading or trailing ones add no name.
inline std::vector<std::string> BackslashNames(const std::string& path) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start < path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) names.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return names;
}
