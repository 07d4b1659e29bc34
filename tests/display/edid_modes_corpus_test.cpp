// Cross-checks the modes derived from real EDID blocks against edid-decode,
// an independent decoder, on the base-block facts that both report. Where
// the two differ on purpose, the difference is stated below and checked,
// not skipped.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "display/edid_modes.h"
#include "tests/support/corpus_fields.h"
#include "tests/support/corpus_files.h"
#include "tests/support/mode_values.h"

namespace {

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
  // The first entry of the detailed timing section, when it is a timing
  // rather than a descriptor.
  const auto& timings = decoded.detailedTimings;
  const bool firstIsTiming = !timings.empty() && timings[0].offset == 0x36 && timings[0].decoded;
  // From revision 4 on the first timing is the preferred one; the decoder
  // names the feature bit otherwise there.
  if (!decoded.firstTimingPreferred && decoded.revision < 4) {
    EXPECT_EQ(preferred, nullptr);
  } else if (!firstIsTiming) {
    // A descriptor in the first slot is read as a timing of frequency 0.
    ASSERT_NE(preferred, nullptr);
    EXPECT_EQ(preferred->Frequency, 0u);
  } else if (timings[0].interlaced) {
    EXPECT_EQ(preferred, nullptr);
  } else {
    ASSERT_NE(preferred, nullptr);
    const DecodedDetailedTiming& timing = timings[0];
    EXPECT_EQ(preferred->Width, timing.hActive);
    EXPECT_EQ(preferred->Height, timing.vActive);
    EXPECT_EQ(preferred->BitsPerPixel, 0u);
    // Rounded to the nearest hertz; the line rate is cut to whole hertz
    // first, which lowers the rate by far less than the slack given here.
    EXPECT_LE(std::fabs(preferred->Frequency - timing.refresh), 0.51)
        << "decoder: " << timing.refresh << " Hz";
  }
}

TEST(EdidModesCorpusTest, PresetsAndPreferredModeAgreeWithEdidDecode) {
  const std::vector<std::filesystem::path> files = CorpusFiles();
  ASSERT_FALSE(files.empty()) << "no EDID files in " << KESTRAVE_CORPUS_DIR;

  for (const std::filesystem::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    const DecodedBaseBlock decoded = EdidDecode(file);
    ASSERT_TRUE(decoded.found) << "no base block from edid-decode (Debian package edid-decode)";

    const std::vector<unsigned char> edid = CorpusBlock(file);
    ASSERT_GE(edid.size(), 128u);
    TObjectList presetList;
    BuildPresets(edid, presetList);
    const std::vector<ModeValues> presets = ValuesOf(presetList);
    const std::unique_ptr<TMode> preferred = ReadPreferredTiming(edid);

    // Blocks of revision 5 and later, or of another version, are not read
    // here at all, whatever the decoder finds in them (1.4 now is).
    if (decoded.version != 1 || decoded.revision > 4) {
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
