#include <iomanip>

#include "edid/edid_fields.h"
#include "edid/edid_report.h"
#include "edid/edid_values.h"

namespace {

// Newer versions than 1.3 may carry fields this decode does not know.
constexpr unsigned kNewestKnownVersion = 13;

}  // namespace

void CheckEdid(const std::uint8_t* block, std::ostream& out, const std::string& indentation) {
  if (!HasEdidHeader(block)) out << indentation << "Error: Invalid EDID header." << std::endl;

  if (EdidVersionNumber(block) > kNewestKnownVersion) {
    const std::string rule(43, '=');
    out << indentation << rule << std::endl;
    out << indentation << "This revision of EDID (" << unsigned(block[EdidField::Version]) << "."
        << unsigned(block[EdidField::Revision]) << ") is not supported by this program."
        << std::endl;
    out << indentation << "Results may be questionable -- USE CAUTION." << std::endl;
    out << indentation << rule << std::endl;
  }

  const std::uint8_t expected = EdidChecksum(block);
  if (expected != block[EdidField::Checksum]) {
    // The stream stays in hexadecimal; the hex dump that follows sets its own base.
    out << indentation << "Error: Invalid checksum (should be " << std::hex << std::setw(4)
        << unsigned(expected) << ")." << std::endl;
  }
}
