#include <iomanip>

#include "edid/edid_fields.h"
#include "edid/edid_fixed_sections.h"
#include "edid/edid_values.h"

void WriteChecksum(const std::uint8_t* block, std::ostream& out, const std::string& si) {
  out << si << "[0x7e]       Extension flag: " << unsigned(block[EdidField::ExtensionFlag])
      << std::endl;
  const std::uint8_t checksum = block[EdidField::Checksum];
  const std::uint8_t expected = EdidChecksum(block);
  out << si << "[0x7f]       Checksum:       " << std::hex << std::setw(4) << unsigned(checksum);
  if (checksum != expected) out << " [should be " << std::setw(4) << unsigned(expected) << "]";
  out << std::dec << std::endl;
}
