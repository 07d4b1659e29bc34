// Every block of the corpus goes through the report, and the fields the
// report decodes from the base block agree with Debian's edid-decode, run
// on the same file, except where the two differ on purpose; each such
// difference is a named exception below, tested on the block's own bytes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>

#include "edid/edid_report.h"
#include "tests/support/corpus_fields.h"
#include "tests/support/corpus_files.h"

namespace {

std::string Report(const std::vector<std::uint8_t>& bytes) {
  std::ostringstream out;
  WriteEdidReport(bytes.data(), bytes.size(), out, "    ");
  return out.str();
}

// The places where the report and edid-decode differ on purpose.
enum class Exception {
  kManufacturerTimings,
  kStandardTimingLeadByte,
  kStandardTimingHeight,
  kSquareAspectBefore13,
  kNearestDmtRefresh,
  kSecondFormula,
  kSpacePaddedStandardTiming,
  kZeroClockTiming,
  kRawTiming,
  kOnesBlock,
  kInterlacedFrameHeight,
  kTextEnd,
  kSpwgText,
  kPixelClockNotSpecified,
  kEmptySecondaryCurve,
  kGammaInExtension,
};

const std::map<Exception, const char*> kExceptionReasons = {
    {Exception::kManufacturerTimings,
     "the report lists each manufacturer's established timing bit (0x25 bits 6..0) as \"Vendor "
     "proprietary\"; edid-decode lists none of them"},
    {Exception::kStandardTimingLeadByte,
     "edid-decode passes over every standard timing whose first byte is 0x00 or 0x01; the report "
     "passes over only 01 01, 00 00 and 20 20"},
    {Exception::kStandardTimingHeight,
     "the report rounds a standard timing's height to the nearest line; edid-decode drops the "
     "fraction"},
    {Exception::kSquareAspectBefore13,
     "before EDID 1.3 the report decodes a standard timing's aspect code 0 as 1:1; edid-decode "
     "takes 16:10 where that names a DMT timing"},
    {Exception::kNearestDmtRefresh,
     "edid-decode shows a standard timing as the DMT timing nearest its refresh rate (0x61 0x4C, "
     "1024x768 at 72 Hz, as DMT 0x11 at 70 Hz); the report shows the rate the bytes give"},
    {Exception::kSecondFormula,
     "edid-decode shows a standard timing of an EDID 1.4 block twice, by CVT and by GTF; the "
     "second is left out"},
    {Exception::kSpacePaddedStandardTiming,
     "the report takes a standard timing of 20 20 for padding; edid-decode decodes it as "
     "504x315 at 92 Hz"},
    {Exception::kZeroClockTiming,
     "a block with pixel clock 0 but byte 2 or 4 set is a detailed timing to the report and a "
     "descriptor to edid-decode (so is an EDID 1.4 range limits descriptor with rate offsets in "
     "byte 4)"},
    {Exception::kRawTiming,
     "edid-decode shows a detailed timing without active or blanking pixels only as its raw "
     "bytes"},
    {Exception::kOnesBlock,
     "the report takes a block of eighteen 0x01 bytes for an unused one; edid-decode shows it as "
     "the raw bytes of a timing"},
    {Exception::kInterlacedFrameHeight,
     "edid-decode gives an interlaced timing's frame height, twice the active lines of a field"},
    {Exception::kTextEnd,
     "edid-decode ends a text at its first byte outside printable ASCII; the report writes the "
     "stored bytes up to the line feed"},
    {Exception::kSpwgText,
     "edid-decode reads the text blocks of a laptop panel at 0x5A and 0x6C as SPWG fields"},
    {Exception::kPixelClockNotSpecified,
     "a maximum pixel clock byte of 0xFF is \"not specified\" to the report and 2550 MHz to "
     "edid-decode"},
    {Exception::kEmptySecondaryCurve,
     "edid-decode shows no secondary GTF curve whose bytes 12 to 17 are all zero; the report "
     "shows it"},
    {Exception::kGammaInExtension,
     "edid-decode takes a gamma byte of 0xFF to mean a gamma given in an extension block; the "
     "report writes 3.55"},
};

class CorpusComparison {
 public:
  CorpusComparison(const std::vector<std::uint8_t>& block, const DecodedBaseBlock& report,
                   const DecodedBaseBlock& decode, std::map<Exception, int>& used)
      : block_(block), report_(report), decode_(decode), used_(used) {}

