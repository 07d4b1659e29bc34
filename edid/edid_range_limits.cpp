#include <algorithm>

#include "edid/edid_descriptor_sections.h"
#include "edid/edid_report_text.h"
#include "edid/edid_values.h"

namespace {

// Byte 10 of the descriptor says what bytes 11 to 17 hold.
constexpr std::uint8_t kNoSecondaryCurve = 0x00;
constexpr std::uint8_t kSecondaryGtfCurve = 0x02;
constexpr std::uint8_t kPixelClockNotSpecified = 0xFF;

bool AllSpaces(const std::uint8_t* bytes, std::size_t count) {
  return std::all_of(bytes, bytes + count, [](std::uint8_t byte) { return byte == 0x20; });
}

void WriteSecondaryCurve(const std::uint8_t* d, std::ostream& out, const std::string& line) {
  out << "and specify a secondary GTF curve:" << std::endl;
  out << line << "  Reserved byte 11 " << (d[11] != 0 ? "not" : "") << " correctly set to 0"
      << std::endl;
  out << line << "  Start frequency (hfrequency/2): " << unsigned(d[12]) << " kHz" << std::endl;
  out << line << "  C*2:                            " << unsigned(d[13]) << std::endl;
  out << line << "  M (LSB):                        " << EdidLittleEndian(d + 14, 2) << std::endl;
  out << line << "  K:                              " << unsigned(d[16]) << std::endl;
  out << line << "  J*2:                            " << unsigned(d[17]) << std::endl;
}

}  // namespace

void WriteRangeLimits(const std::uint8_t* block, std::size_t offset, std::ostream& out,
                      const std::string& si) {
  const std::uint8_t* d = block + offset;
  const std::string line = si + kFifteenSpaces;
  out << line << "Minimum vertical rate:   " << unsigned(d[5]) << " Hz" << std::endl;
  out << line << "Maximum vertical rate:   " << unsigned(d[6]) << " Hz" << std::endl;
  out << line << "Minimum horizontal rate: " << unsigned(d[7]) << " kHz" << std::endl;
  out << line << "Maximum horizontal rate: " << unsigned(d[8]) << " kHz" << std::endl;
  out << line << "Maximum pixel clock:     ";
  if (d[9] == kPixelClockNotSpecified) {
    out << "not specified";
  } else {
    out << d[9] * 10u << " MHz";
  }
  out << std::endl;

  out << line;
  if (d[10] == kNoSecondaryCurve) {
    out << "Remaining bytes not used for secondary GTF curve";
    if (d[11] != 0x0A || !AllSpaces(d + 12, 6)) out << " [but are padded incorrectly]";
    out << std::endl;
  } else if (AllSpaces(d + 10, 8)) {
    out << "Remaining bytes are padded incorrectly" << std::endl;
  } else {
    out << "Remaining bytes used for GTF support ";
    if (d[10] == kSecondaryGtfCurve) {
      WriteSecondaryCurve(d, out, line);
    } else {
      out << "and specify a value reserved for future timing formula" << std::endl;
    }
  }
}
