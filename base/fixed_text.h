// Texts the platform hands over in fixed-size arrays end at the first zero,
// or at the array's end where the platform left no zero.
#pragma once

#include <cstddef>
#include <string>

template <size_t N>
std::string FixedText(const char (&text)[N]) {
  size_t length = 0;
  while (length < N && text[length] != '\0') ++length;
  return std::string(text, length);
}
