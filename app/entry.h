// The program's entry: what WinMain, kestrave-sim and the tests run.
#pragma once

// Module start and end: constructing one sets SoftwareKeyPath and clears
// the process-wide flags; destroying it closes the log. Exactly one lives
// around each run of KestraveMain.
class KestraveModule {
 public:
  KestraveModule();
  ~KestraveModule();
  KestraveModule(const KestraveModule&) = delete;
  KestraveModule& operator=(const KestraveModule&) = delete;
};

// The body of the GUI entry point: returns the process exit code (0 or 1).
int KestraveMain();

// The line of the last handler, for a structured exception that reached
// the top of the process (the native unhandled-exception filter).
void ReportStructuredException();