  void Compare() {
    EXPECT_EQ(report_.manufacturer, decode_.manufacturer);
    EXPECT_EQ(report_.productCode, decode_.productCode);
    EXPECT_EQ(report_.serialNumber, decode_.serialNumber);
    EXPECT_EQ(report_.week, decode_.week);
    EXPECT_EQ(report_.year, decode_.year);
    EXPECT_EQ(report_.version, decode_.version);
    EXPECT_EQ(report_.revision, decode_.revision);
    EXPECT_EQ(report_.digital, decode_.digital);
    EXPECT_EQ(report_.hSizeCm, decode_.hSizeCm);
    EXPECT_EQ(report_.vSizeCm, decode_.vSizeCm);
    if (block_[0x17] == 0xFF && decode_.gamma.empty()) {
      Use(Exception::kGammaInExtension);
    } else {
      EXPECT_EQ(report_.gamma, decode_.gamma);
    }
    CompareEstablished();
    if (decode_.secondFormulaTimings > 0) Use(Exception::kSecondFormula);
    CompareStandard(report_.standard, decode_.standard, false);
    CompareStandard(report_.additionalStandard, decode_.additionalStandard, true);
    CompareDetailedTimings();
    CompareTexts(report_.names, decode_.names, "name");
    CompareTexts(report_.serials, decode_.serials, "serial number");
    CompareTexts(report_.strings, decode_.strings, "string");
    CompareRangeLimits();
  }

 private:
  void Use(Exception exception) { ++used_[exception]; }

  void CompareEstablished() {
    if (report_.manufacturerTimings > 0) Use(Exception::kManufacturerTimings);
    ASSERT_EQ(report_.established.size(), decode_.established.size());
    std::vector<bool> matched(decode_.established.size());
    for (const DecodedTiming& ours : report_.established) {
      bool found = false;
      for (std::size_t i = 0; i < decode_.established.size() && !found; ++i) {
        const DecodedTiming& theirs = decode_.established[i];
        found = !matched[i] && theirs.width == ours.width && theirs.height == ours.height &&
                theirs.interlaced == ours.interlaced &&
                std::fabs(theirs.refresh - ours.refresh) < 1;
        matched[i] = matched[i] || found;
      }
      EXPECT_TRUE(found) << ours.width << "x" << ours.height << " @ " << ours.refresh;
    }
  }

  // The exact height edid-decode computes, when the ratio divides the width.
  static bool HeightIsExact(const DecodedTiming& t) {
    for (const auto& ratio : {std::pair<unsigned, unsigned>{16, 10}, {4, 3}, {5, 4}, {16, 9}}) {
      if (t.width * ratio.second % ratio.first == 0 &&
          t.width * ratio.second / ratio.first == t.height) {
        return true;
      }
    }
    return t.width == t.height;
  }

  bool IsDescriptor(std::size_t offset, std::uint8_t tag) const {
    return block_[offset] == 0 && block_[offset + 1] == 0 && block_[offset + 2] == 0 &&
           block_[offset + 4] == 0 && block_[offset + 3] == tag;
  }

  // The offsets of the eight standard timings of the block, or of the six
  // of each 0xFA descriptor.
  std::vector<std::size_t> StandardTimingOffsets(bool additional) const {
    std::vector<std::size_t> offsets;
    if (!additional) {
      for (std::size_t i = 0; i < 8; ++i) offsets.push_back(0x26 + 2 * i);
      return offsets;
    }
    for (std::size_t block = 0x36; block < 0x7E; block += 18) {
      if (!IsDescriptor(block, 0xFA)) continue;
      for (std::size_t i = 0; i < 6; ++i) offsets.push_back(block + 5 + 2 * i);
    }
    return offsets;
  }

  // What edid-decode should list for the standard timings, from the report's.
  std::vector<DecodedTiming> ExpectedStandard(const std::vector<DecodedTiming>& report,
                                              bool additional) {
    std::vector<DecodedTiming> expected;
    for (const std::size_t offset : StandardTimingOffsets(additional)) {
      const std::uint8_t first = block_[offset];
      const std::uint8_t second = block_[offset + 1];
      if (first == second && (first == 0x00 || first == 0x01)) continue;  // unused to both
      if (first == 0x20 && second == 0x20) {
        Use(Exception::kSpacePaddedStandardTiming);
        expected.push_back({504, 315, 92, false, offset});
        continue;
      }
      if (first <= 0x01) {
        Use(Exception::kStandardTimingLeadByte);
        continue;
      }
      const auto ours =
          std::find_if(report.begin(), report.end(),
                       [offset](const DecodedTiming& t) { return t.offset == offset; });
      EXPECT_NE(ours, report.end()) << "no standard timing at " << offset;
      if (ours != report.end()) expected.push_back(*ours);
    }
    return expected;
  }

