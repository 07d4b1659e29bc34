// The EDID report: the annotated field-by-field decode of a monitor's EDID
// block that the debug log shows for every monitor. It writes to the stream
// it is given and to nothing else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

// The whole report of a block of `length` bytes (block may be null when
// length is 0); every line starts with indentation, and the lines after the
// "EDID:" heading with two spaces more. Only the first 128 bytes are
// decoded; a shorter block is shown in the hex dump, followed by one line
// saying it is too short to decode.
void WriteEdidReport(const std::uint8_t* block, std::size_t length, std::ostream& out,
                     const std::string& indentation);

// The findings of the validation (header, version, checksum) of a base
// block, one line each. They never stop the decode.
void CheckEdid(const std::uint8_t* block, std::ostream& out, const std::string& indentation);

// The hex and character dump of the block, 16 bytes a row.
void WriteEdidBytes(const std::uint8_t* block, std::size_t length, std::ostream& out,
                    const std::string& indentation);
