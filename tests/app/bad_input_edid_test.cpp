// EDID values a monitor driver should never leave behind, and yet may: of
// any length up to past the largest block, and of every registry type.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/display_machine.h"
#include "tests/support/program_run.h"

namespace {

const std::string kParameters = std::string(kTestModelKey) + "\\5&1\\Device Parameters";
const char kPreferredChosen[] =
    "  Optimal: [preferred mode: 1280x1024,32 bpp @ 60 Hz] 1280x1024,32 bpp @ 60 Hz\r\n";
const char kCurrentKept[] = "  Optimal: 1024x 768,32 bpp @ 60 Hz\r\n";

// A base block with its header and checksum right, so that the report has
// no findings between its heading and the hex dump.
std::vector<unsigned char> Checked(std::vector<unsigned char> block) {
  const unsigned char header[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
  std::copy(std::begin(header), std::end(header), block.begin());
  unsigned sum = 0;
  for (size_t i = 0; i < 127; ++i) sum += block[i];
  block[127] = static_cast<unsigned char>(256 - sum % 256);
  return block;
}

// The test monitor's base block followed by an extension of odd bytes.
std::vector<unsigned char> LongBlock(size_t length, unsigned char version = 1) {
  std::vector<unsigned char> block = TestMonitorEdid();
  block[0x12] = version;
  block = Checked(block);
  for (size_t i = block.size(); i < length; ++i) block.push_back(static_cast<unsigned char>(i * 7));
  block.resize(length);
  return block;
}

// The lines of the report from "EDID:" up to the field decode (or the line
// that says there is none): the hex dump of a block without findings.
size_t HexDumpLineCount(const std::string& log) {
  const std::string heading = "    EDID:\r\n";
  size_t start = log.find(heading);
  if (start == std::string::npos) return 0;
  start += heading.size();
  size_t end = log.find("      [0x00-0x07]", start);
  if (end == std::string::npos) end = log.find("      EDID block too short", start);
  size_t lines = 0;
  for (size_t at = log.find("\r\n", start); at < end; at = log.find("\r\n", at + 2)) ++lines;
  return lines;
}

TEST(BadEdid, EveryLengthUpToPastTheLargestBlockIsReadWithinItsBytes) {
  for (size_t length = 0; length <= 300; ++length) {
    Json machine = TestDisplayMachine();
    machine["registry"][kParameters]["EDID"] = HexData(LongBlock(length));
    ProgramRun run = RunProgram(machine);
    ASSERT_EQ(run.exitCode, 0) << length;
    const bool tooShort = length < 128;
    EXPECT_EQ(run.log.find("EDID block too short to decode (" + std::to_string(length) +
                           " bytes).\r\n") != std::string::npos,
              tooShort)
        << length;
    // Version 1 shows its base block alone: 16 bytes a row, then the rest.
    const size_t shown = tooShort ? length : 128;
    EXPECT_EQ(HexDumpLineCount(run.log), shown / 16 + 1) << length;
    EXPECT_NE(run.PassLog().find(tooShort ? kCurrentKept : kPreferredChosen), std::string::npos)
        << length << "\n" << run.PassLog();
  }
}

TEST(BadEdid, ALongerBlockOfAnotherVersionIsShownUpToTheLargestBlock) {
  Json machine = TestDisplayMachine();
  machine["registry"][kParameters]["EDID"] = HexData(LongBlock(300, 0));
  ProgramRun run = RunProgram(machine);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(HexDumpLineCount(run.log), 256u / 16 + 1);
  EXPECT_NE(run.PassLog().find(kCurrentKept), std::string::npos);
}

struct RegistryType {
  const char* name;
  unsigned number;
  bool readAsBytes;
};

// The string and number types cannot be read as bytes; every other type is.
const RegistryType kRegistryTypes[] = {
    {"REG_NONE", 0, true},
    {"REG_SZ", 1, false},
    {"REG_EXPAND_SZ", 2, false},
    {"REG_BINARY", 3, true},
    {"REG_DWORD", 4, false},
    {"REG_DWORD_BIG_ENDIAN", 5, true},
    {"REG_LINK", 6, true},
    {"REG_MULTI_SZ", 7, true},
    {"REG_RESOURCE_LIST", 8, true},
    {"REG_FULL_RESOURCE_DESCRIPTOR", 9, true},
    {"REG_RESOURCE_REQUIREMENTS_LIST", 10, true},
    {"REG_QWORD", 11, true},
    {"an unknown type", 0x1234, true},
};

TEST(BadEdid, EveryRegistryTypeIsReadAsBytesOrEndsTheRunByItsName) {
  char hex[16];
  for (const char* valueName : {"EDID", "BAD_EDID"}) {
    for (const RegistryType& type : kRegistryTypes) {
      std::snprintf(hex, sizeof hex, "hex(%x):", type.number);
      Json machine = TestDisplayMachine();
      machine["registry"][kParameters] = {
          {valueName, hex + HexData(TestMonitorEdid()).substr(4)}};
      ProgramRun run = RunProgram(machine);
      const std::string where = std::string(valueName) + " of " + type.name;
      if (type.readAsBytes) {
        EXPECT_EQ(run.exitCode, 0) << where;
        EXPECT_NE(run.PassLog().find(kPreferredChosen), std::string::npos) << where;
      } else {
        EXPECT_EQ(run.exitCode, 1) << where;
        const std::string line =
            "\r\nVCL exception: Invalid data type for '" + std::string(valueName) + "'@";
        EXPECT_EQ(run.PassLog().rfind(line, 0), 0u) << where << "\n" << run.PassLog();
        EXPECT_TRUE(run.CallsWith("ChangeDisplaySettingsExA", "").empty()) << where;
        EXPECT_EQ(run.machine["registry"], machine["registry"]) << where;
      }
    }
  }
}

}  // namespace
