// The machine file after a run: the document as it was read, with what the
// run changed written in place (the adapters' current and registry modes,
// the wallpaper path, the registry). Members keep their order; a member
// that was absent is added only when the run changed it.
#pragma once

#include <string>

#include "sim/machine_file/json_reading.h"
#include "sim/machine_file/machine_document.h"
#include "sim/system/machine.h"

Json UpdatedMachineDocument(const Json& original, const Machine& machine);

// The registry member for the tree after the run, given the member as it
// was read (an empty object when the file had none).
Json UpdatedRegistry(const Json& original, const RegistryTree& tree);
// The registry member for the whole tree, in the order its keys enumerate.
Json RegistryMembers(const RegistryTree& tree);
// The refusedAccess member: the keys the file named that still exist.
Json RefusedAccessMembers(const RegistryTree& tree);
