#include <iomanip>

#include "edid/edid_descriptor_sections.h"
#include "edid/edid_report_text.h"
#include "edid/edid_timing_fields.h"
#include "edid/edid_values.h"
#include "edid/fixed_notation.h"

namespace {

// kHz from MHz, or Hz from kHz, over a total of pixels or lines, plus 0.005;
// single precision at every step. The field rate is derived from the line
// rate with its 0.005 already added. A total of 0 gives exactly 0.
float RateOver(float rate, unsigned total) {
  if (total == 0) return 0.0f;
  const float scaled = rate * 1000.0f;
  const float quotient = scaled / static_cast<float>(total);
  return quotient + 0.005f;
}

const char* const kStereoModes[] = {
    "Normal display (no stereo)",
    "Normal display (no stereo)",
    "Field sequential stereo (right image when sync == 1)",
    "2-way interleaved stereo (right image on even lines)",
    "Field sequential stereo (left image when sync == 1)",
    "2-way interleave stereo (left image on even lines)",
    "4-way interleaved stereo",
    "Side-by-side interleaved stereo",
};

const char* Polarity(std::uint32_t bit) { return bit ? "positive" : "negative"; }

void WriteSyncType(std::uint8_t flags, std::ostream& out) {
  const std::uint32_t bit2 = EdidBits(flags, 2);
  const std::uint32_t bit1 = EdidBits(flags, 1);
  switch (EdidBits(flags, 3, 4)) {
    case 0:
    case 1:
      out << (EdidBits(flags, 3, 4) == 0 ? "Analog" : "Bipolar analog") << " composite syncs with"
          << (bit2 ? "" : "out") << " serration, sync pulses on "
          << (bit1 ? "all three video lines" : "green only");
      break;
    case 2:
      out << "Digital composite syncs with" << (bit2 ? "" : "out") << " serration, "
          << Polarity(bit1) << " composite sync (polarity of Hsync outside of Vsync)";
      break;
    default:
      out << "Digital separate syncs, " << Polarity(bit1) << " Hsync and " << Polarity(bit2)
          << " Vsync";
      break;
  }
}

void WritePair(std::ostream& out, const std::string& si, const char* firstLabel, unsigned first,
               const char* secondLabel, unsigned second) {
  out << si << kFifteenSpaces << firstLabel << std::setw(6) << first << "    " << secondLabel
      << std::setw(6) << second << std::endl;
}

}  // namespace

void WriteDetailedTiming(const std::uint8_t* block, std::size_t offset, std::ostream& out,
                         const std::string& si) {
  const EdidDetailedTiming t = ReadEdidDetailedTiming(block + offset);
  const float pixelClock = static_cast<float>(t.pixelClock) * 0.01f;                    // MHz
  const float lineRate = RateOver(pixelClock, t.horizontalActive + t.horizontalBlank);  // kHz
  const float fieldRate = RateOver(lineRate, t.verticalActive + t.verticalBlank);       // Hz

  out.fill(' ');
  out << si << kFifteenSpaces << t.horizontalActive << "x" << t.verticalActive << " (";
  out.precision(2);
  out << Fixed(lineRate) << " kHz, " << Fixed(fieldRate) << " Hz)" << std::endl;
  out << si << kFifteenSpaces << "Pixel clock:  " << Fixed(pixelClock) << " MHz" << std::endl;
  WritePair(out, si, "H active:     ", t.horizontalActive, "H blank:          ", t.horizontalBlank);
  WritePair(out, si, "V active:     ", t.verticalActive, "V blank:          ", t.verticalBlank);
  WritePair(out, si, "Hsync offset: ", t.horizontalSyncOffset,
            "Hsync width:      ", t.horizontalSyncWidth);
  WritePair(out, si, "Vsync offset: ", t.verticalSyncOffset,
            "Vsync width:      ", t.verticalSyncWidth);
  WritePair(out, si, "H size (mm):  ", t.horizontalSize, "H border (pels):  ", t.horizontalBorder);
  WritePair(out, si, "V size (mm):  ", t.verticalSize, "V border (lines): ", t.verticalBorder);
  out << si << kFifteenSpaces << (t.IsInterlaced() ? "Interlaced" : "Non-interlaced") << std::endl;
  out << si << kFifteenSpaces << kStereoModes[EdidBits(t.flags, 5, 6) * 2 + EdidBits(t.flags, 0)]
      << std::endl;
  out.fill('0');
  out << si << kFifteenSpaces;
  WriteSyncType(t.flags, out);
  out << std::endl;
}
