#include "tools/kestrave-edid/edid_input.h"

#include <algorithm>
#include <cctype>

namespace {

// How much of a run that is not hex the error message quotes.
constexpr std::size_t kShownRunLength = 20;

bool IsTextCharacter(unsigned char c) {
  return (c >= 0x20 && c <= 0x7E) || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsSeparator(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0 || c == ','; }

// Appends the bytes of one run of hex digits; false if it is not one.
bool AppendHexRun(const std::string& run, std::vector<std::uint8_t>& bytes) {
  std::size_t start = 0;
  if (run.size() > 2 && run[0] == '0' && (run[1] == 'x' || run[1] == 'X')) start = 2;
  if ((run.size() - start) % 2 != 0) return false;
  for (std::size_t i = start; i < run.size(); i += 2) {
    const int high = HexDigitValue(run[i]);
    const int low = HexDigitValue(run[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  return true;
}

}  // namespace

EdidInput ReadHexText(const std::string& content) {
  EdidInput input;
  std::size_t line = 1;
  std::size_t i = 0;
  while (i < content.size()) {
    if (IsSeparator(content[i])) {
      if (content[i] == '\n') ++line;
      ++i;
      continue;
    }
    const std::size_t start = i;
    while (i < content.size() && !IsSeparator(content[i])) ++i;
    const std::string run = content.substr(start, i - start);
    if (!AppendHexRun(run, input.bytes)) {
      input.bytes.clear();
      const std::string shown =
          run.size() > kShownRunLength ? run.substr(0, kShownRunLength) + "..." : run;
      input.error = "not an EDID hex dump: '" + shown + "' on line " + std::to_string(line) +
                    " is not a run of hex digit pairs";
      return input;
    }
  }
  return input;
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

EdidInput ReadEdidInput(const std::string& content) {
  const bool text = std::all_of(content.begin(), content.end(), [](char c) {
    return IsTextCharacter(static_cast<unsigned char>(c));
  });
  if (!text || content.empty()) return EdidInput{{content.begin(), content.end()}, {}};
  return ReadHexText(content);
}
