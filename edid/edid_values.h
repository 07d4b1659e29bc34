// Values derived from the fields of an EDID base block, shared by the
// sections of the report.
#pragma once

#include <cstddef>
#include <cstdint>

// Version × 10 + revision: EDID 1.3 gives 13. No block at all gives 0.
unsigned EdidVersionNumber(const std::uint8_t* block);

// Bits lo to hi of value, shifted down so that bit lo becomes bit 0. Bounds
// in the wrong order are swapped; a bound outside 0..31 gives 0.
std::uint32_t EdidBits(std::uint32_t value, int lo, int hi);
// The single bit `bit` of value, as 0 or 1.
std::uint32_t EdidBits(std::uint32_t value, int bit);

// A chromaticity coordinate: the 10-bit value high × 4 + lowBits (the two
// low bits) divided by 1024. Single precision holds it exactly.
float EdidFraction(std::uint8_t high, std::uint32_t lowBits);

// A gamma byte (display gamma at 0x17, or a white point's) as the gamma it
// stands for: (value + 100) / 100.
double EdidGamma(std::uint8_t value);

// The value byte 0x7F must hold so that the 128 bytes sum to 0 modulo 256.
std::uint8_t EdidChecksum(const std::uint8_t* block);

// count bytes (at most 4) as one number, lowest byte first.
std::uint32_t EdidLittleEndian(const std::uint8_t* bytes, std::size_t count);

// Whether bytes 0x00 to 0x07 are 00 FF FF FF FF FF FF 00.
bool HasEdidHeader(const std::uint8_t* block);
