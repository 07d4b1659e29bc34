// The preferred timings of DisplayID extensions: a made-up value for each
// rule of reading them. The corpus's monitors are in
// tests/app/native_mode_corpus_test.cpp.
#include "display/displayid_timings.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <numeric>
#include <vector>

#include "tests/support/edid_blocks.h"
#include "tests/support/mode_values.h"
#include "tests/support/test_names.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Each field as its true value; the block stores it minus 1.
struct Timing {
  unsigned clock;  // in the unit of the data block's type
  unsigned char flags;
  unsigned width, horizontalBlank, height, verticalBlank;
};

constexpr unsigned char kPreferred = 0x80;
constexpr unsigned char kInterlaced = 0x10;
constexpr unsigned char kTypeI = 0x03;    // 10 kHz
constexpr unsigned char kTypeVII = 0x22;  // 1 kHz
const Timing k5K{93600, kPreferred, 5120, 160, 2880, 75};  // 60 Hz at 10 kHz, 6 Hz at 1 kHz
const Timing k6K{128601, kPreferred, 6016, 80, 3384, 135};  // 60 Hz at 10 kHz
const ModeValues k5KAt60{5120, 2880, 0, 60};
const ModeValues k6KAt60{6016, 3384, 0, 60};

struct DataBlock {
  unsigned char tag;
  std::vector<Timing> timings;
};

void Put(Bytes& bytes, std::size_t at, unsigned value, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    bytes[at + i] = static_cast<unsigned char>(value >> 8 * i);
  }
}

unsigned char Balance(const Bytes& bytes, std::size_t first, std::size_t last) {
  return static_cast<unsigned char>(
      -std::accumulate(bytes.begin() + first, bytes.begin() + last + 1, 0u));
}

// A DisplayID extension block whose section counts dataBytes of data
// blocks (121, the most there is room for, unless told), both checksums
// right; a data block may be written past the section.
Bytes Extension(const std::vector<DataBlock>& blocks, unsigned dataBytes = 121) {
  Bytes ext(128 + 3 * 20 * 2, 0);
  ext[0] = 0x70;
  ext[1] = 0x12;
  ext[2] = static_cast<unsigned char>(dataBytes);
  std::size_t at = 5;
  for (const DataBlock& block : blocks) {
    ext[at] = block.tag;
    ext[at + 2] = static_cast<unsigned char>(20 * block.timings.size());
    at += 3;
    for (const Timing& t : block.timings) {
      Put(ext, at, t.clock - 1, 3);
      ext[at + 3] = t.flags;
      Put(ext, at + 4, t.width - 1, 2);
      Put(ext, at + 6, t.horizontalBlank - 1, 2);
      Put(ext, at + 12, t.height - 1, 2);
      Put(ext, at + 14, t.verticalBlank - 1, 2);
      at += 20;
    }
  }
  ext.resize(128);
  const std::size_t checksum = 5 + dataBytes;
  if (checksum < 127) ext[checksum] = Balance(ext, 1, checksum - 1);
  ext[127] = Balance(ext, 0, 126);
  return ext;
}

// A usable base block that counts `counted` extension blocks, followed by
// the extensions given.
Bytes Value(const std::vector<Bytes>& extensions, std::size_t counted) {
  Bytes value = UsableBlock();
  value[0x7E] = static_cast<unsigned char>(counted);
  for (const Bytes& ext : extensions) value.insert(value.end(), ext.begin(), ext.end());
  return value;
}
Bytes Value(const std::vector<Bytes>& extensions) { return Value(extensions, extensions.size()); }

// The value with the byte at `at` raised by delta, checksums left alone.
Bytes Changed(Bytes value, std::size_t at, int delta) {
  value[at] = static_cast<unsigned char>(value[at] + delta);
  return value;
}

struct ReadCase {
  const char* name;
  Bytes value;
  std::vector<ModeValues> timings;
};

void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }

const Bytes k5KValue = Value({Extension({{kTypeI, {k5K}}})});
// Past the block's own checksum byte; unless held there, the reading runs
// past the value.
const Bytes kLongSection = Value({Extension({{kTypeI, {k5K}}}, 255)});

const ReadCase kReadCases[] = {
    {"type I, clock in 10 kHz", k5KValue, {k5KAt60}},
    {"type VII, clock in 1 kHz", Value({Extension({{kTypeVII, {k5K}}})}), {{5120, 2880, 0, 6}}},
    {"in block order over data blocks and extensions",
     Value({Extension({{kTypeI, {k6K}}, {kTypeI, {k5K}}}),
            Extension({{kTypeVII, {{936000, kPreferred, 5120, 160, 2880, 75}}}})}),
     {k6KAt60, k5KAt60, k5KAt60}},
    {"not flagged preferred",
     Value({Extension({{kTypeI, {{93600, 0x00, 5120, 160, 2880, 75}}}})}),
     {}},
    {"interlaced",
     Value({Extension({{kTypeI, {{93600, kPreferred | kInterlaced, 5120, 160, 2880, 75}}}})}),
     {}},
    {"a clock past 32 bits",
     Value({Extension({{kTypeI, {{1u << 24, kPreferred, 7680, 80, 4320, 80}}}})}),
     {{7680, 4320, 0, 4914}}},
    {"a rate past 32 bits is held at the largest",
     Value({Extension({{kTypeI, {{1u << 24, kPreferred, 1, 1, 1, 1}}}})}),
     {{1, 1, 0, 4294967295u}}},
    {"the block's checksum fails", Changed(k5KValue, 128 + 127, 1), {}},
    {"the section's checksum fails",
     Changed(Changed(k5KValue, 128 + 126, 1), 128 + 127, -1), {}},
    {"another extension's tag", Changed(Changed(k5KValue, 128, -0x6E), 128 + 127, 0x6E), {}},
    {"a block the base block does not count", Value({Extension({{kTypeI, {k5K}}})}, 0), {}},
    {"a counted block the value does not hold", Value({Extension({{kTypeI, {k5K}}})}, 2),
     {k5KAt60}},
    {"a data block that runs past the section ends the walk",
     Value({Extension({{kTypeI, {k5K}}, {kTypeI, {k6K}}}, 23 + 22)}), {k5KAt60}},
    {"a section longer than its block", kLongSection, {}},
    {"a base block that is not usable", Changed(k5KValue, 0x12, 1), {}},
};

class DisplayIdTimings : public testing::TestWithParam<ReadCase> {};

TEST_P(DisplayIdTimings, AreThePreferredProgressiveOnesOfTheCheckedSections) {
  TObjectList timings;
  ReadDisplayIdPreferredTimings(GetParam().value, timings);
  EXPECT_EQ(ValuesOf(timings), GetParam().timings);
}

INSTANTIATE_TEST_SUITE_P(Rules, DisplayIdTimings, testing::ValuesIn(kReadCases), PrintedName());

}  // namespace
