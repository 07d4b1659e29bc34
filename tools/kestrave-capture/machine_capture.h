// The machine file of the PC this runs on: what the program would find,
// read through the same platform calls it makes, and never changed.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "sim/system/machine.h"

// What the program's calls do not tell, read by the caller.
struct CaptureFacts {
  DWORD osMajor = 0;
  DWORD osMinor = 0;
  DWORD codePage = 0;  // the ANSI code page
  std::string userSid;
  // A text as the A calls give it, in the code page, as UTF-8.
  std::function<std::string(const std::string&)> toUtf8;
};

// A part of the machine that could not be read; the capture is not done.
class CaptureError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

Machine CaptureMachine(const CaptureFacts& facts);

// The parts with files of their own. The adapters part gives the monitors'
// hardware keys (DeviceID) in the code page, where the registry part looks.
std::vector<std::string> CaptureAdapters(const CaptureFacts& facts, Machine& machine);
void CaptureRegistry(const CaptureFacts& facts, const std::vector<std::string>& hardwareKeys,
                     Machine& machine);
