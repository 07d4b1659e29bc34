#include "sim/machine_file/machine_document.h"

#include "sim/machine_file/machine_writer.h"

namespace {

Json DeviceMembers(const SimDisplayDevice& device) {
  return {{"DeviceName", device.deviceName},
          {"DeviceString", device.deviceString},
          {"StateFlags", device.stateFlags},
          {"DeviceID", device.deviceId},
          {"DeviceKey", device.deviceKey}};
}

Json ModeList(const std::vector<SimMode>& modes) {
  Json list = Json::array();
  for (const SimMode& mode : modes) list.push_back(ModeText(mode));
  return list;
}

Json AdapterMembers(const SimAdapter& adapter) {
  Json members = DeviceMembers(adapter.device);
  members["modes"] = ModeList(adapter.modes);
  members["rawModes"] = adapter.rawModes ? ModeList(*adapter.rawModes) : Json(nullptr);
  members["current"] = ModeValue(adapter.current);
  members["registry"] = ModeValue(adapter.registry);
  Json results = Json::object();
  for (const auto& result : adapter.changeResults) results[ModeText(result.first)] = result.second;
  if (adapter.defaultChangeResult) results["default"] = *adapter.defaultChangeResult;
  members["changeResults"] = results;
  Json monitors = Json::array();
  for (const SimDisplayDevice& monitor : adapter.monitors)
    monitors.push_back(DeviceMembers(monitor));
  members["monitors"] = monitors;
  return members;
}

Json FaultMembers(const SimFault& fault) {
  Json members = {{"call", fault.call}};
  if (fault.nth) members["nth"] = *fault.nth;
  if (fault.raise)
    members["raise"] = "access-violation";
  else
    members["result"] = fault.result;
  return members;
}

}  // namespace

Json ModeValue(const std::optional<SimMode>& mode) {
  return mode ? Json(ModeText(*mode)) : Json(nullptr);
}

std::string MachineDocumentText(const Json& document) { return document.dump(2) + "\n"; }

Json MachineDocument(const Machine& machine) {
  Json document = Json::object();
  document["os"] = {{"major", machine.os.major}, {"minor", machine.os.minor}};
  if (machine.os.textsInCodePage) document["os"]["codePage"] = machine.os.codePage;
  document["user"] = {{"sid", machine.user.sid}, {"admin", machine.user.admin}};
  document["modulePath"] = machine.modulePath;
  Json environment = Json::object();
  for (const auto& variable : machine.environment) environment[variable.first] = variable.second;
  document["environment"] = environment;
  document["files"] = machine.files;
  document["directories"] = machine.directories;
  document["wallpaper"] = {{"path", machine.wallpaper.path},
                           {"readable", machine.wallpaper.readable},
                           {"settable", machine.wallpaper.settable}};
  document["deviceInstall"] = {{"results", machine.deviceInstall.results},
                               {"lastError", machine.deviceInstall.lastError}};
  Json messages = Json::object();
  for (const auto& message : machine.messages)
    messages[std::to_string(message.first)] = message.second;
  document["messages"] = messages;
  document["multipleMonitorApi"] = machine.multipleMonitorApi;
  document["logFile"] = {{"openable", machine.logFile.openable},
                         {"truncatable", machine.logFile.truncatable}};
  Json adapters = Json::array();
  for (const SimAdapter& adapter : machine.adapters) adapters.push_back(AdapterMembers(adapter));
  document["adapters"] = adapters;
  document["registry"] = RegistryMembers(machine.registry);
  // Only where the file had it: a capture cannot read it.
  if (!machine.registry.RefusalEntries().empty())
    document["refusedAccess"] = RefusedAccessMembers(machine.registry);
  Json faults = Json::array();
  for (const SimFault& fault : machine.faults) faults.push_back(FaultMembers(fault));
  document["faults"] = faults;
  return document;
}
