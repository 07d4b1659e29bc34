#include "tools/kestrave-edid/debug_log_input.h"

#include <sstream>

#include "tools/kestrave-edid/edid_input.h"

namespace {

constexpr std::size_t kBytesPerRow = 16;

// The line without its indentation and without the CR of a CR LF end.
std::string Trimmed(std::string line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const std::size_t start = line.find_first_not_of(' ');
  return start == std::string::npos ? std::string() : line.substr(start);
}

std::vector<std::string> LinesOf(const std::string& content) {
  std::vector<std::string> lines;
  std::istringstream in(content);
  for (std::string line; std::getline(in, line);) lines.push_back(Trimmed(line));
  return lines;
}

// The bytes of one row: its leading hex pairs, at most a row's worth, so
// that the ASCII column after them is never read as bytes.
std::vector<std::uint8_t> RowBytes(const std::string& row) {
  std::vector<std::uint8_t> bytes;
  std::istringstream in(row);
  for (std::string token; bytes.size() < kBytesPerRow && in >> token && token.size() == 2;) {
    const int high = HexDigitValue(token[0]);
    const int low = HexDigitValue(token[1]);
    if (high < 0 || low < 0) break;
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  return bytes;
}

// A monitor's heading, as the dump writes it before the monitor's keys.
bool IsMonitorHeading(const std::string& line) {
  return line.size() > 1 && line.back() == ']' && line.find("  [") != std::string::npos &&
         line.compare(0, 8, "H/W key ") != 0 && line.compare(0, 8, "S/W key ") != 0;
}

}  // namespace

std::vector<LoggedEdid> ReadDebugLogEdids(const std::string& content) {
  const std::vector<std::string> lines = LinesOf(content);
  std::vector<LoggedEdid> found;
  std::string monitor;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (IsMonitorHeading(lines[i])) monitor = lines[i];
    if (lines[i] != "EDID:") continue;
    LoggedEdid edid{monitor, {}};
    // A warning about the block's revision may stand between the heading
    // and the rows; an empty line ends the dump.
    std::string dump;
    for (++i; i < lines.size() && !lines[i].empty(); ++i) {
      dump += lines[i] + "\n";
      const std::vector<std::uint8_t> row = RowBytes(lines[i]);
      if (row.empty() && edid.bytes.empty()) continue;
      if (row.empty()) break;
      edid.bytes.insert(edid.bytes.end(), row.begin(), row.end());
    }
    // Rows not in the dump's form, as of a hex dump pasted under an "EDID:"
    // line, are read as the hex text they are.
    if (edid.bytes.empty()) edid.bytes = ReadEdidInput(dump).bytes;
    found.push_back(std::move(edid));
  }
  return found;
}
