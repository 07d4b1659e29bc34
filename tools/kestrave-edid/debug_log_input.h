// The EDID blocks of a Kestrave debug log ("kestrave.txt"): each monitor's
// dump is an "EDID:" line, perhaps a warning about the block's revision,
// then rows of up to 16 hex byte pairs, each full row ending in its ASCII
// column, up to an empty row. Rows in no such form, as of a hex dump pasted
// under an "EDID:" line, are read as hex text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct LoggedEdid {
  std::string monitor;  // the monitor's heading line, "DeviceString  [DeviceName]"
  std::vector<std::uint8_t> bytes;
};

// Every dump of the log, in its order; none when the content holds no
// "EDID:" line, and so is no such log.
std::vector<LoggedEdid> ReadDebugLogEdids(const std::string& content);
