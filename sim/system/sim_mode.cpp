#include "sim/system/sim_mode.h"

namespace {

// Reads the decimal number at text[position], which must end with the
// terminator (or the end of the text when it is '\0').
bool ReadNumber(const std::string& text, size_t& position, char terminator, DWORD& number) {
  size_t start = position;
  unsigned long long value = 0;
  while (position < text.size() && text[position] >= '0' && text[position] <= '9') {
    value = value * 10 + static_cast<unsigned>(text[position] - '0');
    if (value > 0xFFFFFFFFull) return false;
    ++position;
  }
  if (position == start) return false;
  if (terminator == '\0') {
    if (position != text.size()) return false;
  } else {
    if (position == text.size() || text[position] != terminator) return false;
    ++position;
  }
  number = static_cast<DWORD>(value);
  return true;
}

}  // namespace

std::optional<SimMode> ParseModeText(const std::string& text) {
  SimMode mode;
  size_t position = 0;
  if (ReadNumber(text, position, 'x', mode.width) && ReadNumber(text, position, 'x', mode.height) &&
      ReadNumber(text, position, '@', mode.bitsPerPixel) &&
      ReadNumber(text, position, '\0', mode.frequency))
    return mode;
  return std::nullopt;
}

std::string ModeText(const SimMode& mode) {
  return std::to_string(mode.width) + "x" + std::to_string(mode.height) + "x" +
         std::to_string(mode.bitsPerPixel) + "@" + std::to_string(mode.frequency);
}
