// Cross-checks the modes derived from real EDID blocks against edid-decode,
// an independent decoder, on the base-block facts that both report. Where
// the two differ on purpose, the difference is stated below and checked,
// not skipped.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/corpus_files.h"
#include "display/edid_modes.h"
#include "tests/support/mode_values.h"

namespace {

constexpr const char* kDecoder = "/usr/bin/edid-decode";

// One timing line of the decoder, e.g.
// "    DMT 0x0f:  1024x768i   86.957532 Hz   4:3     35.522 kHz ...".
struct DecodedTiming {
  std::string source;  // "DMT 0x0f", "IBM", "GTF", "DTD 1", ...
  DWORD width;
  DWORD height;
  bool interlaced;
  double refresh;
  DWORD aspectWidth;
  DWORD aspectHeight;
};

struct DecodedBaseBlock {
  int version = 0;
  int revision = 0;
  bool firstTimingPreferred = false;
  std::vector<DecodedTiming> established;
  std::vector<DecodedTiming> standard;
  bool detailedSectionSeen = false;
  // The first entry of the detailed timing section, when it is a timing
  // rather than a descriptor.
  std::optional<DecodedTiming> firstDetailedTiming;
};

std::optional<DecodedTiming> ParseTiming(const std::string& line) {
  static const std::regex pattern(
      R"(^    ([^:]*[^: ]) *:\s+(\d+)x(\d+)(i?)\s+([0-9.]+) Hz\s+(\d+):(\d+))");
  std::smatch match;
  if (!std::regex_search(line, match, pattern)) return std::nullopt;
  return DecodedTiming{match[1],
                       static_cast<DWORD>(std::stoul(match[2])),
                       static_cast<DWORD>(std::stoul(match[3])),
                       match[4] == "i",
                       std::stod(match[5]),
                       static_cast<DWORD>(std::stoul(match[6])),
                       static_cast<DWORD>(std::stoul(match[7]))};
}

// Reads the "Block 0" part of the decoder's report, up to its checksum line.
DecodedBaseBlock ParseBaseBlock(const std::string& report) {
  DecodedBaseBlock block;
  std::istringstream lines(report);
  std::string line;
  while (std::getline(lines, line) && line.rfind("Block 0,", 0) != 0) {
  }
  std::string section;
  while (std::getline(lines, line) && line.rfind("Checksum:", 0) != 0) {
    const bool sectionHeading = line.rfind("  ", 0) == 0 && line[2] != ' ';
    if (sectionHeading) {
      section = line.substr(2);
      if (std::sscanf(line.c_str(), "  EDID Structure Version & Revision: %d.%d", &block.version,
                      &block.revision) == 2) {
        continue;
      }
      if (section == "Detailed Timing Descriptors:") block.detailedSectionSeen = true;
      continue;
    }
    if (line == "    First detailed timing is the preferred timing") {
      block.firstTimingPreferred = true;
    }
    const bool entry = line.rfind("    ", 0) == 0 && line[4] != ' ';
    if (!entry) continue;
    if (section == "Established Timings I & II:") {
      if (auto timing = ParseTiming(line)) block.established.push_back(*timing);
    } else if (section == "Standard Timings:") {
      if (auto timing = ParseTiming(line)) block.standard.push_back(*timing);
    } else if (section == "Detailed Timing Descriptors:") {
      // "DTD 1" is padded to "DTD  1" when the block has ten or more.
      static const std::regex firstTiming("DTD +1");
      std::optional<DecodedTiming> timing = ParseTiming(line);
      if (timing && std::regex_match(timing->source, firstTiming)) {
        block.firstDetailedTiming = timing;
      }
      section.clear();  // only the first entry is of interest
    }
  }
  return block;
}

std::string RunDecoder(const std::filesystem::path& file, int& exitStatus) {
  return CommandOutput(std::string(kDecoder) + " -s '" + file.string() + "' 2>/dev/null",
                       exitStatus);
}

std::vector<unsigned char> ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A derived mode and the decoder's timing agree in resolution, and in
// frequency to within what the decoder's exact rates allow: its rates are
// those of the real timings (59.94 Hz for a 60 Hz flag), the presets'
// rates are the nominal ones.
void ExpectPreset(const ModeValues& preset, DWORD width, DWORD height, double refresh) {
  EXPECT_EQ(preset.width, width);
  EXPECT_EQ(preset.height, height);
  EXPECT_EQ(preset.bitsPerPixel, 0u);
  EXPECT_LT(std::fabs(preset.frequency - refresh), 1.0) << "decoder: " << refresh << " Hz";
}

// width * aspect height / aspect width, an exact half rounded up.
DWORD RoundedHeight(DWORD width, DWORD aspectWidth, DWORD aspectHeight) {
  return (2 * width * aspectHeight + aspectWidth) / (2 * aspectWidth);
}

void ExpectPresetsAgree(const DecodedBaseBlock& decoded, const std::vector<ModeValues>& presets) {
  std::vector<DecodedTiming> standard;
  // A first byte of 0x20 (width 504) marks an unused slot here; the decoder
  // decodes it.
  std::copy_if(decoded.standard.begin(), decoded.standard.end(), std::back_inserter(standard),
               [](const DecodedTiming& timing) { return timing.width != 504; });
  ASSERT_EQ(presets.size(), decoded.established.size() + standard.size());

  for (size_t i = 0; i < decoded.established.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "established timing " << i);
    const DecodedTiming& timing = decoded.established[i];
    // The decoder names the interlaced 1024x768 flag by its field rate of
    // 87 Hz; here it stands for its frame rate, 43 Hz.
    const double frameRate = timing.interlaced ? timing.refresh / 2 : timing.refresh;
    ExpectPreset(presets[i], timing.width, timing.height, frameRate);
  }
  for (size_t i = 0; i < standard.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "standard timing " << i);
    const DecodedTiming& timing = standard[i];
    DWORD height;
    if (timing.aspectWidth == 1 && timing.aspectHeight == 1) {
      // Before revision 1.3 the decoder reads aspect code 0 as 1:1; here it
      // is 16:10 in every revision.
      EXPECT_LT(decoded.revision, 3);
      height = RoundedHeight(timing.width, 16, 10);
    } else {
      // The decoder drops the fraction of the height; here it is rounded.
      EXPECT_EQ(timing.height, timing.width * timing.aspectHeight / timing.aspectWidth);
      height = RoundedHeight(timing.width, timing.aspectWidth, timing.aspectHeight);
    }
    // The code 0x61 0x4C says 1024x768 at 72 Hz by its bits, but it is the
    // code the DMT list gives 1024x768 at 70 Hz, which the decoder reports.
    const double refresh = timing.source == "DMT 0x11" ? 72.0 : timing.refresh;
    ExpectPreset(presets[decoded.established.size() + i], timing.width, height, refresh);
  }
}

