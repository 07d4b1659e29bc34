#include "sim/machine_file/machine_reader.h"

#include "sim/machine_file/machine_file_error.h"
#include "sim/system/ansi_code_page.h"
#include "sim/system/fault_plan.h"
#include "sim/system/windows1252_case.h"

namespace {

void ReadOs(const Json& value, const std::string& pointer, Machine::Os& os) {
  CheckMembers(value, pointer, {"major", "minor", "codePage"});
  if (const Json* major = FindMember(value, "major"))
    os.major = ReadDword(*major, MemberPointer(pointer, "major"));
  if (const Json* minor = FindMember(value, "minor"))
    os.minor = ReadDword(*minor, MemberPointer(pointer, "minor"));
  if (const Json* codePage = FindMember(value, "codePage")) {
    std::string place = MemberPointer(pointer, "codePage");
    os.codePage = ReadDword(*codePage, place);
    os.textsInCodePage = true;
    if (!AnsiCodePage::IsSupported(os.codePage))
      FailAt(place, "not an ANSI code page of Windows: 874, 1250 to 1258, 932, 936, 949 or 950");
  }
}

void ReadUser(const Json& value, const std::string& pointer, Machine::User& user) {
  CheckMembers(value, pointer, {"sid", "admin"});
  if (const Json* sid = FindMember(value, "sid")) {
    user.sid = ReadString(*sid, MemberPointer(pointer, "sid"));
    if (user.sid.empty() || user.sid.find('\\') != std::string::npos)
      FailAt(MemberPointer(pointer, "sid"), "not a key name: empty or with a backslash");
  }
  if (const Json* admin = FindMember(value, "admin"))
    user.admin = ReadBool(*admin, MemberPointer(pointer, "admin"));
}

void ReadEnvironment(const Json& value, const std::string& pointer, Machine& machine) {
  RequireObject(value, pointer);
  machine.environment.clear();
  for (const auto& member : value.items()) {
    std::string place = MemberPointer(pointer, member.key());
    for (const auto& earlier : machine.environment)
      if (EqualNoCase(earlier.first, member.key()))
        FailAt(place, "the same variable as \"" + earlier.first +
                          "\" (names compare without regard to case)");
    machine.environment.emplace_back(member.key(), ReadString(member.value(), place));
  }
}

std::vector<std::string> ReadStrings(const Json& value, const std::string& pointer) {
  RequireArray(value, pointer);
  std::vector<std::string> strings;
  for (size_t i = 0; i < value.size(); ++i)
    strings.push_back(ReadString(value[i], IndexPointer(pointer, i)));
  return strings;
}

void ReadWallpaper(const Json& value, const std::string& pointer, Machine::Wallpaper& wallpaper) {
  CheckMembers(value, pointer, {"path", "readable", "settable"});
  if (const Json* path = FindMember(value, "path"))
    wallpaper.path = ReadString(*path, MemberPointer(pointer, "path"));
  if (const Json* readable = FindMember(value, "readable"))
    wallpaper.readable = ReadBool(*readable, MemberPointer(pointer, "readable"));
  if (const Json* settable = FindMember(value, "settable"))
    wallpaper.settable = ReadBool(*settable, MemberPointer(pointer, "settable"));
}

void ReadDeviceInstall(const Json& value, const std::string& pointer,
                       Machine::DeviceInstall& install) {
  CheckMembers(value, pointer, {"results", "lastError"});
  if (const Json* results = FindMember(value, "results")) {
    std::string place = MemberPointer(pointer, "results");
    RequireArray(*results, place);
    if (results->empty()) FailAt(place, "needs at least one result");
    install.results.clear();
    for (size_t i = 0; i < results->size(); ++i)
      install.results.push_back(ReadDword((*results)[i], IndexPointer(place, i)));
  }
  if (const Json* lastError = FindMember(value, "lastError"))
    install.lastError = ReadDword(*lastError, MemberPointer(pointer, "lastError"));
}

void ReadMessages(const Json& value, const std::string& pointer, Machine& machine) {
  RequireObject(value, pointer);
  for (const auto& member : value.items()) {
    std::string place = MemberPointer(pointer, member.key());
    const std::string& key = member.key();
    bool decimal = !key.empty() && key.size() <= 10 &&
                   key.find_first_not_of("0123456789") == std::string::npos &&
                   std::stoull(key) <= 0xFFFFFFFFull;
    if (!decimal) FailAt(place, "not an error code (a decimal number from 0 to 4294967295)");
    DWORD code = static_cast<DWORD>(std::stoull(key));
    if (machine.messages.count(code)) FailAt(place, "the same error code appears twice");
    machine.messages[code] = ReadString(member.value(), place);
  }
}

void ReadLogFile(const Json& value, const std::string& pointer, Machine::LogFile& logFile) {
  CheckMembers(value, pointer, {"openable", "truncatable"});
  if (const Json* openable = FindMember(value, "openable"))
    logFile.openable = ReadBool(*openable, MemberPointer(pointer, "openable"));
  if (const Json* truncatable = FindMember(value, "truncatable"))
    logFile.truncatable = ReadBool(*truncatable, MemberPointer(pointer, "truncatable"));
}

SimFault ReadFault(const Json& value, const std::string& pointer) {
  CheckMembers(value, pointer, {"call", "nth", "result", "raise"});
  SimFault fault;
  std::string callPlace = MemberPointer(pointer, "call");
  fault.call = ReadString(RequireMember(value, pointer, "call"), callPlace);
  FailureReport report;
  if (!FindPlatformCall(fault.call, report))
    FailAt(callPlace, "\"" + fault.call + "\" is not a call of the platform layer");
  if (const Json* nth = FindMember(value, "nth")) {
    fault.nth = ReadDword(*nth, MemberPointer(pointer, "nth"));
    if (*fault.nth == 0) FailAt(MemberPointer(pointer, "nth"), "calls are counted from 1");
  }
  const Json* result = FindMember(value, "result");
  const Json* raise = FindMember(value, "raise");
  if ((result == nullptr) == (raise == nullptr))
    FailAt(pointer, "needs exactly one of \"result\" and \"raise\"");
  if (raise != nullptr) {
    std::string place = MemberPointer(pointer, "raise");
    if (ReadString(*raise, place) != "access-violation")
      FailAt(place, "the only exception that can be raised is \"access-violation\"");
    fault.raise = true;
  } else {
    std::string place = MemberPointer(pointer, "result");
    if (report == FailureReport::Never)
      FailAt(place, fault.call + " cannot fail; only \"raise\" applies to it");
    fault.result = ReadResultBits(*result, place);
  }
  return fault;
}

void ReadFaults(const Json& value, const std::string& pointer, Machine& machine) {
  RequireArray(value, pointer);
  for (size_t i = 0; i < value.size(); ++i)
    machine.faults.push_back(ReadFault(value[i], IndexPointer(pointer, i)));
}

}  // namespace