  void CompareStandard(const std::vector<DecodedTiming>& report,
                       const std::vector<DecodedTiming>& decode, bool additional) {
    const std::vector<DecodedTiming> ours = ExpectedStandard(report, additional);
    ASSERT_EQ(ours.size(), decode.size());
    for (std::size_t i = 0; i < ours.size(); ++i) {
      const DecodedTiming& o = ours[i];
      const DecodedTiming& t = decode[i];
      SCOPED_TRACE("standard timing at " + std::to_string(o.offset));
      EXPECT_EQ(o.width, t.width);
      const bool squareAspect = EdidVersion() < 13 && (block_[o.offset + 1] >> 6) == 0;
      if (o.height == t.height + 1 && !HeightIsExact(t)) {
        Use(Exception::kStandardTimingHeight);
      } else if (squareAspect && o.height == o.width && t.height == t.width * 10 / 16) {
        Use(Exception::kSquareAspectBefore13);
      } else {
        EXPECT_EQ(o.height, t.height);
      }
      const double difference = std::fabs(o.refresh - t.refresh);
      if (StartsWith(t.source, "DMT") && difference >= 1) {
        Use(Exception::kNearestDmtRefresh);
        EXPECT_LT(difference, 3.0);
      } else {
        EXPECT_LT(difference, 1.0);
      }
    }
  }

  unsigned EdidVersion() const { return block_[0x12] * 10u + block_[0x13]; }

  // The blocks that are timings to the report and descriptors to edid-decode.
  bool IsZeroClockTiming(std::size_t offset) const {
    return block_[offset] == 0 && block_[offset + 1] == 0 &&
           std::any_of(report_.detailedTimings.begin(), report_.detailedTimings.end(),
                       [offset](const DecodedDetailedTiming& t) { return t.offset == offset; });
  }

  // The items but those that excluded marks, each counted for the exception.
  template <typename Item, typename Predicate>
  std::vector<Item> Without(const std::vector<Item>& items, Exception exception,
                            Predicate excluded) {
    std::vector<Item> kept;
    for (const Item& item : items) {
      if (excluded(item)) {
        Use(exception);
      } else {
        kept.push_back(item);
      }
    }
    return kept;
  }

  // edid-decode's descriptors but those of blocks the report takes for timings.
  template <typename Descriptor>
  std::vector<Descriptor> DecodeDescriptors(const std::vector<Descriptor>& all) {
    return Without(all, Exception::kZeroClockTiming,
                   [this](const Descriptor& d) { return IsZeroClockTiming(d.offset); });
  }

  void CompareDetailedTimings() {
    const std::vector<DecodedDetailedTiming> ours =
        Without(report_.detailedTimings, Exception::kZeroClockTiming,
                [this](const DecodedDetailedTiming& t) { return IsZeroClockTiming(t.offset); });
    const std::vector<DecodedDetailedTiming> theirs = Without(
        decode_.detailedTimings, Exception::kOnesBlock, [this](const DecodedDetailedTiming& t) {
          const auto first = block_.begin() + static_cast<std::ptrdiff_t>(t.offset);
          return std::all_of(first, first + 18, [](std::uint8_t byte) { return byte == 0x01; });
        });
    ASSERT_EQ(ours.size(), theirs.size());
    for (std::size_t i = 0; i < ours.size(); ++i) {
      const DecodedDetailedTiming& o = ours[i];
      const DecodedDetailedTiming& t = theirs[i];
      SCOPED_TRACE("detailed timing at " + std::to_string(o.offset));
      EXPECT_EQ(o.offset, t.offset);
      if (!t.decoded) {
        EXPECT_TRUE(o.hActive == 0 || o.vActive == 0 || o.hBlank == 0 || o.vBlank == 0);
        Use(Exception::kRawTiming);
        continue;
      }
      EXPECT_LT(std::fabs(o.pixelClock - t.pixelClock), 0.006);
      EXPECT_EQ(o.interlaced, t.interlaced);
      EXPECT_EQ(o.hActive, t.hActive);
      if (o.interlaced) {
        Use(Exception::kInterlacedFrameHeight);
        EXPECT_EQ(2 * o.vActive, t.vActive);
      } else {
        EXPECT_EQ(o.vActive, t.vActive);
      }
      EXPECT_EQ(o.hBlank, t.hBlank);
      EXPECT_EQ(o.vBlank, t.vBlank);
      EXPECT_EQ(o.hSyncOffset, t.hSyncOffset);
      EXPECT_EQ(o.hSyncWidth, t.hSyncWidth);
      EXPECT_EQ(o.vSyncOffset, t.vSyncOffset);
      EXPECT_EQ(o.vSyncWidth, t.vSyncWidth);
      EXPECT_EQ(o.hSize, t.hSize);
      EXPECT_EQ(o.vSize, t.vSize);
      EXPECT_EQ(o.hBorder, t.hBorder);
      EXPECT_EQ(o.vBorder, t.vBorder);
    }
  }

