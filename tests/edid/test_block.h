// Base blocks and report capture for the EDID report tests.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>

#include "edid/edid_stream_format.h"
#include "edid/edid_values.h"

using EdidBlock = std::array<std::uint8_t, 128>;

// A base block with a correct header, version 1.3 and a correct checksum,
// zero elsewhere; bytes are set as (offset, value) pairs before the
// checksum is computed.
inline EdidBlock MakeEdidBlock(
    std::initializer_list<std::pair<std::size_t, std::uint8_t>> bytes = {}) {
  EdidBlock block{};
  for (std::size_t i = 1; i < 7; ++i) block[i] = 0xFF;
  block[0x12] = 1;
  block[0x13] = 3;
  for (const auto& byte : bytes) block[byte.first] = byte.second;
  block[0x7F] = EdidChecksum(block.data());
  return block;
}

// Copies bytes into the block from offset on, then corrects the checksum.
template <typename Bytes>
void PutBytes(EdidBlock& block, std::size_t offset, const Bytes& bytes) {
  std::size_t i = offset;
  for (const std::uint8_t byte : bytes) block[i++] = byte;
  block[0x7F] = EdidChecksum(block.data());
}

// What a section writes, with the stream prepared as the report prepares it.
template <typename Section>
std::string Capture(Section section) {
  std::ostringstream out;
  {
    const EdidStreamFormat format(out);
    section(out);
  }
  return out.str();
}
