#include "app/entry.h"

#include <exception>
#include <optional>

#include "app/command_line.h"
#include "app/process_displays.h"
#include "app/start_up.h"
#include "base/errors.h"
#include "platform/structured_exception.h"
#include "process/log.h"
#include "process/process_state.h"

KestraveModule::KestraveModule() {
  DebugMode = false;
  ForceOptimization = false;
  PresetsOnly = false;
  LogOpen = false;
  SoftwareKeyPath = kSoftwareKeyPath;
}

KestraveModule::~KestraveModule() {
  CloseLog();
  SoftwareKeyPath.clear();
}

namespace {

const DWORD kDeviceInstallationTimeout = 600000;

void WriteHandlerLine(const std::string& line) { Log() << "\n" << line << "\n"; }

int RunSteps() {
  if (std::optional<int> handled = ParseCommandLine()) return *handled;
  if (!IsSupportedWindows()) throw TextError("Only supported on 2K, XP, or newer OS.");
  if (!WaitForDeviceInstallation(kDeviceInstallationTimeout)) {
    Log() << "Timed-out waiting for device enumeration to complete.\n";
    return 1;
  }
  return ProcessDisplays();
}

}  // namespace

void ReportStructuredException() { WriteHandlerLine("Win32 threw an exception."); }

int KestraveMain() {
  int exitCode = 1;
  try {
    try {
      exitCode = RunSteps();
    } catch (const TextError& error) {
      WriteHandlerLine("Error: " + error.Text());
    } catch (const std::exception& error) {
      WriteHandlerLine(std::string("STL exception: ") + error.what());
    } catch (const ProgramError& error) {
      Log() << "\nVCL exception: " << error.Message() << "@" << error.Address() << "\n";
    } catch (const StructuredException&) {
      throw;  // for the outermost handler below
    } catch (...) {
      WriteHandlerLine("C++/VCL threw an unspecified exception.");
    }
  } catch (const StructuredException&) {
    ReportStructuredException();
  }
  return exitCode;
}
