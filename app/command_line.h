// The switches of the command line.
#pragma once

// True when an argument after the program is "-" or "/" followed by the
// letter, compared without regard to case.
bool HasSwitch(const char* letter);

// Opens the log, writes the banner and reads the switches. True when it
// handled -i, -u or -? and the run must end with exit code 0.
bool ParseCommandLine();

void ShowUsage();
