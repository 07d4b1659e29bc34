// Whether a run changed a machine only where the program owns data: its
// Run value, its software key, the users' flag trees, the adapters' modes
// and the wallpaper.
#pragma once

#include <string>
#include <vector>

#include "sim/machine_file/machine_reader.h"

// Every change between the machines outside what the program owns, one
// line each; empty when there is none.
std::vector<std::string> ChangesNotOwned(const Json& before, const Json& after);

// What a removal left of the program's data that the machine held before:
// its Run value, its software install key, the program key of any user
// hive. Full paths as the trace names them: the program key at or below
// missingKey counts as missing before (Windows was made to report that key
// missing); the one at or below uncheckedKey as left, there or not (the
// removal could not look at that key).
struct OwnedLeft {
  bool runValue = false;
  bool softwareKey = false;
  bool flags = false;         // some hive's program key
  bool flagsRemoved = false;  // some hive's program key is gone
};

OwnedLeft LeftByRemoval(const Json& before, const Json& after, const std::string& missingKey,
                        const std::string& uncheckedKey);

// Whether a key, as the trace names it, lies on the way from a root or a
// user hive down to the program key, or is the program key.
bool LeadsToProgramKey(const std::string& key);
