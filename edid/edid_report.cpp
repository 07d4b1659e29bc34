#include "edid/edid_report.h"

#include <new>

#include "edid/edid_descriptor_sections.h"
#include "edid/edid_fields.h"
#include "edid/edid_fixed_sections.h"
#include "edid/edid_stream_format.h"

namespace {

void WriteBaseBlockDecode(const std::uint8_t* block, std::ostream& out, const std::string& si) {
  WriteEdidHeader(block, out, si);
  WriteBasicParameters(block, out, si);
  WriteEstablishedTimings(block, out, si);
  WriteStandardTimings(block, out, si);
  for (std::size_t i = 0; i < EdidField::DescriptorBlockCount; ++i) {
    WriteDescriptorBlock(block, EdidField::DescriptorBlocks + i * EdidField::DescriptorBlockSize,
                         out, si);
  }
  WriteChecksum(block, out, si);
}

}  // namespace

void WriteEdidReport(const std::uint8_t* block, std::size_t length, std::ostream& out,
                     const std::string& indentation) {
  if (block == nullptr) length = 0;
  const EdidStreamFormat format(out);

  // Without memory for the longer indentation the report still comes out,
  // at the caller's indentation.
  std::string sectionIndentation;
  const std::string* si = &indentation;
  try {
    sectionIndentation = indentation + "  ";
    si = &sectionIndentation;
  } catch (const std::bad_alloc&) {
  }

  out << indentation << "EDID:" << std::endl;
  if (length < kEdidBaseBlockSize) {
    // The decode reads all 128 bytes of the base block; it never reads
    // past the bytes the block has.
    WriteEdidBytes(block, length, out, *si);
    out << *si << "EDID block too short to decode (" << length << " bytes)." << std::endl;
    return;
  }
  CheckEdid(block, out, *si);
  WriteEdidBytes(block, length, out, *si);
  WriteBaseBlockDecode(block, out, *si);
}
