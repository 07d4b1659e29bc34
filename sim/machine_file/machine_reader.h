// The machine file: JSON text into the document, the document into the
// machine. Every problem raises MachineFileError naming its place.
#pragma once

#include <string>

#include "sim/machine_file/json_reading.h"
#include "sim/system/machine.h"

Json ParseMachineJson(const std::string& text);
Machine ReadMachine(const Json& document);

// The parts of the document with readers of their own.
void ReadAdapters(const Json& adapters, const std::string& pointer, Machine& machine);
void ReadRegistry(const Json& registry, const std::string& pointer, RegistryTree& tree);
// After the registry: each key it names must be in it.
void ReadRefusedAccess(const Json& refusals, const std::string& pointer, RegistryTree& tree);
