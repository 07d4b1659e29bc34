// The wallpaper setting, the environment and the file test of SimPlatform.
#include <algorithm>
#include <cstring>

#include "sim/system/sim_constants.h"
#include "sim/system/sim_platform.h"
#include "sim/system/trace_text.h"
#include "sim/system/windows1252_case.h"

namespace {

std::string SpiAction(UINT action) {
  if (action == SPI_GETDESKWALLPAPER) return "SPI_GETDESKWALLPAPER";
  if (action == SPI_SETDESKWALLPAPER) return "SPI_SETDESKWALLPAPER";
  return TraceHex(action);
}

// Backslashes for slashes and no trailing backslash, for comparing paths.
std::string NormalPath(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

// Whether folder holds the listed path, at any depth.
bool HoldsPath(const std::string& folder, const std::string& listed) {
  std::string normal = NormalPath(listed);
  return normal.size() > folder.size() && normal[folder.size()] == '\\' &&
         EqualNoCase(normal.substr(0, folder.size()), folder);
}

// A listed directory, or a folder on the way to something listed.
bool IsDirectory(const std::string& path, const Machine& machine) {
  for (const std::string& directory : machine.directories)
    if (EqualNoCase(NormalPath(directory), path) || HoldsPath(path, directory)) return true;
  for (const std::string& file : machine.files)
    if (HoldsPath(path, file)) return true;
  return false;
}

}  // namespace

BOOL SimPlatform::SystemParametersInfoA(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni) {
  std::string target = uiAction == SPI_SETDESKWALLPAPER ? TraceString(static_cast<char*>(pvParam))
                                                        : TracePointer(pvParam);
  CallRecord call(context_, "SystemParametersInfoA", [&] {
    return SpiAction(uiAction) + ", " + std::to_string(uiParam) + ", " + target + ", " +
           TraceHex(fWinIni);
  });
  if (call.Faulted()) return call.ReturnFault(FALSE, "FALSE");
  Machine::Wallpaper& wallpaper = machine_.wallpaper;
  if (uiAction == SPI_GETDESKWALLPAPER) {
    if (!wallpaper.readable || pvParam == nullptr) {
      call.SetLastError(pvParam == nullptr ? ERROR_INVALID_PARAMETER : ERROR_ACCESS_DENIED);
      return call.Return(FALSE, "FALSE");
    }
    // At most uiParam bytes: a path that does not fit fills the buffer to
    // its end, without a terminating zero.
    const std::string path = codePage_.FromMachine(wallpaper.path);
    size_t copied = std::min<size_t>(path.size() + 1, uiParam);
    std::memcpy(pvParam, path.c_str(), copied);
    size_t shown = std::min(copied, path.size());
    return call.Return(TRUE, "TRUE", TraceBytes(pvParam, shown));
  }
  if (uiAction == SPI_SETDESKWALLPAPER) {
    if (!wallpaper.settable) {
      call.SetLastError(ERROR_ACCESS_DENIED);
      return call.Return(FALSE, "FALSE");
    }
    wallpaper.path =
        codePage_.ToMachine(pvParam != nullptr ? static_cast<const char*>(pvParam) : "");
    return call.Return(TRUE, "TRUE");
  }
  call.SetLastError(sim::kErrorInvalidSpiValue);
  return call.Return(FALSE, "FALSE");
}

DWORD SimPlatform::GetEnvironmentVariableA(LPCSTR lpName, LPSTR lpBuffer, DWORD nSize) {
  CallRecord call(context_, "GetEnvironmentVariableA", [&] {
    return TraceString(lpName) + ", " + TracePointer(lpBuffer) + ", " + std::to_string(nSize);
  });
  if (call.Faulted()) return call.ReturnFault<DWORD>(0, "0");
  const std::string* value = nullptr;
  for (const auto& variable : machine_.environment)
    if (lpName != nullptr && EqualNoCase(variable.first, lpName)) value = &variable.second;
  if (value == nullptr) {
    call.SetLastError(ERROR_ENVVAR_NOT_FOUND);
    return call.Return<DWORD>(0, "0");
  }
  const std::string text = codePage_.FromMachine(*value);
  DWORD length = static_cast<DWORD>(text.size());
  // A value that does not fit leaves the buffer alone and asks for the
  // size with the terminating zero; one that fits answers its length
  // without it.
  if (lpBuffer == nullptr || length >= nSize)
    return call.Return(length + 1, std::to_string(length + 1));
  std::memcpy(lpBuffer, text.c_str(), length + 1);
  return call.Return(length, std::to_string(length), TraceString(lpBuffer));
}

DWORD SimPlatform::GetFileAttributesA(LPCSTR lpFileName) {
  CallRecord call(context_, "GetFileAttributesA", [&] { return TraceString(lpFileName); });
  if (call.Faulted())
    return call.ReturnFault(INVALID_FILE_ATTRIBUTES, TraceHex(INVALID_FILE_ATTRIBUTES));
  if (lpFileName == nullptr) {
    call.SetLastError(ERROR_INVALID_PARAMETER);
    return call.Return(INVALID_FILE_ATTRIBUTES, TraceHex(INVALID_FILE_ATTRIBUTES));
  }
  std::string asked = codePage_.ToMachine(lpFileName);
  std::string path = NormalPath(asked);
  bool namesFolder = !asked.empty() && (asked.back() == '\\' || asked.back() == '/');
  DWORD attributes = INVALID_FILE_ATTRIBUTES;
  if (IsDirectory(path, machine_)) {
    attributes = FILE_ATTRIBUTE_DIRECTORY;
  } else if (!namesFolder) {
    for (const std::string& file : machine_.files)
      if (EqualNoCase(NormalPath(file), path)) attributes = sim::kFileAttributeArchive;
  }
  if (attributes == INVALID_FILE_ATTRIBUTES) call.SetLastError(ERROR_FILE_NOT_FOUND);
  return call.Return(attributes, TraceHex(attributes));
}