void ExpectPreferredAgrees(const DecodedBaseBlock& decoded, const TMode* preferred) {
  if (!decoded.firstTimingPreferred) {
    EXPECT_EQ(preferred, nullptr);
  } else if (!decoded.firstDetailedTiming) {
    // A descriptor in the first slot is read as a timing of frequency 0.
    ASSERT_NE(preferred, nullptr);
    EXPECT_EQ(preferred->Frequency, 0u);
  } else if (decoded.firstDetailedTiming->interlaced) {
    EXPECT_EQ(preferred, nullptr);
  } else {
    ASSERT_NE(preferred, nullptr);
    const DecodedTiming& timing = *decoded.firstDetailedTiming;
    EXPECT_EQ(preferred->Width, timing.width);
    EXPECT_EQ(preferred->Height, timing.height);
    EXPECT_EQ(preferred->BitsPerPixel, 0u);
    // Rounded to the nearest hertz; the line rate is cut to whole hertz
    // first, which lowers the rate by far less than the slack given here.
    EXPECT_LE(std::fabs(preferred->Frequency - timing.refresh), 0.51)
        << "decoder: " << timing.refresh << " Hz";
  }
}

TEST(EdidModesCorpusTest, PresetsAndPreferredModeAgreeWithEdidDecode) {
  ASSERT_TRUE(std::filesystem::exists(kDecoder))
      << kDecoder << " is needed (Debian package edid-decode)";
  const std::vector<std::filesystem::path> files = CorpusFiles();
  ASSERT_FALSE(files.empty()) << "no EDID files in " << KESTRAVE_CORPUS_DIR;

  for (const std::filesystem::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    int exitStatus = 0;
    const DecodedBaseBlock decoded = ParseBaseBlock(RunDecoder(file, exitStatus));
    ASSERT_EQ(exitStatus, 0);
    ASSERT_TRUE(decoded.detailedSectionSeen) << "no base block in the decoder's report";

    const std::vector<unsigned char> edid = ReadFile(file);
    ASSERT_GE(edid.size(), 128u);
    TObjectList presetList;
    BuildPresets(edid, presetList);
    const std::vector<ModeValues> presets = ValuesOf(presetList);
    const std::unique_ptr<TMode> preferred = ReadPreferredTiming(edid);

    // Blocks of revision 4 and later, or of another version, are not read
    // here at all, whatever the decoder finds in them.
    if (decoded.version != 1 || decoded.revision > 3) {
      EXPECT_FALSE(IsEdidUsable(edid));
      EXPECT_TRUE(presets.empty());
      EXPECT_EQ(preferred, nullptr);
      continue;
    }
    EXPECT_TRUE(IsEdidUsable(edid));
    ExpectPresetsAgree(decoded, presets);
    ExpectPreferredAgrees(decoded, preferred.get());
  }
}

}  // namespace
