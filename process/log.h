// The debug log: one stream for the whole process, std::cerr, bound to
// "kestrave.txt" with -d and to the null device otherwise.
#pragma once

#include <ostream>
#include <string>

// The stream every part of the program writes to.
std::ostream& Log();

void OpenLog(bool toFile);
void CloseLog();

// With the log in a file, makes the system write what it holds to the disk
// now; its failure changes nothing.
void FlushLogToDisk();

// The internal-fault line of the main module:
// "\nError in Kestrave line <line>: <text>.\n".
void LogFault(int line, const std::string& text);
