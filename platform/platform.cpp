#include "platform/platform.h"

#include <cstdlib>

namespace {
Platform* current = nullptr;
}

Platform& Win32() {
  // Running the core without a platform is a programming error, not a
  // condition to report in the log.
  if (current == nullptr) std::abort();
  return *current;
}

void SetPlatform(Platform* platform) { current = platform; }
