// The adapters and monitors as EnumDisplayDevicesA lists them, and each
// adapter's modes as EnumDisplaySettingsExA and EnumDisplaySettingsA give
// them.
#include <cstring>

#include "base/fixed_text.h"
#include "platform/platform.h"
#include "tools/kestrave-capture/machine_capture.h"

namespace {

// A record as it came from the call: the texts the capture goes on with
// in the code page, beside the machine's UTF-8 copy.
struct EnumeratedDevice {
  std::string name;
  std::string hardwareKey;
  SimDisplayDevice device;
};

bool EnumerateDevice(const CaptureFacts& facts, const char* parent, DWORD index,
                     EnumeratedDevice& out) {
  DISPLAY_DEVICEA record;
  std::memset(&record, 0, sizeof record);
  record.cb = sizeof record;
  if (!Win32().EnumDisplayDevicesA(parent, index, &record, 0)) return false;
  out.name = FixedText(record.DeviceName);
  out.hardwareKey = FixedText(record.DeviceID);
  out.device = {facts.toUtf8(out.name), facts.toUtf8(FixedText(record.DeviceString)),
                record.StateFlags, facts.toUtf8(out.hardwareKey),
                facts.toUtf8(FixedText(record.DeviceKey))};
  return true;
}

SimMode ModeOf(const DEVMODEA& record) {
  return {record.dmPelsWidth, record.dmPelsHeight, record.dmBitsPerPel, record.dmDisplayFrequency};
}

DEVMODEA EmptyMode() {
  DEVMODEA record;
  std::memset(&record, 0, sizeof record);
  record.dmSize = sizeof record;
  return record;
}

std::vector<SimMode> ListModes(const std::string& adapter, DWORD flags) {
  std::vector<SimMode> modes;
  DEVMODEA record = EmptyMode();
  for (DWORD number = 0; Win32().EnumDisplaySettingsExA(adapter.c_str(), number, &record, flags);
       ++number) {
    modes.push_back(ModeOf(record));
    record = EmptyMode();
  }
  return modes;
}

std::optional<SimMode> ReadMode(const std::string& adapter, DWORD which) {
  DEVMODEA record = EmptyMode();
  if (!Win32().EnumDisplaySettingsA(adapter.c_str(), which, &record)) return std::nullopt;
  return ModeOf(record);
}

}  // namespace

std::vector<std::string> CaptureAdapters(const CaptureFacts& facts, Machine& machine) {
  std::vector<std::string> hardwareKeys;
  EnumeratedDevice adapter;
  for (DWORD index = 0; EnumerateDevice(facts, nullptr, index, adapter); ++index) {
    SimAdapter captured;
    captured.device = adapter.device;
    captured.modes = ListModes(adapter.name, 0);
    std::vector<SimMode> rawModes = ListModes(adapter.name, EDS_RAWMODE);
    if (rawModes != captured.modes) captured.rawModes = rawModes;
    captured.current = ReadMode(adapter.name, ENUM_CURRENT_SETTINGS);
    captured.registry = ReadMode(adapter.name, ENUM_REGISTRY_SETTINGS);
    EnumeratedDevice monitor;
    for (DWORD number = 0; EnumerateDevice(facts, adapter.name.c_str(), number, monitor);
         ++number) {
      captured.monitors.push_back(monitor.device);
      hardwareKeys.push_back(monitor.hardwareKey);
    }
    machine.adapters.push_back(captured);
  }
  return hardwareKeys;
}
