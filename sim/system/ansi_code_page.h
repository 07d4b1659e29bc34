// The ANSI code page of the simulated machine: what its A calls take and
// give. The machine keeps every text in UTF-8, as its file does, and the A
// calls have them (names, device texts, paths, messages) in the code page:
// a character takes one byte (874, 1250 to 1258) or one or two (932, 936,
// 949, 950) while the registry counts it as one UTF-16 character. A
// machine whose file names no code page hands its UTF-8 bytes over as they
// stand, one byte a character, as code page 1252 in every other respect.
#pragma once

#include <cstddef>
#include <string>

#include "platform/win32_types.h"

class AnsiCodePage {
 public:
  // converts false: the UTF-8 bytes as they stand.
  AnsiCodePage(DWORD number, bool converts) : number_(number), converts_(converts) {}

  static bool IsSupported(DWORD number);

  // A text of the machine as an A call gives it: a character the code page
  // lacks becomes its best fit, a look-alike, where Windows has one for it
  // (U+FF3C is a backslash under 1252), and "?" else, as Windows writes it.
  std::string FromMachine(const std::string& text) const;
  // A text an A call passes, as the machine keeps it.
  std::string ToMachine(const std::string& text) const;
  // The length of a text of the machine in UTF-16 characters, as the
  // registry counts names.
  size_t Characters(const std::string& text) const;

 private:
  DWORD number_;
  bool converts_;
};
