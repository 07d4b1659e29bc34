// The switches of the command line.
#pragma once

#include <optional>

// True when an argument after the program is "-" or "/" followed by the
// letter, compared without regard to case.
bool HasSwitch(const char* letter);

// Opens the log, writes the banner and reads the switches. When it handled
// -i, -u or -?, the exit code the run ends with: 1 for an installation or
// a removal that did not complete, else 0. Nothing when the displays are to be optimised.
std::optional<int> ParseCommandLine();

void ShowUsage();
