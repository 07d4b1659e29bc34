// Installation in the per-machine Run key, and removal with every
// optimisation flag.
#pragma once

// install true for -i, false for -u; reports in the log. False when an
// installation did not add the Run value or the software install key, or
// met a registry failure on the way.
bool UpdateInstallation(bool install);
