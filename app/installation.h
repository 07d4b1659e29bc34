// Installation in the per-machine Run key, and removal with every
// optimisation flag.
#pragma once

// install true for -i, false for -u; reports only in the log.
void UpdateInstallation(bool install);
