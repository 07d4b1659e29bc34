// The display calls of the simulated machine: the adapters and monitors of
// the machine file, their modes, and the mode changes the run makes.
#pragma once

#include <optional>
#include <vector>

#include "sim/system/ansi_code_page.h"
#include "sim/system/machine.h"

class DisplayDevices {
 public:
  // The device texts are given in the code page.
  DisplayDevices(std::vector<SimAdapter>& adapters, bool multipleMonitorApi,
                 const AnsiCodePage& codePage)
      : adapters_(adapters), multipleMonitorApi_(multipleMonitorApi), codePage_(codePage) {}

  // The adapters by index for a null device name, an adapter's monitors by
  // index for its DeviceName. error is set where Windows sets one.
  BOOL EnumDevices(LPCSTR device, DWORD index, PDISPLAY_DEVICEA record, DWORD flags,
                   std::optional<DWORD>& error) const;
  // A listed mode by number, or the current or registry mode; the mode
  // read is also handed back for the trace.
  BOOL EnumSettings(LPCSTR device, DWORD modeNumber, DEVMODEA* record, DWORD flags, SimMode& read,
                    std::optional<DWORD>& error) const;
  // Fields the record leaves out are taken from the current mode.
  LONG ChangeSettings(LPCSTR device, const DEVMODEA* record, DWORD flags);

 private:
  SimAdapter* FindAdapter(LPCSTR device) const;
  static LONG ChangeResult(const SimAdapter& adapter, const SimMode& mode);

  std::vector<SimAdapter>& adapters_;
  bool multipleMonitorApi_;
  const AnsiCodePage& codePage_;
};
