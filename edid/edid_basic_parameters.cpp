#include "edid/edid_fields.h"
#include "edid/edid_fixed_sections.h"
#include "edid/edid_report_text.h"
#include "edid/edid_values.h"
#include "edid/fixed_notation.h"

namespace {

// From version 1.3 on the digital input byte tells the interface.
constexpr unsigned kFirstVersionWithInterface = 13;

const char* const kSignalLevels[] = {
    "reference white is 0.700 V above blank, sync level is 0.300 V below blank (1.000 Vp-p)",
    "reference white is 0.714 V above blank, sync level is 0.286 V below blank (1.000 Vp-p)",
    "reference white is 1.000 V above blank, sync level is 0.400 V below blank (1.400 Vp-p)",
    "reference white is 0.700 V above blank, sync level is 0.000 V below blank (0.700 Vp-p)",
};

const char* const kDisplayTypes[] = {
    "Monochrome/gray scale display",
    "RGB color display",
    "Non-RGB multicolor display",
    "Undefined display",
};

void WriteDigitalInput(const std::uint8_t* block, std::ostream& out, const std::string& si) {
  const std::uint8_t input = block[EdidField::VideoInput];
  out << si << kFifteenSpaces << "Digital input";
  if (EdidVersionNumber(block) >= kFirstVersionWithInterface) {
    out << ", interface is " << (EdidBits(input, 0) ? "" : "not ")
        << "signal compatible with VESA DFP 1.x" << std::endl;
    out << si << kFifteenSpaces
        << "(TMDS CRGB, 1 pixel/clock, up to 8 bits, color MSB aligned, DE active high)";
  }
  out << std::endl;
}

void WriteAnalogInput(const std::uint8_t* block, std::ostream& out, const std::string& si) {
  const std::uint8_t input = block[EdidField::VideoInput];
  out << si << kFifteenSpaces << "Analog input, "
      << (EdidBits(input, 4) ? "pedestal" : "no pedestal") << " (blank to black setup)";
  if (EdidBits(input, 3)) out << ", separate syncs supported";
  if (EdidBits(input, 2)) out << ", composite sync (on hsync) supported";
  const bool syncOnGreen = EdidBits(input, 1) != 0;
  const bool serrated = EdidBits(input, 0) != 0;
  if (syncOnGreen || serrated) {
    out << ", " << std::endl << si << kFifteenSpaces;
    if (syncOnGreen) out << "sync-on-green supported";
    if (syncOnGreen && serrated) out << ", ";
    if (serrated) out << "serrated vsync required when composite or sync-on-green is used";
  }
  out << std::endl;
  out << si << kFifteenSpaces << kSignalLevels[EdidBits(input, 5, 6)] << std::endl;
}

void WriteImageSize(const std::uint8_t* block, std::ostream& out, const std::string& si) {
  const unsigned horizontal = block[EdidField::HorizontalSize];
  const unsigned vertical = block[EdidField::VerticalSize];
  if (horizontal == 0 || vertical == 0) {
    out << si << "[0x15-0x16]  Maximum image size not specified" << std::endl;
    return;
  }
  out << si << "[0x15]       Maximum horizontal image size: " << horizontal << " cm" << std::endl;
  out << si << "[0x16]       Maximum vertical image size:   " << vertical << " cm" << std::endl;
}

void WriteFeatureSupport(const std::uint8_t* block, std::ostream& out, const std::string& si) {
  const std::uint8_t features = block[EdidField::FeatureSupport];
  out << si << "[0x18]       Feature support:" << std::endl;
  out << si << "               DPMS support:                ";
  if (EdidBits(features, 7)) out << "Stand-by  ";
  if (EdidBits(features, 6)) out << "Suspend  ";
  if (EdidBits(features, 5)) out << "Active off  ";
  if (EdidBits(features, 5, 7) == 0) out << "None";
  out << std::endl;
  out << si
      << "               Display type:                " << kDisplayTypes[EdidBits(features, 3, 4)]
      << std::endl;
  if (EdidBits(features, 2)) {
    out << si << "               Primary color space is the sRGB color space" << std::endl;
  }
  if (EdidBits(features, 1)) {
    out << si << "               Preferred timing mode specified in first detailed timing block"
        << std::endl;
  }
  if (EdidBits(features, 0)) out << si << "               GTF timings are supported" << std::endl;
}

// The eight coordinates in the order of their high bytes at 0x1B: red x,
// red y, green x, green y, blue x, blue y, white x, white y. Their low bits
// are packed two by two into 0x19 and 0x1A, from bit 7 down.
float Chromaticity(const std::uint8_t* block, std::size_t index) {
  const std::uint8_t lowBits =
      block[index < 4 ? EdidField::RedGreenLowBits : EdidField::BlueWhiteLowBits];
  const int shift = 6 - 2 * static_cast<int>(index % 4);
  return EdidFraction(block[EdidField::ChromaticityHighBits + index],
                      EdidBits(lowBits, shift, shift + 1));
}

void WriteColorCharacteristics(const std::uint8_t* block, std::ostream& out,
                               const std::string& si) {
  out << si << "[0x19-0x22]  Color characteristics:" << std::endl;
  out.precision(3);
  static const char* const kLabels[2][4] = {
      {"               Red x = ", "  Green x = ", "  Blue x = ", "  White x = "},
      {"               Red y = ", "  Green y = ", "  Blue y = ", "  White y = "},
  };
  for (std::size_t axis = 0; axis < 2; ++axis) {
    out << si;
    for (std::size_t color = 0; color < 4; ++color) {
      out << kLabels[axis][color] << Fixed(Chromaticity(block, color * 2 + axis));
    }
    out << std::endl;
  }
}

}  // namespace

void WriteBasicParameters(const std::uint8_t* block, std::ostream& out, const std::string& si) {
  out << si << "[0x14]       Video input definition:" << std::endl;
  if (EdidBits(block[EdidField::VideoInput], 7)) {
    WriteDigitalInput(block, out, si);
  } else {
    WriteAnalogInput(block, out, si);
  }
  WriteImageSize(block, out, si);
  out.precision(2);
  out << si
      << "[0x17]       Display gamma:                 " << Fixed(EdidGamma(block[EdidField::Gamma]))
      << std::endl;
  WriteFeatureSupport(block, out, si);
  WriteColorCharacteristics(block, out, si);
}
