// Process-wide state of the main module: written once at start-up, read
// everywhere else.
#pragma once

#include <string>

extern bool DebugMode;
extern bool ForceOptimization;
extern bool PresetsOnly;
extern bool LogOpen;
extern std::string SoftwareKeyPath;

// What SoftwareKeyPath holds while the module runs: the program's key below
// a registry root, with a backslash at either end.
extern const char kSoftwareKeyPath[];
