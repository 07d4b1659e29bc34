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
// hive. Keys at or below missingKey, a full path as the trace names it,
// count as missing before: Windows was made to report that key missing.
struct OwnedLeft {
  bool runValue = false;
  bool softwareKey = false;
  bool flags = false;         // some hive's program key
  bool flagsRemoved = false;  // some hive's program key is gone
};

OwnedLeft LeftByRemoval(const Json& before, const Json& after, const std::string& missingKey);