  void CompareTexts(const std::vector<DecodedText>& report, const std::vector<DecodedText>& all,
                    const char* kind) {
    std::vector<DecodedText> ours;
    for (const DecodedText& text : report) {
      const auto& spwg = decode_.spwgBlocks;
      if (std::find(spwg.begin(), spwg.end(), text.offset) != spwg.end()) {
        Use(Exception::kSpwgText);
        continue;
      }
      const auto end = std::find_if(text.text.begin(), text.text.end(),
                                    [](char c) { return c < 0x20 || c > 0x7E; });
      if (end != text.text.end()) Use(Exception::kTextEnd);
      ours.push_back({text.offset, std::string(text.text.begin(), end)});
    }
    const std::vector<DecodedText> theirs = DecodeDescriptors(all);
    ASSERT_EQ(ours.size(), theirs.size()) << kind;
    for (std::size_t i = 0; i < ours.size(); ++i) {
      EXPECT_EQ(ours[i].offset, theirs[i].offset) << kind;
      EXPECT_EQ(ours[i].text, theirs[i].text) << kind;
    }
  }

  void CompareRangeLimits() {
    const std::vector<DecodedRangeLimits> theirs = DecodeDescriptors(decode_.rangeLimits);
    ASSERT_EQ(report_.rangeLimits.size(), theirs.size());
    for (std::size_t i = 0; i < theirs.size(); ++i) {
      const DecodedRangeLimits& o = report_.rangeLimits[i];
      const DecodedRangeLimits& t = theirs[i];
      SCOPED_TRACE("range limits at " + std::to_string(o.offset));
      EXPECT_EQ(o.offset, t.offset);
      EXPECT_EQ(o.minVertical, t.minVertical);
      EXPECT_EQ(o.maxVertical, t.maxVertical);
      EXPECT_EQ(o.minHorizontal, t.minHorizontal);
      EXPECT_EQ(o.maxHorizontal, t.maxHorizontal);
      if (block_[o.offset + 9] == 0xFF) {
        Use(Exception::kPixelClockNotSpecified);
        EXPECT_EQ(o.maxPixelClock, 0u);
        EXPECT_EQ(t.maxPixelClock, 2550u);
      } else {
        EXPECT_EQ(o.maxPixelClock, t.maxPixelClock);
      }
      const bool emptyCurve =
          std::all_of(block_.begin() + static_cast<std::ptrdiff_t>(o.offset + 12),
                      block_.begin() + static_cast<std::ptrdiff_t>(o.offset + 18),
                      [](std::uint8_t byte) { return byte == 0; });
      if (o.secondaryCurve && !t.secondaryCurve && emptyCurve) {
        Use(Exception::kEmptySecondaryCurve);
      } else {
        EXPECT_EQ(o.secondaryCurve, t.secondaryCurve);
      }
      if (o.secondaryCurve && t.secondaryCurve) {
        EXPECT_EQ(o.startFrequency, t.startFrequency);
        EXPECT_EQ(o.c, t.c);
        EXPECT_EQ(o.m, t.m);
        EXPECT_EQ(o.k, t.k);
        EXPECT_EQ(o.j, t.j);
      }
    }
  }

  const std::vector<std::uint8_t>& block_;
  const DecodedBaseBlock& report_;
  const DecodedBaseBlock& decode_;
  std::map<Exception, int>& used_;
};

TEST(EdidCorpus, EveryBlockIsReportedWithinItsBytes) {
  const std::vector<std::filesystem::path> files = CorpusFiles();
  ASSERT_FALSE(files.empty()) << KESTRAVE_CORPUS_DIR;
  for (const auto& file : files) {
    const std::vector<std::uint8_t> bytes = CorpusBlock(file);
    const std::string report = Report(bytes);
    EXPECT_NE(report.find("[0x7f]       Checksum:"), std::string::npos) << file;
  }
  // Every shorter prefix of one block, each in a buffer of exactly its size.
  const std::vector<std::uint8_t> bytes = CorpusBlock(files.front());
  for (std::size_t length = 0; length <= bytes.size(); ++length) {
    Report(std::vector<std::uint8_t>(bytes.begin(),
                                     bytes.begin() + static_cast<std::ptrdiff_t>(length)));
  }
}

TEST(EdidCorpus, BaseBlockAgreesWithEdidDecode) {
  std::map<Exception, int> used;
  for (const auto& file : CorpusFiles()) {
    SCOPED_TRACE(file.filename().string());
    const std::vector<std::uint8_t> bytes = CorpusBlock(file);
    const DecodedBaseBlock decode = EdidDecode(file);
    ASSERT_TRUE(decode.found) << "no base block from edid-decode (Debian package edid-decode)";
    const DecodedBaseBlock report = ParseEdidReport(Report(bytes));
    CorpusComparison(bytes, report, decode, used).Compare();
  }
  for (const auto& exception : used) {
    std::cout << "  " << exception.second << " x " << kExceptionReasons.at(exception.first) << "\n";
  }
}

}  // namespace
