// A structured exception of the operating system (an access violation and
// the like) raised inside a platform call. On Windows the real ones never
// become C++ exceptions and are caught by an unhandled-exception filter; the
// simulator raises this class where its machine file injects one.
#pragma once

#include "platform/win32_types.h"

class StructuredException {
 public:
  explicit StructuredException(DWORD code) : code_(code) {}
  DWORD Code() const { return code_; }

 private:
  DWORD code_;
};
