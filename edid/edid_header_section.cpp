#include <iomanip>

#include "edid/edid_fields.h"
#include "edid/edid_fixed_sections.h"
#include "edid/edid_values.h"

namespace {

// Letters are 5-bit values with 1 standing for A. No check is made, so 0
// gives @ and 27 to 31 the characters after Z.
char ManufacturerLetter(std::uint32_t value) { return static_cast<char>(value + 64); }

}  // namespace

void WriteEdidHeader(const std::uint8_t* block, std::ostream& out, const std::string& si) {
  out << si << "[0x00-0x07] " << std::hex;
  for (std::size_t i = 0; i < EdidField::HeaderSize; ++i) {
    out << ' ' << std::setw(4) << unsigned(block[EdidField::Header + i]);
  }
  out << std::dec << (HasEdidHeader(block) ? " [Correct]" : " [Incorrect]") << std::endl;

  const std::uint8_t first = block[EdidField::ManufacturerId];
  const std::uint8_t second = block[EdidField::ManufacturerId + 1];
  out << si << "[0x08-0x09]  Manufacturer:        " << ManufacturerLetter(EdidBits(first, 2, 6))
      << ManufacturerLetter(EdidBits(first, 0, 1) << 3 | EdidBits(second, 5, 7))
      << ManufacturerLetter(EdidBits(second, 0, 4)) << std::endl;

  const std::uint32_t product = EdidLittleEndian(block + EdidField::ProductCode, 2);
  out << si << "[0x0a-0x0b]  Product code:        " << std::hex << std::setw(6) << product
      << std::dec << " (" << product << ")" << std::endl;

  const std::uint32_t serial = EdidLittleEndian(block + EdidField::SerialNumber, 4);
  out << si << "[0x0c-0x0f]  Serial #:            " << std::hex << std::setw(10) << serial
      << std::dec << " (" << serial << ")" << std::endl;

  out << si << "[0x10]       Week of manufacture: " << unsigned(block[EdidField::Week])
      << std::endl;
  out << si << "[0x11]       Year of manufacture: " << unsigned(block[EdidField::Year]) + 1990
      << std::endl;
  out << si << "[0x12-0x13]  EDID version:        " << unsigned(block[EdidField::Version]) << "."
      << unsigned(block[EdidField::Revision]) << std::endl;
}