Machine ReadMachine(const Json& document) {
  CheckMembers(document, "",
               {"os", "user", "modulePath", "environment", "files", "directories", "wallpaper",
                "deviceInstall", "messages", "multipleMonitorApi", "logFile", "adapters",
                "registry", "refusedAccess", "faults"});
  Machine machine;
  if (const Json* os = FindMember(document, "os")) ReadOs(*os, "/os", machine.os);
  if (const Json* user = FindMember(document, "user")) ReadUser(*user, "/user", machine.user);
  machine.registry = RegistryTree(machine.user.sid);
  if (const Json* path = FindMember(document, "modulePath"))
    machine.modulePath = ReadString(*path, "/modulePath");
  if (const Json* environment = FindMember(document, "environment"))
    ReadEnvironment(*environment, "/environment", machine);
  if (const Json* files = FindMember(document, "files"))
    machine.files = ReadStrings(*files, "/files");
  if (const Json* directories = FindMember(document, "directories"))
    machine.directories = ReadStrings(*directories, "/directories");
  if (const Json* wallpaper = FindMember(document, "wallpaper"))
    ReadWallpaper(*wallpaper, "/wallpaper", machine.wallpaper);
  if (const Json* install = FindMember(document, "deviceInstall"))
    ReadDeviceInstall(*install, "/deviceInstall", machine.deviceInstall);
  if (const Json* messages = FindMember(document, "messages"))
    ReadMessages(*messages, "/messages", machine);
  if (const Json* api = FindMember(document, "multipleMonitorApi"))
    machine.multipleMonitorApi = ReadBool(*api, "/multipleMonitorApi");
  if (const Json* logFile = FindMember(document, "logFile"))
    ReadLogFile(*logFile, "/logFile", machine.logFile);
  if (const Json* adapters = FindMember(document, "adapters"))
    ReadAdapters(*adapters, "/adapters", machine);
  if (const Json* registry = FindMember(document, "registry"))
    ReadRegistry(*registry, "/registry", machine.registry);
  machine.registry.UserHive();
  if (const Json* refusals = FindMember(document, "refusedAccess"))
    ReadRefusedAccess(*refusals, "/refusedAccess", machine.registry);
  if (const Json* faults = FindMember(document, "faults")) ReadFaults(*faults, "/faults", machine);
  return machine;
}
