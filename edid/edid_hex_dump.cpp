#include <iomanip>

#include "edid/edid_fields.h"
#include "edid/edid_report.h"

namespace {

constexpr std::size_t kBytesPerRow = 16;
constexpr std::size_t kBytesPerGroup = 8;

// An EDID 1.x block is 128 bytes; what follows is an extension block, shown
// only for other versions.
std::size_t ShownByteCount(const std::uint8_t* block, std::size_t length) {
  if (length > kEdidBaseBlockSize && block[EdidField::Version] == 1) return kEdidBaseBlockSize;
  return length;
}

char Printable(std::uint8_t byte) { return byte >= 0x20 && byte <= 0x7E ? char(byte) : '.'; }

}  // namespace

void WriteEdidBytes(const std::uint8_t* block, std::size_t length, std::ostream& out,
                    const std::string& indentation) {
  const std::size_t count = ShownByteCount(block, length);
  out << std::hex << std::noshowbase << indentation;
  for (std::size_t i = 0; i < count; ++i) {
    out << std::setw(2) << unsigned(block[i]) << ' ';
    if ((i + 1) % kBytesPerGroup == 0) out << ' ';
    if ((i + 1) % kBytesPerRow == 0) {
      out << "    ";
      for (std::size_t j = i + 1 - kBytesPerRow; j <= i; ++j) out << Printable(block[j]);
      out << std::endl << indentation;
    }
  }
  out << std::dec << std::showbase << std::endl;
}
