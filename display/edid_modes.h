// The modes a monitor supports, as its EDID base block lists them: the
// preset modes of the established and standard timings, and the preferred
// mode of the first detailed timing. Every mode built here has depth 0.
#pragma once

#include <memory>
#include <vector>

#include "base/objects.h"
#include "display/mode.h"

// Whether the block can be read here at all: at least 128 bytes, EDID
// version 1, revision 0 to 4. Neither the header nor the checksum is tested.
bool IsEdidUsable(const std::vector<unsigned char>& edid);

// Appends the modes of the established timing flags, then those of the
// standard timings in slot order; nothing is sorted or merged. Appends
// nothing for a block that is not usable.
void BuildPresets(const std::vector<unsigned char>& edid, TObjectList& presets);

// The mode of the first detailed timing when it is the preferred one (always
// from revision 4 on, before that when the block marks it so) and it is not
// interlaced; null otherwise, and for a block that is not usable.
std::unique_ptr<TMode> ReadPreferredTiming(const std::vector<unsigned char>& edid);
