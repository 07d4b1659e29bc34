// The adapters and monitors as EnumDisplayDevicesA lists them, and each
// adapter's modes as EnumDisplaySettingsExA and EnumDisplaySettingsA give
// them, walked as the program walks them.
#include "base/fixed_text.h"
#include "display/display_records.h"
#include "tools/kestrave-capture/machine_capture.h"

namespace {

SimDisplayDevice DeviceOf(const CaptureFacts& facts, const DISPLAY_DEVICEA& record) {
  return {facts.toUtf8(FixedText(record.DeviceName)), facts.toUtf8(FixedText(record.DeviceString)),
          record.StateFlags, facts.toUtf8(FixedText(record.DeviceID)),
          facts.toUtf8(FixedText(record.DeviceKey))};
}

SimMode ModeOf(const DEVMODEA& record) {
  return {record.dmPelsWidth, record.dmPelsHeight, record.dmBitsPerPel, record.dmDisplayFrequency};
}

std::vector<SimMode> ListModes(LPCSTR adapter, DWORD flags) {
  std::vector<SimMode> modes;
  ForEachMode(adapter, flags, [&modes](const DEVMODEA& mode) { modes.push_back(ModeOf(mode)); });
  return modes;
}

std::optional<SimMode> ReadMode(LPCSTR adapter, DWORD which) {
  DEVMODEA record;
  if (!ReadModeRecord(adapter, which, record)) return std::nullopt;
  return ModeOf(record);
}

}  // namespace

std::vector<std::string> CaptureAdapters(const CaptureFacts& facts, Machine& machine) {
  std::vector<std::string> hardwareKeys;
  ForEachDisplayDevice(nullptr, [&](const DISPLAY_DEVICEA& adapter) {
    // The calls go on with the name as the adapter's record gives it, in
    // the code page.
    const std::string name = FixedText(adapter.DeviceName);
    SimAdapter captured;
    captured.device = DeviceOf(facts, adapter);
    captured.modes = ListModes(name.c_str(), 0);
    std::vector<SimMode> rawModes = ListModes(name.c_str(), EDS_RAWMODE);
    if (rawModes != captured.modes) captured.rawModes = rawModes;
    captured.current = ReadMode(name.c_str(), ENUM_CURRENT_SETTINGS);
    captured.registry = ReadMode(name.c_str(), ENUM_REGISTRY_SETTINGS);
    ForEachDisplayDevice(name.c_str(), [&](const DISPLAY_DEVICEA& monitor) {
      captured.monitors.push_back(DeviceOf(facts, monitor));
      hardwareKeys.push_back(FixedText(monitor.DeviceID));
    });
    machine.adapters.push_back(captured);
  });
  return hardwareKeys;
}
