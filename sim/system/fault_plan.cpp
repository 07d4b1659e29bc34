#include "sim/system/fault_plan.h"

namespace {

struct PlatformCall {
  const char* name;
  FailureReport report;
};

const PlatformCall kPlatformCalls[] = {
    {"EnumDisplayDevicesA", FailureReport::LastError},
    {"EnumDisplaySettingsA", FailureReport::LastError},
    {"EnumDisplaySettingsExA", FailureReport::LastError},
    {"ChangeDisplaySettingsExA", FailureReport::Status},
    {"RegOpenKeyExA", FailureReport::Status},
    {"RegOpenKeyExW", FailureReport::Status},
    {"RegCreateKeyExA", FailureReport::Status},
    {"RegSetValueExA", FailureReport::Status},
    {"RegQueryValueExA", FailureReport::Status},
    {"RegDeleteValueA", FailureReport::Status},
    // No longer called (keys are deleted through their handles), but files
    // that make it fail still read.
    {"RegDeleteKeyA", FailureReport::Status},
    {"RegQueryInfoKeyA", FailureReport::Status},
    {"RegEnumKeyExA", FailureReport::Status},
    {"RegEnumKeyExW", FailureReport::Status},
    {"RegEnumValueA", FailureReport::Status},
    {"RegCloseKey", FailureReport::Status},
    {"NtDeleteKey", FailureReport::Status},
    {"VerSetConditionMask", FailureReport::Never},
    {"VerifyVersionInfoA", FailureReport::LastError},
    {"CMP_WaitNoPendingInstallEvents", FailureReport::Status},
    {"GetLastError", FailureReport::Never},
    {"FormatMessageA", FailureReport::LastError},
    {"SystemParametersInfoA", FailureReport::LastError},
    {"GetEnvironmentVariableA", FailureReport::LastError},
    {"GetFileAttributesA", FailureReport::LastError},
    {"CompareStringA", FailureReport::LastError},
    {"CharLowerBuffA", FailureReport::LastError},
    {"MultiByteToWideChar", FailureReport::LastError},
    {"GetCommandLineA", FailureReport::Never},
    {"GetModuleFileNameA", FailureReport::LastError},
    {"GetModuleFileNameW", FailureReport::LastError},
    {"MessageBoxA", FailureReport::LastError},
    {"CreateFileA", FailureReport::LastError},
    {"GetFileInformationByHandle", FailureReport::LastError},
    {"SetEndOfFile", FailureReport::LastError},
    {"WriteFile", FailureReport::LastError},
    {"FlushFileBuffers", FailureReport::LastError},
    {"CloseHandle", FailureReport::LastError},
};

}  // namespace

bool FindPlatformCall(std::string_view name, FailureReport& report) {
  for (const PlatformCall& call : kPlatformCalls) {
    if (name == call.name) {
      report = call.report;
      return true;
    }
  }
  return false;
}

const SimFault* FaultPlan::Next(std::string_view call) {
  auto counted = counts_.find(call);
  if (counted == counts_.end()) counted = counts_.emplace(std::string(call), 0).first;
  DWORD count = ++counted->second;
  for (const Interleaved& interleaved : interleaved_)
    if (interleaved.call == call && interleaved.nth == count) interleaved.action();
  for (const SimFault& fault : faults_)
    if (fault.call == call && (!fault.nth || *fault.nth == count)) {
      ++hits_;
      return &fault;
    }
  return nullptr;
}

void FaultPlan::RunBefore(std::string call, DWORD nth, std::function<void()> action) {
  interleaved_.push_back({std::move(call), nth, std::move(action)});
}
