// A machine as a whole machine file, every member it holds written out:
// how a captured PC becomes a file. Reading the document back gives the
// same machine.
#pragma once

#include <optional>
#include <string>

#include "sim/machine_file/json_reading.h"
#include "sim/system/machine.h"

Json MachineDocument(const Machine& machine);

// The text of a machine file: two-space indentation, a final line end.
std::string MachineDocumentText(const Json& document);

// A mode member: the mode's text, or null for a mode that cannot be read.
Json ModeValue(const std::optional<SimMode>& mode);
