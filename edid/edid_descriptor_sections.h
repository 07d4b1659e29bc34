// The sections of the EDID report that decode the four 18-byte blocks of the
// base block: detailed timings and monitor descriptors. Each takes the
// 128-byte base block, the offset of what it decodes inside it and the
// section indentation (si); they expect the stream format that
// EdidStreamFormat sets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

// Classifies the 18-byte block at offset and decodes it.
void WriteDescriptorBlock(const std::uint8_t* block, std::size_t offset, std::ostream& out,
                          const std::string& si);

// The detailed timing at offset, with its line and field rates. Leaves the
// precision at 2 decimals.
void WriteDetailedTiming(const std::uint8_t* block, std::size_t offset, std::ostream& out,
                         const std::string& si);

// The range limits descriptor at offset, with its secondary GTF curve.
void WriteRangeLimits(const std::uint8_t* block, std::size_t offset, std::ostream& out,
                      const std::string& si);

// The 13-byte payload of a name, serial number or text descriptor between
// apostrophes, with its padding check, and the line end.
void WriteDescriptorText(const std::uint8_t* payload, std::ostream& out);

// The 5-byte white point at offset of a colour point descriptor. Leaves the
// precision at 3 decimals.
void WriteWhitePoint(const std::uint8_t* block, std::size_t offset, std::ostream& out,
                     const std::string& si);
