// Whether, and where, a list of modes holds a given mode.
#pragma once

#include "base/objects.h"
#include "display/mode.h"

// The first entry of the list that Matches the mode (the mode as first
// operand), or null; entries that are not modes are passed over. So a depth
// or frequency of 0 is found at any depth or frequency of its resolution,
// and a frequency within 1 Hz of a listed one counts as listed. Without a
// list or a mode it writes a fault line and answers null.
const TMode* HasMode(const TObjectList* modes, const TMode* mode);
