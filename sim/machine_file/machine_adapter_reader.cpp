// The adapters of the machine file, with their monitors and modes.
#include "sim/machine_file/machine_reader.h"

namespace {

// The texts of a DISPLAY_DEVICEA record. A text as long as its array fills
// it without a terminating zero, as Windows may leave it.
struct DeviceText {
  const char* member;
  std::string SimDisplayDevice::*field;
  size_t arraySize;
};

const DeviceText kDeviceTexts[] = {
    {"DeviceName", &SimDisplayDevice::deviceName, sizeof(DISPLAY_DEVICEA::DeviceName)},
    {"DeviceString", &SimDisplayDevice::deviceString, sizeof(DISPLAY_DEVICEA::DeviceString)},
    {"DeviceID", &SimDisplayDevice::deviceId, sizeof(DISPLAY_DEVICEA::DeviceID)},
    {"DeviceKey", &SimDisplayDevice::deviceKey, sizeof(DISPLAY_DEVICEA::DeviceKey)},
};

SimDisplayDevice ReadDevice(const Json& value, const std::string& pointer) {
  SimDisplayDevice device;
  for (const DeviceText& text : kDeviceTexts) {
    std::string place = MemberPointer(pointer, text.member);
    std::string content = ReadString(RequireMember(value, pointer, text.member), place);
    if (content.size() > text.arraySize)
      FailAt(place, "a text of " + std::to_string(content.size()) + " bytes; DISPLAY_DEVICEA." +
                        text.member + " holds at most " + std::to_string(text.arraySize));
    if (content.find('\0') != std::string::npos) FailAt(place, "a text with a zero byte in it");
    device.*text.field = content;
  }
  device.stateFlags =
      ReadDword(RequireMember(value, pointer, "StateFlags"), MemberPointer(pointer, "StateFlags"));
  return device;
}

SimMode ReadMode(const Json& value, const std::string& pointer) {
  std::string text = ReadString(value, pointer);
  std::optional<SimMode> mode = ParseModeText(text);
  if (!mode) FailAt(pointer, "\"" + text + "\" is not a mode of the form WIDTHxHEIGHTxBITS@HZ");
  return *mode;
}

std::optional<SimMode> ReadOptionalMode(const Json& adapter, const std::string& pointer,
                                        const char* name) {
  const Json* value = FindMember(adapter, name);
  if (value == nullptr || value->is_null()) return std::nullopt;
  return ReadMode(*value, MemberPointer(pointer, name));
}

std::vector<SimMode> ReadModes(const Json& value, const std::string& pointer) {
  RequireArray(value, pointer);
  std::vector<SimMode> modes;
  for (size_t i = 0; i < value.size(); ++i)
    modes.push_back(ReadMode(value[i], IndexPointer(pointer, i)));
  return modes;
}

void ReadChangeResults(const Json& value, const std::string& pointer, SimAdapter& adapter) {
  RequireObject(value, pointer);
  for (const auto& member : value.items()) {
    std::string place = MemberPointer(pointer, member.key());
    LONG result = static_cast<LONG>(ReadResultBits(member.value(), place));
    if (member.key() == "default") {
      adapter.defaultChangeResult = result;
      continue;
    }
    std::optional<SimMode> mode = ParseModeText(member.key());
    if (!mode)
      FailAt(place, "\"" + member.key() +
                        "\" is neither \"default\" nor a mode of the form WIDTHxHEIGHTxBITS@HZ");
    for (const auto& earlier : adapter.changeResults)
      if (earlier.first == *mode) FailAt(place, "the same mode appears twice");
    adapter.changeResults.emplace_back(*mode, result);
  }
}

SimAdapter ReadAdapter(const Json& value, const std::string& pointer) {
  CheckMembers(value, pointer,
               {"DeviceName", "DeviceString", "StateFlags", "DeviceID", "DeviceKey", "modes",
                "rawModes", "current", "registry", "changeResults", "monitors"});
  SimAdapter adapter;
  adapter.device = ReadDevice(value, pointer);
  if (const Json* modes = FindMember(value, "modes"))
    adapter.modes = ReadModes(*modes, MemberPointer(pointer, "modes"));
  const Json* rawModes = FindMember(value, "rawModes");
  if (rawModes != nullptr && !rawModes->is_null())
    adapter.rawModes = ReadModes(*rawModes, MemberPointer(pointer, "rawModes"));
  adapter.current = ReadOptionalMode(value, pointer, "current");
  adapter.registry = ReadOptionalMode(value, pointer, "registry");
  if (const Json* results = FindMember(value, "changeResults"))
    ReadChangeResults(*results, MemberPointer(pointer, "changeResults"), adapter);
  if (const Json* monitors = FindMember(value, "monitors")) {
    std::string place = MemberPointer(pointer, "monitors");
    RequireArray(*monitors, place);
    for (size_t i = 0; i < monitors->size(); ++i) {
      std::string monitorPlace = IndexPointer(place, i);
      CheckMembers((*monitors)[i], monitorPlace,
                   {"DeviceName", "DeviceString", "StateFlags", "DeviceID", "DeviceKey"});
      adapter.monitors.push_back(ReadDevice((*monitors)[i], monitorPlace));
    }
  }
  return adapter;
}

}  // namespace

void ReadAdapters(const Json& adapters, const std::string& pointer, Machine& machine) {
  RequireArray(adapters, pointer);
  for (size_t i = 0; i < adapters.size(); ++i)
    machine.adapters.push_back(ReadAdapter(adapters[i], IndexPointer(pointer, i)));
}
