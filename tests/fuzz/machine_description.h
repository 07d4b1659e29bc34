// A simulated machine as text, every part of it, so that two machines read
// from files can be compared and a difference shown.
#pragma once

#include <string>

#include "sim/system/machine.h"

std::string MachineDescription(const Machine& machine);
