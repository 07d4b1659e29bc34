// Installation in the per-machine Run key, and removal with every
// optimisation flag.
#pragma once

// install true for -i, false for -u; reports in the log. False when an
// installation did not add the Run value or the software install key, when
// a removal left any of them or a flag key that was there, or when either
// met a registry failure on the way.
bool UpdateInstallation(bool install);

// The Run key below HKEY_LOCAL_MACHINE (with a leading backslash), and the
// program's value in it.
extern const char kRunKeyPath[];
extern const char kRunValueName[];
