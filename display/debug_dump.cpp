#include "display/debug_dump.h"

#include <algorithm>

#include "display/adapter.h"
#include "display/display.h"
#include "display/mode.h"
#include "edid/edid_report.h"
#include "process/log.h"

namespace {
const std::string kRule(80, '=');
const char kEdidIndentation[] = "    ";
// The report shows the base block and the first extension block, as it
// always has, however many extension blocks the value holds.
const std::size_t kReportedEdidSize = 256;
}  // namespace

void WriteAdapterDump(const TStringList& adapters) {
  for (int i = 0; i < adapters.Count(); ++i) {
    const TAdapter* adapter = dynamic_cast<const TAdapter*>(adapters.Objects(i));
    if (adapter == nullptr) continue;
    Log() << kRule << "\n\n";
    Log() << adapter->DeviceString << "  [" << adapter->DeviceName << "]\n";
    Log() << "  H/W key -> " << adapter->DeviceID << "\n";
    Log() << "  S/W key -> " << adapter->DeviceKey << "\n\n";
    Log() << "  Current mode  -> ";
    WriteMode(Log(), adapter->CurrentMode.get()) << "\n";
    Log() << "  Registry mode -> ";
    WriteMode(Log(), adapter->RegistryMode.get()) << "\n\n";
    Log() << "  Modes supported by adapter:";
    WriteModeList(&adapter->RawModes, "    ");
    Log() << "\n";
    Log() << "  Modes supported by monitor:";
    WriteModeList(&adapter->Modes, "    ");
    Log() << "\n";
    WriteMonitorDump(&adapter->Monitors, "  ");
  }
  Log() << kRule << "\n\n";
}

void WriteMonitorDump(const TStringList* monitors, const std::string& indentation) {
  if (monitors == nullptr) {
    Log() << "\n";
    return;
  }
  const std::string details = indentation + indentation;
  const std::string modes = details + indentation;
  for (int i = 0; i < monitors->Count(); ++i) {
    const TDisplay* monitor = dynamic_cast<const TDisplay*>(monitors->Objects(i));
    if (monitor == nullptr) continue;
    Log() << indentation << monitor->DeviceString << "  [" << monitor->DeviceName << "]\n";
    Log() << details << "H/W key -> " << monitor->HardwareKey << "\n";
    Log() << details << "S/W key -> " << monitor->DeviceKey << "\n\n";
    WriteEdidReport(monitor->Edid.data(), std::min(monitor->Edid.size(), kReportedEdidSize), Log(),
                    kEdidIndentation);
    Log() << "\n";
    Log() << modes << "Presets:";
    WriteModeList(&monitor->Presets, modes);
    Log() << "\n";
    Log() << modes << "Preferred timing: ";
    if (monitor->PreferredMode != nullptr)
      WriteMode(Log(), monitor->PreferredMode.get()) << "\n";
    else
      Log() << "Not specified.\n";
    for (int t = 0; t < monitor->DisplayIdPreferredTimings.Count(); ++t) {
      const auto* timing = dynamic_cast<const TMode*>(monitor->DisplayIdPreferredTimings.Items(t));
      if (timing == nullptr) continue;
      WriteMode(Log() << modes << "DisplayID preferred timing: ", timing) << "\n";
    }
    Log() << "\n";
  }
  Log() << "\n";
}

void WriteModeList(const TObjectList* modes, const std::string& prefix) {
  if (modes == nullptr) return;
  for (int i = 0; i < modes->Count(); ++i) {
    if (i % 4 == 0) Log() << "\n" << prefix;
    if (const TMode* mode = dynamic_cast<const TMode*>(modes->Items(i))) WriteMode(Log(), mode) << "  ";
  }
  Log() << "\n";
}
