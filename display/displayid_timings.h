// The timings a DisplayID extension of an EDID value flags as preferred:
// where a monitor names the native mode that its base block cannot hold (a
// detailed timing stops at 655.35 MHz) or keeps smaller there for older
// graphics cards. Every mode built here has depth 0.
#pragma once

#include <vector>

#include "base/objects.h"

// Appends, in block order, the mode of every progressive timing flagged
// preferred in the type I (10 kHz clock) and type VII (1 kHz clock) timing
// blocks of the DisplayID sections of the value's extension blocks: those
// that the base block counts and the value holds, whose tag is 0x70 and
// whose block and section checksums hold. A data block that runs past its
// section ends that section's walk. Appends nothing for a value whose base
// block is not usable.
void ReadDisplayIdPreferredTimings(const std::vector<unsigned char>& edid, TObjectList& timings);
