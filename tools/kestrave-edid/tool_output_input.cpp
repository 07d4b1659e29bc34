#include "tools/kestrave-edid/tool_output_input.h"

#include <cstdint>
#include <sstream>

#include "tools/kestrave-edid/edid_input.h"

namespace {

const char kEdidDecodeHeading[] = "edid-decode (hex):";
const char kXrandrHeading[] = "EDID:";
const char kWhiteSpace[] = " \t\r\n\v\f";

std::string WithoutSpaceAround(const std::string& line) {
  const std::size_t start = line.find_first_not_of(kWhiteSpace);
  if (start == std::string::npos) return std::string();
  return line.substr(start, line.find_last_not_of(kWhiteSpace) - start + 1);
}

// The bytes of a line that is hex text and nothing else; none for any
// other line, such as the property after xrandr's block.
std::vector<std::uint8_t> HexRowBytes(const std::string& line) {
  EdidInput row = ReadHexText(line);
  return row.error.empty() ? std::move(row.bytes) : std::vector<std::uint8_t>();
}

// xrandr starts each output's part with an unindented line that names it
// first: "HDMI-1 connected primary 1920x1080+0+0 ...".
bool IsOutputLine(const std::string& line) {
  return !line.empty() && std::string(kWhiteSpace).find(line[0]) == std::string::npos;
}

}  // namespace

std::vector<LoggedEdid> ReadToolOutputEdids(const std::string& content) {
  std::vector<std::string> lines;
  std::istringstream in(content);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::vector<LoggedEdid> found;
  std::string output;
  std::size_t i = 0;
  while (i < lines.size()) {
    const std::string heading = WithoutSpaceAround(lines[i]);
    if (IsOutputLine(lines[i])) output = heading.substr(0, heading.find_first_of(kWhiteSpace));
    ++i;
    const bool edidDecode = heading == kEdidDecodeHeading;
    if (!edidDecode && heading != kXrandrHeading) continue;
    LoggedEdid block{edidDecode ? std::string() : output, {}};
    for (; i < lines.size(); ++i) {
      const std::string row = WithoutSpaceAround(lines[i]);
      // Only edid-decode parts its rows with empty lines.
      if (row.empty() && edidDecode) continue;
      const std::vector<std::uint8_t> bytes = HexRowBytes(row);
      if (bytes.empty()) break;
      block.bytes.insert(block.bytes.end(), bytes.begin(), bytes.end());
    }
    if (!block.bytes.empty()) found.push_back(std::move(block));
  }
  return found;
}
