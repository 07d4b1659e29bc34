#include "edid/edid_descriptor_sections.h"
#include "edid/edid_report_text.h"
#include "edid/edid_values.h"
#include "edid/fixed_notation.h"

void WriteWhitePoint(const std::uint8_t* block, std::size_t offset, std::ostream& out,
                     const std::string& si) {
  const std::uint8_t* w = block + offset;
  const std::string line = si + kThirteenSpaces;
  out << line << "White point index: " << unsigned(w[0]) << std::endl;
  out.precision(3);
  out << line << "  White x: " << Fixed(EdidFraction(w[2], EdidBits(w[1], 2, 3))) << std::endl;
  out << line << "  White y: " << Fixed(EdidFraction(w[3], EdidBits(w[1], 0, 1))) << std::endl;
  out << line << "  Gamma:   " << Fixed(EdidGamma(w[4])) << std::endl;
}
