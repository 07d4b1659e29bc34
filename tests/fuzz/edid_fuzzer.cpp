// Feeds any bytes to the EDID report and to the modes the display model
// reads from the same block (its DisplayID timings from the whole value), so
// that no block a monitor can hand over makes either read outside it or hit
// undefined behaviour. The same input is also a file for kestrave-edid: its
// hex reader turns text into the block it spells, which goes through the
// report and the modes in turn, and any block written out as hex text must
// read back as itself, and a block's dump as the debug log, edid-decode or
// xrandr writes it must read back as the bytes it shows.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "base/objects.h"
#include "display/displayid_timings.h"
#include "display/edid_modes.h"
#include "edid/edid_report.h"
#include "tools/kestrave-edid/debug_log_input.h"
#include "tools/kestrave-edid/edid_input.h"
#include "tools/kestrave-edid/tool_output_input.h"

namespace {

// The largest block a monitor's registry value is read to, and the most of
// a file that kestrave-edid decodes.
const std::size_t kMaximumEdidSize = 256;
// The most of a registry value a monitor keeps: its base block and the most
// extension blocks the base block can count.
const std::size_t kMaximumValueSize = 128 * 256;

using Block = std::vector<std::uint8_t>;

void Decode(const Block& edid) {
  std::ostringstream report;
  WriteEdidReport(edid.data(), edid.size(), report, "    ");

  TObjectList presets;
  BuildPresets(edid, presets);
  ReadPreferredTiming(edid);
}

// The hex text forms the reader takes, as tools print them: 16 bytes a
// line, pairs apart ("00 ff"), run together ("00ff") or C style ("0x00, ").
struct HexForm {
  const char* pair;
  const char* separator;
};
const HexForm kHexForms[] = {{"%02x", " "}, {"%02X", ""}, {"0x%02x", ", "}};

// Each line after the first 16 bytes starts with linePrefix.
std::string HexText(const Block& bytes, const HexForm& form, const std::string& linePrefix = "") {
  std::string text;
  char pair[8];
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(pair, sizeof pair, form.pair, bytes[i]);
    text += pair;
    text += (i % 16 == 15) ? "\n" + linePrefix : form.separator;
  }
  return text;
}

// The block as edid-decode prints it, and as xrandr --verbose does.
std::vector<std::string> ToolOutputs(const Block& block) {
  return {"edid-decode (hex):\n\n" + HexText(block, kHexForms[0]) + "\n----------------\n",
          "HDMI-1 connected\n\tEDID:\n\t\t" + HexText(block, kHexForms[1], "\t\t") +
              "\n\tnon-desktop: 0\n"};
}

void Require(bool condition, const char* fault) {
  if (condition) return;
  std::fprintf(stderr, "%s\n", fault);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The block as a registry value holds it.
  const Block block(data, data + std::min(size, kMaximumEdidSize));
  Decode(block);
  TObjectList timings;
  ReadDisplayIdPreferredTimings(Block(data, data + std::min(size, kMaximumValueSize)), timings);

  // The same bytes as a file for kestrave-edid; raw content reads as the
  // block above, so only what the hex reader made of text is new here.
  EdidInput input = ReadEdidInput(std::string(data, data + size));
  if (input.error.empty()) {
    if (input.bytes.size() > kMaximumEdidSize) input.bytes.resize(kMaximumEdidSize);
    if (input.bytes != block) Decode(input.bytes);
  } else {
    Require(input.bytes.empty(), "the hex reader gave bytes with an error");
  }

  std::ostringstream dump;
  dump << "  Monitor  [M]\r\n\r\n";
  WriteEdidReport(block.data(), block.size(), dump, "    ");
  const std::vector<LoggedEdid> logged = ReadDebugLogEdids(dump.str());
  // The dump shows the whole block, or a 1.x block's first 128 bytes.
  const std::size_t shown = logged.size() == 1 ? logged[0].bytes.size() : 0;
  Require(logged.size() == 1 && (shown == block.size() || (shown == 128 && block.size() > 128)) &&
              std::equal(logged[0].bytes.begin(), logged[0].bytes.end(), block.begin()),
          "a dumped block does not read back as the bytes the dump shows");

  ReadToolOutputEdids(std::string(data, data + size));
  for (const std::string& output : ToolOutputs(block)) {
    const std::vector<LoggedEdid> found = ReadToolOutputEdids(output);
    Require(block.empty() ? found.empty() : found.size() == 1 && found[0].bytes == block,
            "a block as another tool prints it does not read back as itself");
  }

  for (const HexForm& form : kHexForms)
    Require(ReadEdidInput(HexText(block, form)).bytes == block,
            "a block written as hex text does not read back as itself");
  return 0;
}
