// Prints what Windows reads from a program's resources: the manifest of the
// process, then one line per version string, NAME=VALUE, and the fixed
// file version as FileVersion#=A.B.C.D. Exit 1 when either is missing.
#include <windows.h>

#include <cstdio>

namespace {

bool PrintManifest(const char* path) {
  HMODULE module = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return false;
  HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  HGLOBAL loaded = resource == nullptr ? nullptr : LoadResource(module, resource);
  const void* text = loaded == nullptr ? nullptr : LockResource(loaded);
  if (text != nullptr) std::fwrite(text, 1, SizeofResource(module, resource), stdout);
  FreeLibrary(module);
  return text != nullptr;
}

bool PrintVersion(const char* path) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  if (size == 0) return false;
  char* data = new char[size];
  bool found = GetFileVersionInfoA(path, 0, size, data) != 0;
  static const char* const kNames[] = {"ProductName", "FileDescription", "FileVersion",
                                       "ProductVersion", "OriginalFilename"};
  for (const char* name : kNames) {
    char query[64];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\040904B0\\%s", name);
    void* value = nullptr;
    UINT length = 0;
    if (found && VerQueryValueA(data, query, &value, &length) && length > 0)
      std::printf("%s=%s\n", name, static_cast<const char*>(value));
    else
      found = false;
  }
  void* fixed = nullptr;
  UINT length = 0;
  if (found && VerQueryValueA(data, "\\", &fixed, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
    const VS_FIXEDFILEINFO* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    std::printf("FileVersion#=%lu.%lu.%lu.%lu\n",
                static_cast<unsigned long>(HIWORD(info->dwFileVersionMS)),
                static_cast<unsigned long>(LOWORD(info->dwFileVersionMS)),
                static_cast<unsigned long>(HIWORD(info->dwFileVersionLS)),
                static_cast<unsigned long>(LOWORD(info->dwFileVersionLS)));
  } else {
    found = false;
  }
  delete[] data;
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 1;
  bool manifest = PrintManifest(argv[1]);
  bool version = PrintVersion(argv[1]);
  return manifest && version ? 0 : 1;
}
