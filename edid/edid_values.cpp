#include "edid/edid_values.h"

#include <algorithm>
#include <utility>

#include "edid/edid_fields.h"

unsigned EdidVersionNumber(const std::uint8_t* block) {
  if (block == nullptr) return 0;
  return unsigned(block[EdidField::Version]) * 10 + block[EdidField::Revision];
}

std::uint32_t EdidBits(std::uint32_t value, int lo, int hi) {
  if (lo > hi) std::swap(lo, hi);
  if (lo < 0 || hi > 31) return 0;
  const int width = hi - lo + 1;
  const std::uint32_t mask = width == 32 ? 0xFFFFFFFFu : (std::uint32_t{1} << width) - 1;
  return (value >> lo) & mask;
}

std::uint32_t EdidBits(std::uint32_t value, int bit) { return EdidBits(value, bit, bit); }

float EdidFraction(std::uint8_t high, std::uint32_t lowBits) {
  const std::uint32_t tenBits = (std::uint32_t{high} << 2) | EdidBits(lowBits, 0, 1);
  // Every 10-bit value over 1024 is a float without rounding.
  return static_cast<float>(tenBits) / 1024.0f;
}

double EdidGamma(std::uint8_t value) { return (value + 100) * 0.01; }

std::uint8_t EdidChecksum(const std::uint8_t* block) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < EdidField::Checksum; ++i) sum += block[i];
  return static_cast<std::uint8_t>(256 - sum % 256);
}

std::uint32_t EdidLittleEndian(const std::uint8_t* bytes, std::size_t count) {
  std::uint32_t value = 0;
  for (std::size_t i = count; i > 0; --i) value = (value << 8) | bytes[i - 1];
  return value;
}

bool HasEdidHeader(const std::uint8_t* block) {
  static const std::uint8_t kHeader[EdidField::HeaderSize] = {0x00, 0xFF, 0xFF, 0xFF,
                                                              0xFF, 0xFF, 0xFF, 0x00};
  return std::equal(kHeader, kHeader + EdidField::HeaderSize, block + EdidField::Header);
}
