// The main run over the display hardware.
#pragma once

// Returns the exit code of the main run, which is always 0.
int ProcessDisplays();
