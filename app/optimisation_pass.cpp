#include "app/optimisation_pass.h"

#include <memory>

#include "app/optimisation_flags.h"
#include "app/wallpaper.h"
#include "display/optimal_mode.h"
#include "platform/platform.h"
#include "process/log.h"
#include "process/process_state.h"

namespace {

// One adapter's block of the log; returns the mode the platform accepted,
// or null.
std::unique_ptr<TMode> OptimiseDisplay(const TAdapter& adapter) {
  const TDisplay* monitor = MonitorOf(adapter);
  if (monitor == nullptr) {
    Log() << "No monitor on " << adapter.DeviceName << ".\n\n";
    return nullptr;
  }
  Log() << monitor->DeviceString << " on " << adapter.DeviceString << " [" << monitor->DeviceName
        << "]\n";
  Log() << "  Currently: ";
  WriteMode(Log(), adapter.CurrentMode.get()) << "\n";
  if (adapter.CurrentMode == nullptr) {
    Log() << "  Display is disabled.\n\n";
    return nullptr;
  }

  bool optimisedBefore = false;
  if (ForceOptimization) {
    Log() << "  Forcing optimization.\n";
  } else if (IsPreviouslyOptimised(&adapter, optimisedBefore)) {
    Log() << "  Previously optimized.\n\n";
    return nullptr;
  }

  Log() << "  Optimal: ";
  std::unique_ptr<TMode> mode = ChooseOptimalMode(&adapter, optimisedBefore);
  if (mode == nullptr) {
    Log() << "Could not find an optimal setting.\n\n";
    return nullptr;
  }
  // The mode is applied even when the display already runs in it. It is
  // recorded only once the platform accepted it: a flag for a change the
  // driver failed (as one still starting at log-on may) would leave the
  // display in its old mode for good, "optimised before"; a failed change
  // changed nothing, so the next run may try again.
  bool accepted = ApplyMode(&adapter, mode.get());
  if (accepted) RecordOptimised(&adapter, mode.get());
  Log() << "\n";
  return accepted ? std::move(mode) : nullptr;
}

}  // namespace

void OptimiseDisplays(TStringList* adapters) {
  if (adapters == nullptr) {
    LogFault(1004, "Null adapters pointer");
    return;
  }
  // The wallpaper follows the first display whose change the platform
  // accepted: that is the mode now on the screen, where the current modes
  // read at start are not.
  std::unique_ptr<TMode> wallpaperMode;
  for (int i = 0; i < adapters->Count(); ++i) {
    const TAdapter* adapter = dynamic_cast<const TAdapter*>(adapters->Objects(i));
    if (adapter == nullptr) continue;
    std::unique_ptr<TMode> accepted = OptimiseDisplay(*adapter);
    if (accepted != nullptr && wallpaperMode == nullptr) wallpaperMode = std::move(accepted);
  }
  if (wallpaperMode != nullptr) MatchWallpaper(wallpaperMode.get());
}

bool ApplyMode(const TAdapter* adapter, const TMode* mode) {
  if (adapter == nullptr) {
    LogFault(1180, "Null adapter pointer");
    return false;
  }
  if (mode == nullptr) {
    LogFault(1186, "Null mode pointer");
    return false;
  }
  DEVMODEA record = DevModeFromMode(*mode);
  // A driver that hangs or stops the system in the change must not take
  // the log of this run with it.
  FlushLogToDisk();
  LONG result = Win32().ChangeDisplaySettingsExA(adapter->DeviceName.c_str(), &record, nullptr,
                                                 CDS_UPDATEREGISTRY | CDS_GLOBAL, nullptr);
  Log() << "  " << ChangeResultText(result) << "\n";
  return result == DISP_CHANGE_SUCCESSFUL || result == DISP_CHANGE_RESTART;
}

const char* ChangeResultText(LONG code) {
  switch (code) {
    case DISP_CHANGE_SUCCESSFUL:
      return "Optimal mode set successfully.";
    case DISP_CHANGE_RESTART:
      return "The computer must be restarted for the graphics mode to work.";
    case DISP_CHANGE_FAILED:
      return "The display driver failed the specified graphics mode.";
    case DISP_CHANGE_BADMODE:
      return "The graphics mode is not supported.";
    case DISP_CHANGE_NOTUPDATED:
      return "Windows NT/2000: Unable to write settings to the registry.";
    case DISP_CHANGE_BADFLAGS:
      return "An invalid set of flags was passed in.";
    case DISP_CHANGE_BADPARAM:
      return "An invalid parameter was passed in. This can include an invalid flag or combination "
             "of flags.";
    default:
      return "Unknown error code from ChangeDisplaySettingsEx.";
  }
}
