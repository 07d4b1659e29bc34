#include <algorithm>
#include <iomanip>

#include "edid/edid_descriptor_sections.h"
#include "edid/edid_fields.h"
#include "edid/edid_fixed_sections.h"
#include "edid/edid_report_text.h"
#include "edid/edid_values.h"

namespace {

using EdidBlockField::DescriptorPayload;
using EdidField::DescriptorBlockSize;

// Tags above this limit are not the manufacturer's; from version 1.2 on
// the manufacturer has 0x00 to 0x0F, before only 0x00 and 0x01.
unsigned ManufacturerTagLimit(const std::uint8_t* block) {
  return EdidVersionNumber(block) > 11 ? 0x0F : 0x01;
}

bool AllBytesAre(const std::uint8_t* bytes, std::size_t count, std::uint8_t value) {
  return std::all_of(bytes, bytes + count, [value](std::uint8_t byte) { return byte == value; });
}

void WriteDescriptorLine(std::ostream& out, const std::string& si, const char* text) {
  out << si << kThirteenSpaces << text << std::endl;
}

void WriteColorPoints(const std::uint8_t* block, std::size_t offset, std::ostream& out,
                      const std::string& si) {
  const std::uint8_t* descriptor = block + offset;
  WriteDescriptorLine(out, si, "Additional color point data");
  if (descriptor[5] != 0) {
    WriteWhitePoint(block, offset + 5, out, si);
  } else {
    WriteDescriptorLine(out, si, "No white point data in first section");
  }
  if (descriptor[10] != 0) {
    WriteWhitePoint(block, offset + 10, out, si);
  } else {
    WriteDescriptorLine(out, si, "No white point data in second section");
  }
  if (!AllBytesAre(descriptor + 16, 2, 0x20)) WriteDescriptorLine(out, si, "Not padded correctly.");
}

void WriteStandardTimingDescriptor(const std::uint8_t* block, std::size_t offset, std::ostream& out,
                                   const std::string& si) {
  WriteDescriptorLine(out, si, "Additional standard timing identifications");
  for (std::size_t timing = 5; timing < 17; timing += 2) {
    WriteStandardTiming(block, offset + timing, out, si);
  }
  if (block[offset + 17] != 0x0A) WriteDescriptorLine(out, si, "Not padded correctly.");
}

// Tag and bytes 3 to 15 in two aligned rows of seven and six values.
void WriteManufacturerData(const std::uint8_t* block, std::size_t offset, std::ostream& out,
                           const std::string& si) {
  const std::uint8_t* descriptor = block + offset;
  const unsigned tag = descriptor[EdidBlockField::DescriptorTag];
  WriteDescriptorLine(out, si,
                      tag > ManufacturerTagLimit(block) ? "Unknown data type tag:"
                                                        : "Descriptor defined by manufacturer:");
  out << si << kThirteenSpaces << "  Data type tag: " << std::hex << std::setw(4) << tag
      << std::endl;
  out << si << kThirteenSpaces << "  Data:         ";
  for (std::size_t i = 3; i <= 15; ++i) {
    if (i == 10) out << std::endl << si << kThirteenSpaces << "                ";
    out << ' ' << std::setw(4) << unsigned(descriptor[i]);
  }
  out << std::dec << std::endl;
}

// The heading of a descriptor that holds a text, or null.
const char* TextHeading(std::uint8_t tag) {
  switch (tag) {
    case 0xFF:
      return "Monitor serial number: ";
    case 0xFE:
      return "ASCII string: ";
    case 0xFC:
      return "Monitor name: ";
    default:
      return nullptr;
  }
}

void WriteDescriptor(const std::uint8_t* block, std::size_t offset, std::ostream& out,
                     const std::string& si) {
  const std::uint8_t tag = block[offset + EdidBlockField::DescriptorTag];
  out << " block is being used as a descriptor" << std::endl;
  if (const char* heading = TextHeading(tag)) {
    out << si << kThirteenSpaces << heading;
    WriteDescriptorText(block + offset + DescriptorPayload, out);
    return;
  }
  switch (tag) {
    case 0xFD:
      WriteDescriptorLine(out, si, "Monitor range limits:");
      WriteRangeLimits(block, offset, out, si);
      break;
    case 0xFB:
      WriteColorPoints(block, offset, out, si);
      break;
    case 0xFA:
      WriteStandardTimingDescriptor(block, offset, out, si);
      break;
    default:
      WriteManufacturerData(block, offset, out, si);
      break;
  }
}

}  // namespace

void WriteDescriptorBlock(const std::uint8_t* block, std::size_t offset, std::ostream& out,
                          const std::string& si) {
  const std::uint8_t* descriptor = block + offset;
  out << si << std::hex << "[" << std::setw(4) << offset << "-" << std::setw(4)
      << offset + DescriptorBlockSize - 1 << "]  Detailed timing" << std::dec;

  for (const std::uint8_t unused : {std::uint8_t{0x00}, std::uint8_t{0x01}}) {
    if (AllBytesAre(descriptor, DescriptorBlockSize, unused)) {
      out << std::endl
          << si << kThirteenSpaces << "Descriptor is incorrectly set to all "
          << (unused == 0 ? "0x00" : "0x01") << " to indicate unused" << std::endl;
      return;
    }
  }
  if (descriptor[0] != 0 || descriptor[1] != 0 || descriptor[2] != 0 || descriptor[4] != 0) {
    out << ":" << std::endl;
    WriteDetailedTiming(block, offset, out, si);
  } else if (descriptor[EdidBlockField::DescriptorTag] == 0x10) {
    out << " block is being used as a dummy descriptor" << std::endl;
  } else {
    WriteDescriptor(block, offset, out, si);
  }
}
