// The sections of the EDID report that decode the fixed fields of the base
// block. Each takes the 128-byte base block and the section indentation
// (si) and writes complete lines; they expect the stream format that
// EdidStreamFormat sets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

// Header, vendor, product, serial number, date and version (0x00 to 0x13).
void WriteEdidHeader(const std::uint8_t* block, std::ostream& out, const std::string& si);

// Video input, image size, gamma, features and colour characteristics
// (0x14 to 0x22). Leaves the precision at 3 decimals.
void WriteBasicParameters(const std::uint8_t* block, std::ostream& out, const std::string& si);

// The established timing flags (0x23 to 0x25), two to a line.
void WriteEstablishedTimings(const std::uint8_t* block, std::ostream& out, const std::string& si);

// The eight standard timings at 0x26 to 0x35.
void WriteStandardTimings(const std::uint8_t* block, std::ostream& out, const std::string& si);

// One standard timing: the two bytes at offset and offset + 1 of the block.
void WriteStandardTiming(const std::uint8_t* block, std::size_t offset, std::ostream& out,
                         const std::string& si);

// Extension flag and checksum (0x7E and 0x7F).
void WriteChecksum(const std::uint8_t* block, std::ostream& out, const std::string& si);
