// The field map of the 128-byte EDID base block (VESA E-EDID 1.x layout):
// the byte offset of every field the report decodes. Offsets of fields
// inside an 18-byte detailed timing or descriptor block are counted from
// that block's first byte.
#pragma once

#include <cstddef>

constexpr std::size_t kEdidBaseBlockSize = 128;

namespace EdidField {

constexpr std::size_t Header = 0x00;  // 8 bytes: 00 FF FF FF FF FF FF 00
constexpr std::size_t HeaderSize = 8;
constexpr std::size_t ManufacturerId = 0x08;  // 2 bytes: three 5-bit letters
constexpr std::size_t ProductCode = 0x0A;     // 16-bit, low byte first
constexpr std::size_t SerialNumber = 0x0C;    // 32-bit, lowest byte first
constexpr std::size_t Week = 0x10;
constexpr std::size_t Year = 0x11;  // year - 1990
constexpr std::size_t Version = 0x12;
constexpr std::size_t Revision = 0x13;
constexpr std::size_t VideoInput = 0x14;
constexpr std::size_t HorizontalSize = 0x15;  // centimetres, 0 = not specified
constexpr std::size_t VerticalSize = 0x16;    // centimetres, 0 = not specified
constexpr std::size_t Gamma = 0x17;           // gamma × 100 - 100
constexpr std::size_t FeatureSupport = 0x18;
constexpr std::size_t RedGreenLowBits = 0x19;
constexpr std::size_t BlueWhiteLowBits = 0x1A;
constexpr std::size_t ChromaticityHighBits = 0x1B;  // red x, red y, green x, ... white y
constexpr std::size_t EstablishedTimings = 0x23;    // 3 bytes of flags
constexpr std::size_t ManufacturerTimings = 0x25;   // bits 6..0: the manufacturer's own
constexpr std::size_t StandardTimings = 0x26;       // 8 × 2 bytes
constexpr std::size_t StandardTimingCount = 8;
constexpr std::size_t DescriptorBlocks = 0x36;  // 4 × 18 bytes
constexpr std::size_t DescriptorBlockCount = 4;
constexpr std::size_t DescriptorBlockSize = 18;
constexpr std::size_t ExtensionFlag = 0x7E;
constexpr std::size_t Checksum = 0x7F;

}  // namespace EdidField

// Inside an 18-byte block.
namespace EdidBlockField {

// A block whose bytes PixelClock, PixelClock + 1, HorizontalActive and
// HorizontalHigh are all zero is a descriptor; its tag is in DescriptorTag
// and its 13-byte payload starts at DescriptorPayload.
constexpr std::size_t PixelClock = 0;        // 16-bit, low byte first, 10 kHz units
constexpr std::size_t HorizontalActive = 2;  // low 8 bits
constexpr std::size_t HorizontalBlank = 3;   // low 8 bits
constexpr std::size_t HorizontalHigh = 4;    // bits 7..4 active, 3..0 blanking
constexpr std::size_t VerticalActive = 5;
constexpr std::size_t VerticalBlank = 6;
constexpr std::size_t VerticalHigh = 7;
constexpr std::size_t HorizontalSyncOffset = 8;
constexpr std::size_t HorizontalSyncWidth = 9;
constexpr std::size_t VerticalSync = 10;  // bits 7..4 offset, 3..0 width
constexpr std::size_t SyncHigh = 11;      // 7..6 / 5..4 horizontal, 3..2 / 1..0 vertical
constexpr std::size_t HorizontalImageSize = 12;
constexpr std::size_t VerticalImageSize = 13;
constexpr std::size_t ImageSizeHigh = 14;  // bits 7..4 horizontal, 3..0 vertical
constexpr std::size_t HorizontalBorder = 15;
constexpr std::size_t VerticalBorder = 16;
constexpr std::size_t Flags = 17;

constexpr std::size_t DescriptorTag = 3;
constexpr std::size_t DescriptorPayload = 5;
constexpr std::size_t DescriptorPayloadSize = 13;

}  // namespace EdidBlockField
