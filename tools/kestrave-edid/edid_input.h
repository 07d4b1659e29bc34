// The bytes of an EDID file as kestrave-edid reads it: raw binary, or the
// hex text that EDID tools print.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct EdidInput {
  std::vector<std::uint8_t> bytes;
  std::string error;  // empty when the content could be read
};

// Content that holds only printable ASCII and white space is hex text: hex
// digit pairs, separated or not by white space or commas, each run
// optionally led by "0x" or "0X" (so "00 ff ff", "00ffff" and "0x00, 0xff"
// all read the same). Anything else is raw binary. A binary EDID block
// starts with the bytes 00 and FF and is therefore never taken for text.
EdidInput ReadEdidInput(const std::string& content);

// The content read as hex text, whatever bytes it holds: the error names
// the first run that is not hex digit pairs.
EdidInput ReadHexText(const std::string& content);

// The value of one hex digit, either case; -1 for any other character.
int HexDigitValue(char c);
