// The version check, the device installation wait and the error texts of
// SimPlatform.
#include <cstring>

#include "sim/system/sim_constants.h"
#include "sim/system/sim_platform.h"
#include "sim/system/trace_text.h"

namespace {

const DWORD kFormatMessageAllocateBuffer = 0x00000100;

// A condition mask holds three bits per type, at three times the index of
// the type's bit; of several bits, the highest counts.
int ConditionShift(DWORD type) {
  int index = 0;
  while ((type >> index) > 1) ++index;
  return 3 * index;
}

BYTE ConditionOf(DWORDLONG mask, DWORD type) {
  return static_cast<BYTE>((mask >> ConditionShift(type)) & 0x7);
}

bool Compare(DWORD actual, DWORD wanted, BYTE condition) {
  switch (condition) {
    case VER_EQUAL:
      return actual == wanted;
    case VER_GREATER:
      return actual > wanted;
    case VER_GREATER_EQUAL:
      return actual >= wanted;
    case VER_LESS:
      return actual < wanted;
    case VER_LESS_EQUAL:
      return actual <= wanted;
    default:
      return false;
  }
}

bool HasInsert(const std::string& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '%') continue;
    if (text[i + 1] >= '1' && text[i + 1] <= '9') return true;
    ++i;  // an escape such as %% or %n
  }
  return false;
}

const char* WindowsMessage(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
      return "The system cannot find the file specified.\r\n";
    case ERROR_ACCESS_DENIED:
      return "Access is denied.\r\n";
    case ERROR_INVALID_PARAMETER:
      return "The parameter is incorrect.\r\n";
    case ERROR_DEVICE_NOT_CONNECTED:
      return "The device is not connected.\r\n";
    default:
      return nullptr;
  }
}

}  // namespace

ULONGLONG SimPlatform::VerSetConditionMask(ULONGLONG ConditionMask, DWORD TypeMask,
                                           BYTE Condition) {
  CallRecord call(context_, "VerSetConditionMask", [&] {
    return TraceHex(ConditionMask) + ", " + TraceHex(TypeMask) + ", " + std::to_string(Condition);
  });
  // One type per call; the condition is added to the mask, never replacing
  // what is there.
  ULONGLONG mask = ConditionMask;
  BYTE condition = Condition & 0x7;
  if (TypeMask != 0 && condition != 0)
    mask |= static_cast<ULONGLONG>(condition) << ConditionShift(TypeMask);
  return call.Return(mask, TraceHex(mask));
}

BOOL SimPlatform::VerifyVersionInfoA(LPOSVERSIONINFOEXA lpVersionInformation, DWORD dwTypeMask,
                                     DWORDLONG dwlConditionMask) {
  const OSVERSIONINFOEXA* info = lpVersionInformation;
  CallRecord call(context_, "VerifyVersionInfoA", [&] {
    return (info == nullptr
                ? std::string("NULL")
                : "{dwOSVersionInfoSize=" + std::to_string(info->dwOSVersionInfoSize) +
                      ", dwMajorVersion=" + std::to_string(info->dwMajorVersion) +
                      ", dwMinorVersion=" + std::to_string(info->dwMinorVersion) + "}") +
           ", " + TraceHex(dwTypeMask) + ", " + TraceHex(dwlConditionMask);
  });
  if (call.Faulted()) return call.ReturnFault(FALSE, "FALSE");
  const DWORD modelled = VER_MAJORVERSION | VER_MINORVERSION;
  BYTE majorCondition = ConditionOf(dwlConditionMask, VER_MAJORVERSION);
  BYTE minorCondition = ConditionOf(dwlConditionMask, VER_MINORVERSION);
  // The machine has a major and a minor version and nothing else to compare.
  if (info == nullptr || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOEXA) || dwTypeMask == 0 ||
      (dwTypeMask & ~modelled) != 0 || ((dwTypeMask & VER_MAJORVERSION) && majorCondition == 0) ||
      ((dwTypeMask & VER_MINORVERSION) && minorCondition == 0)) {
    call.SetLastError(ERROR_INVALID_PARAMETER);
    return call.Return(FALSE, "FALSE");
  }
  // The major versions decide unless they are equal; only then the minor.
  const Machine::Os& os = machine_.os;
  bool passed;
  if ((dwTypeMask & VER_MAJORVERSION) &&
      (os.major != info->dwMajorVersion || !(dwTypeMask & VER_MINORVERSION)))
    passed = Compare(os.major, info->dwMajorVersion, majorCondition);
  else
    passed = Compare(os.minor, info->dwMinorVersion, minorCondition);
  if (!passed) {
    call.SetLastError(ERROR_OLD_WIN_VERSION);
    return call.Return(FALSE, "FALSE");
  }
  return call.Return(TRUE, "TRUE");
}

DWORD SimPlatform::CMP_WaitNoPendingInstallEvents(DWORD dwTimeout) {
  CallRecord call(context_, "CMP_WaitNoPendingInstallEvents",
                  [&] { return std::to_string(dwTimeout); });
  const std::vector<DWORD>& results = machine_.deviceInstall.results;
  DWORD listed = results[installWaits_ < results.size() ? installWaits_ : results.size() - 1];
  ++installWaits_;
  DWORD result = call.Faulted() ? static_cast<DWORD>(call.FaultStatus()) : listed;
  if (result == WAIT_FAILED) call.SetLastError(machine_.deviceInstall.lastError);
  return call.Return(result, std::to_string(result));
}

DWORD SimPlatform::FormatMessageA(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId,
                                  DWORD dwLanguageId, LPSTR lpBuffer, DWORD nSize,
                                  va_list* Arguments) {
  CallRecord call(context_, "FormatMessageA", [&] {
    return TraceHex(dwFlags) + ", " + TracePointer(lpSource) + ", " + std::to_string(dwMessageId) +
           ", " + std::to_string(dwLanguageId) + ", " + TracePointer(lpBuffer) + ", " +
           std::to_string(nSize) + ", " + TracePointer(Arguments);
  });
  if (call.Faulted()) return call.ReturnFault<DWORD>(0, "0");
  if ((dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) == 0 ||
      (dwFlags & kFormatMessageAllocateBuffer) != 0 || lpBuffer == nullptr) {
    call.SetLastError(ERROR_INVALID_PARAMETER);
    return call.Return<DWORD>(0, "0");
  }
  std::string text;
  auto listed = machine_.messages.find(dwMessageId);
  if (listed != machine_.messages.end()) {
    text = codePage_.FromMachine(listed->second);
  } else if (const char* own = WindowsMessage(dwMessageId)) {
    text = own;
  } else {
    call.SetLastError(sim::kErrorMessageNotFound);
    return call.Return<DWORD>(0, "0");
  }
  // An insert (%1 to %99) is filled from the arguments, unless the caller
  // asks for inserts to stay as written: without arguments, the system reads
  // through a null pointer.
  if ((dwFlags & FORMAT_MESSAGE_IGNORE_INSERTS) == 0 && Arguments == nullptr && HasInsert(text))
    call.RaiseAccessViolation();
  if (text.size() + 1 > nSize) {
    call.SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return call.Return<DWORD>(0, "0");
  }
  std::memcpy(lpBuffer, text.c_str(), text.size() + 1);
  DWORD length = static_cast<DWORD>(text.size());
  return call.Return(length, std::to_string(length), TraceString(lpBuffer));
}
