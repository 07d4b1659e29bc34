// The EDID blocks in what two other tools print about a monitor:
// - edid-decode: its hex dump follows a line "edid-decode (hex):", 16 byte
//   pairs a row, an empty line between the blocks of 128 bytes, and ends at
//   the line of dashes before the decode (with -H it is all there is);
// - xrandr --verbose: each output whose monitor has a block lists it among
//   the output's properties, an "EDID:" line and then rows of 32 hex digits,
//   all indented with tabs.
#pragma once

#include <string>
#include <vector>

#include "tools/kestrave-edid/debug_log_input.h"

// Every block, in its order: edid-decode's under no heading, xrandr's under
// the name of its output ("HDMI-1"). A heading with no hex row after it
// gives no block, so none at all when the content is neither tool's output.
std::vector<LoggedEdid> ReadToolOutputEdids(const std::string& content);
