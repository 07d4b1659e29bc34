// The numbers of the handles the simulated machine hands out, registry keys
// and files alike: multiples of four, never reused, so that a call on a
// closed handle fails visibly and every handle in the trace is unique.
#pragma once

#include <cstdint>

class HandleNumbers {
 public:
  std::uintptr_t Next() {
    std::uintptr_t number = next_;
    next_ += 4;
    return number;
  }

 private:
  std::uintptr_t next_ = 0x100;
};
