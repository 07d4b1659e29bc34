// The ANSI code page of the simulated machine: what its A calls take and
// give. The machine keeps every text in UTF-8, as its file does. On the
// double-byte code pages (932, 936, 949, 950) a character outside ASCII
// takes one or two bytes in an A call while the registry counts it as one
// UTF-16 character. Code page 1252 hands the machine's bytes over as they
// stand, one byte a character.
#pragma once

#include <cstddef>
#include <string>

#include "platform/win32_types.h"

class AnsiCodePage {
 public:
  explicit AnsiCodePage(DWORD number) : number_(number) {}

  static bool IsSupported(DWORD number);

  // A text of the machine as an A call gives it: a character the code page
  // lacks becomes "?", as Windows writes it.
  std::string FromMachine(const std::string& text) const;
  // A text an A call passes, as the machine keeps it.
  std::string ToMachine(const std::string& text) const;
  // The length of a text of the machine in UTF-16 characters, as the
  // registry counts names.
  size_t Characters(const std::string& text) const;

 private:
  bool IsDoubleByte() const { return number_ != 1252; }

  DWORD number_;
};
