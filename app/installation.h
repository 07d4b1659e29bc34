// Installation in the per-machine Run key, and removal with every
// optimisation flag.
#pragma once

// install true for -i, false for -u; reports in the log. allModes (-i -p)
// puts -p into the Run value, so that every log-on run has it. False when an
// installation did not add the Run value or the software install key, when
// a removal left any of them or a flag key that was there, or when either
// met a registry failure on the way.
bool UpdateInstallation(bool install, bool allModes = false);

// The Run key below HKEY_LOCAL_MACHINE (with a leading backslash), and the
// program's value in it.
extern const char kRunKeyPath[];
extern const char kRunValueName[];
