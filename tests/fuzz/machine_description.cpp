#include "tests/fuzz/machine_description.h"

#include <cstdio>
#include <sstream>

namespace {

// Texts with their length, so that no content can pass for another line.
std::string Text(const std::string& text) { return std::to_string(text.size()) + ":" + text; }

std::string Hex(const std::string& bytes) {
  std::string hex;
  char pair[4];
  for (char byte : bytes) {
    std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(byte));
    hex += pair;
  }
  return hex;
}

std::string Mode(const std::optional<SimMode>& mode) { return mode ? ModeText(*mode) : "none"; }

void DescribeDevice(std::ostream& out, const char* kind, const SimDisplayDevice& device) {
  out << kind << ' ' << Text(device.deviceName) << ' ' << Text(device.deviceString) << ' '
      << device.stateFlags << ' ' << Text(device.deviceId) << ' ' << Text(device.deviceKey) << '\n';
}

void DescribeAdapter(std::ostream& out, const SimAdapter& adapter) {
  DescribeDevice(out, "adapter", adapter.device);
  for (const SimMode& mode : adapter.modes) out << "  mode " << ModeText(mode) << '\n';
  if (adapter.rawModes)
    for (const SimMode& mode : *adapter.rawModes) out << "  raw mode " << ModeText(mode) << '\n';
  out << "  current " << Mode(adapter.current) << " registry " << Mode(adapter.registry) << '\n';
  for (const auto& result : adapter.changeResults)
    out << "  change " << ModeText(result.first) << ' ' << result.second << '\n';
  if (adapter.defaultChangeResult) out << "  change default " << *adapter.defaultChangeResult << '\n';
  for (const SimDisplayDevice& monitor : adapter.monitors) DescribeDevice(out, "  monitor", monitor);
}

void DescribeKey(std::ostream& out, const RegistryKey& key, const std::string& indent) {
  out << indent << "key " << Text(key.Name()) << " area " << static_cast<int>(key.Area()) << '\n';
  if (key.RefusedAccess() != 0) out << indent << "  refuses " << key.RefusedAccess() << '\n';
  for (const RegistryValue& value : key.Values())
    out << indent << "  value " << Text(value.name) << " type " << value.data.type << ' '
        << Hex(value.data.bytes) << '\n';
  for (const auto& subkey : key.Subkeys()) DescribeKey(out, *subkey, indent + "  ");
}

}  // namespace

std::string MachineDescription(const Machine& machine) {
  std::ostringstream out;
  out << "os " << machine.os.major << '.' << machine.os.minor << " code page "
      << machine.os.codePage << (machine.os.textsInCodePage ? " named" : "") << '\n';
  out << "user " << Text(machine.user.sid) << " admin " << machine.user.admin << '\n';
  out << "module " << Text(machine.modulePath) << '\n';
  for (const auto& variable : machine.environment)
    out << "environment " << Text(variable.first) << ' ' << Text(variable.second) << '\n';
  for (const std::string& file : machine.files) out << "file " << Text(file) << '\n';
  for (const std::string& directory : machine.directories)
    out << "directory " << Text(directory) << '\n';
  out << "wallpaper " << Text(machine.wallpaper.path) << ' ' << machine.wallpaper.readable << ' '
      << machine.wallpaper.settable << '\n';
  out << "device install";
  for (DWORD result : machine.deviceInstall.results) out << ' ' << result;
  out << " last error " << machine.deviceInstall.lastError << '\n';
  for (const auto& message : machine.messages)
    out << "message " << message.first << ' ' << Text(message.second) << '\n';
  out << "multiple monitor api " << machine.multipleMonitorApi << '\n';
  out << "log file " << machine.logFile.openable << ' ' << machine.logFile.truncatable << '\n';
  for (const SimAdapter& adapter : machine.adapters) DescribeAdapter(out, adapter);
  DescribeKey(out, *machine.registry.Machine(), "");
  DescribeKey(out, *machine.registry.Users(), "");
  for (const SimFault& fault : machine.faults)
    out << "fault " << Text(fault.call) << " nth " << (fault.nth ? std::to_string(*fault.nth) : "all")
        << (fault.raise ? " raise" : " result " + std::to_string(fault.result)) << '\n';
  return out.str();
}
