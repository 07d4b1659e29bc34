#include "edid/edid_descriptor_sections.h"
#include "edid/edid_fields.h"

void WriteDescriptorText(const std::uint8_t* payload, std::ostream& out) {
  constexpr std::size_t kSize = EdidBlockField::DescriptorPayloadSize;
  std::size_t end = 0;
  while (end < kSize && payload[end] != 0x0A) ++end;
  // The text is written as the monitor stores it, up to its line feed.
  out << "'";
  out.write(reinterpret_cast<const char*>(payload), static_cast<std::streamsize>(end));
  out << "'";
  // After the line feed the payload is padded with spaces.
  for (std::size_t i = end + 1; i < kSize; ++i) {
    if (payload[i] != 0x20) {
      out << " [not padded correctly]";
      break;
    }
  }
  out << std::endl;
}
