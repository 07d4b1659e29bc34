#include "app/wallpaper.h"

#include <string>
#include <vector>

#include "base/fixed_text.h"
#include "platform/platform.h"
#include "process/log.h"

namespace {

struct WallpaperFamily {
  const char* fileName;
  const char* prefix;
};

// The wallpapers the step accepts as current, in lower case.
const WallpaperFamily kFamilies[] = {
    {"zqx640h.bmp", "zqx"},  {"zqx800h.bmp", "zqx"},  {"zqx1024h.bmp", "zqx"},
    {"zqx1280h.bmp", "zqx"}, {"ov.bmp", "zqx"},       {"kvd640h.bmp", "kvd"},
    {"kvd800h.bmp", "kvd"},  {"kvd1024h.bmp", "kvd"}, {"kvd1280h.bmp", "kvd"},
    {"tavrin.bmp", "kvd"},
};

const DWORD kWidestBitmap = 1280;

const char* FamilyPrefix(const std::string& lowerCaseName) {
  for (const WallpaperFamily& family : kFamilies)
    if (lowerCaseName == family.fileName) return family.prefix;
  return nullptr;
}

// The Windows directory from "windir", with a trailing backslash; a single
// backslash when the variable is not set.
std::string WindowsDirectory() {
  std::vector<char> buffer(MAX_PATH);
  DWORD length = Win32().GetEnvironmentVariableA("windir", buffer.data(),
                                                 static_cast<DWORD>(buffer.size()));
  if (length >= buffer.size()) {
    buffer.resize(length);
    length = Win32().GetEnvironmentVariableA("windir", buffer.data(),
                                             static_cast<DWORD>(buffer.size()));
    if (length >= buffer.size()) length = 0;
  }
  std::string directory(buffer.data(), length);
  if (directory.empty() || directory.back() != '\\') directory += '\\';
  return directory;
}

std::string FolderOf(const std::string& path) {
  size_t separator = path.find_last_of("\\:");
  return separator == std::string::npos ? "" : path.substr(0, separator + 1);
}

bool IsFile(const std::string& path) {
  DWORD attributes = Win32().GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

std::string SizedWallpaper(const std::string& current, DWORD width) {
  std::string folder = FolderOf(current);
  std::string name = current.substr(folder.size());
  Win32().CharLowerBuffA(&name[0], static_cast<DWORD>(name.size()));
  const char* prefix = FamilyPrefix(name);
  if (prefix == nullptr) return std::string();
  return folder + prefix + std::to_string(width < kWidestBitmap ? width : kWidestBitmap) + "h.bmp";
}

void MatchWallpaper(const TMode* mode) {
  if (mode == nullptr) {
    LogFault(340, "Null mode pointer");
    return;
  }
  char buffer[MAX_PATH] = {};
  if (!Win32().SystemParametersInfoA(SPI_GETDESKWALLPAPER, MAX_PATH, buffer, 0)) {
    LogFault(351, "Unable to read current wallpaper setting");
    return;
  }
  std::string current = FixedText(buffer);
  Log() << "Wallpaper is currently set to '" << current << "'.\n";

  std::string folder = FolderOf(current);
  std::string windows = WindowsDirectory();
  if (Win32().CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, folder.c_str(), -1,
                             windows.c_str(), -1) != CSTR_EQUAL) {
    Log() << "Wallpaper not changed since current wallpaper is not in the Windows directory.\n";
    return;
  }

  std::string wanted = SizedWallpaper(current, mode->Width);
  if (wanted.empty()) {
    Log() << "Wallpaper not changed since a non-ZQX wallpaper is currently selected.\n";
    return;
  }
  if (!IsFile(wanted)) {
    Log() << "Wallpaper not changed since the desired wallpaper '" << wanted
          << "' does not exist.\n";
    return;
  }
  if (!Win32().SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, &wanted[0],
                                     SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE)) {
    LogFault(404, "Unable to set wallpaper to '" + wanted + "'");
    return;
  }
  Log() << "Wallpaper set to '" << wanted << "'.\n";
}
