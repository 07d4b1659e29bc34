// The decoded fields of an EDID base block, as read back from two reports:
// the program's own EDID report and the text of Debian's edid-decode. The
// corpus tests compare them field by field, and the modes derived from a
// block with what edid-decode finds in it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

struct DecodedTiming {  // an established or standard timing
  unsigned width = 0, height = 0;
  double refresh = 0;  // Hz
  bool interlaced = false;
  std::size_t offset = 0;  // of a standard timing's two bytes in the block
  // edid-decode only: where the timing comes from ("DMT 0x11" for the DMT
  // timing it took for a standard timing, "IBM", "GTF", ...) and its aspect.
  std::string source = "";
  unsigned aspectWidth = 0, aspectHeight = 0;
};

struct DecodedDetailedTiming {
  bool decoded = true;  // false: edid-decode showed only the raw bytes
  std::size_t offset = 0;
  double pixelClock = 0;  // MHz
  unsigned hActive = 0, hBlank = 0, vActive = 0, vBlank = 0;
  unsigned hSyncOffset = 0, hSyncWidth = 0, vSyncOffset = 0, vSyncWidth = 0;
  unsigned hSize = 0, vSize = 0, hBorder = 0, vBorder = 0;
  bool interlaced = false;
  double refresh = 0;  // Hz; edid-decode only
};

struct DecodedText {
  std::size_t offset = 0;
  std::string text;
};

struct DecodedRangeLimits {
  std::size_t offset = 0;
  unsigned minVertical = 0, maxVertical = 0, minHorizontal = 0, maxHorizontal = 0;
  unsigned maxPixelClock = 0;  // MHz; 0 when not specified
  bool secondaryCurve = false;
  double startFrequency = 0, c = 0, m = 0, k = 0, j = 0;  // as edid-decode shows them
};

struct DecodedBaseBlock {
  bool found = false;  // edid-decode: the text has a base block
  std::string manufacturer;
  unsigned productCode = 0;
  std::uint32_t serialNumber = 0;
  unsigned week = 0, year = 0;
  unsigned version = 0, revision = 0;
  bool digital = false;
  unsigned hSizeCm = 0, vSizeCm = 0;  // 0 and 0 when not specified
  std::string gamma;                  // two decimals; empty when edid-decode has none
  bool firstTimingPreferred = false;  // edid-decode only
  std::vector<DecodedTiming> established;
  std::size_t manufacturerTimings = 0;  // "Vendor proprietary" entries
  std::vector<DecodedTiming> standard;
  std::vector<DecodedTiming> additionalStandard;  // of 0xFA descriptors
  std::size_t secondFormulaTimings = 0;           // edid-decode: a standard timing shown once more
  std::vector<DecodedDetailedTiming> detailedTimings;
  std::vector<DecodedText> names, serials, strings;
  std::vector<DecodedRangeLimits> rangeLimits;
  std::vector<std::size_t> spwgBlocks;  // blocks edid-decode reads as laptop panel data
};

DecodedBaseBlock ParseEdidReport(const std::string& report);
// What edid-decode makes of the file's base block.
DecodedBaseBlock EdidDecode(const std::filesystem::path& file);

inline bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

inline unsigned Number(const std::string& text) {
  return static_cast<unsigned>(std::stoul(text));
}

// A regular expression, compiled once for all the lines of the corpus.
inline const std::regex& Pattern(const char* pattern) {
  static std::map<std::string, std::regex> compiled;
  auto found = compiled.find(pattern);
  if (found == compiled.end()) found = compiled.emplace(pattern, std::regex(pattern)).first;
  return found->second;
}
