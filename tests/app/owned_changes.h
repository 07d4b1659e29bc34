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
