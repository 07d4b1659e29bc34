// Machine files on disk: read and checked before a run, written back after
// it through a temporary file beside it, so that the file is either the old
// one or the new one, never a half-written one. The temporary file has a
// name no one can know in advance and is made new, so nothing planted
// beside the target is written through. A target that is not a regular
// file (the null device, a pipe) is written into instead.
#pragma once

#include <string>

#include "sim/machine_file/json_reading.h"

bool IsDirectory(const std::string& path);

// Raises std::runtime_error when the file cannot be read (a directory, a
// missing or unreadable file) and MachineFileError when it is not JSON;
// ReadMachine checks the rest.
Json LoadMachineDocument(const std::string& path);

// Raises std::runtime_error when the file cannot be written; no temporary
// file is left behind.
void SaveFileAtomically(const std::string& path, const std::string& text);
