// kestrave-capture: writes the machine file of the PC it runs on, for
// kestrave-sim to replay; the usage below says how it is called. It reads
// and changes nothing: no mode, no registry value, no file but its output,
// which it writes whole or not at all.
#include <cstdio>
#include <exception>
#include <string>

#include "app/start_up.h"
#include "platform/native/native_platform.h"
#include "platform/own_file.h"
#include "sim/machine_file/machine_document.h"
#include "sim/machine_file/temporary_name.h"
#include "tools/kestrave-capture/native/native_facts.h"

// After <windows.h>, which the platform's header brings in.
#include <wincrypt.h>

namespace {

const char kUsage[] =
    "Usage: kestrave-capture [FILE]\n"
    "       kestrave-capture --help\n"
    "\n"
    "Writes the machine file of this PC to FILE (machine.json in the current\n"
    "folder without one; - for standard output): the displays and their\n"
    "modes, the monitors' EDID blocks and the registry keys Kestrave reads,\n"
    "for kestrave-sim to replay. It changes nothing on the PC.\n"
    "\n"
    "Exit code 0 when the file is written; 1, with a line on standard error\n"
    "saying why, otherwise, and FILE is left as it was.\n";

// The system's text for the last error, as the program writes one.
std::string LastErrorText() {
  DWORD error = ::GetLastError();
  std::string message = SystemMessage(error);
  return message.empty() ? "error " + std::to_string(error) : message;
}

bool WriteAll(HANDLE file, const std::string& text) {
  DWORD written = 0;
  return ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

// A name beside the target that no one can know before the capture makes
// the file; one known in advance could also keep the capture from being
// written at all.
std::string TemporaryName(const std::string& path) {
  HCRYPTPROV provider = 0;
  unsigned char random[8];
  if (!::CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT))
    throw CaptureError(path + ": " + LastErrorText());
  BOOL made = ::CryptGenRandom(provider, sizeof random, random);
  std::string problem = made ? std::string() : LastErrorText();
  ::CryptReleaseContext(provider, 0);
  if (!made) throw CaptureError(path + ": " + problem);
  return TemporaryNameBeside(path, random, ".kestrave-capture-tmp");
}

// Written beside the target and renamed over it, so that the target is the
// old file or the whole new one. The temporary file is made new, never
// opened where something exists under its name, and it is the only file
// the capture deletes.
void SaveAtomically(const std::string& path, const std::string& text) {
  const std::string temporary = TemporaryName(path);
  HANDLE file = ::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw CaptureError(path + ": " + LastErrorText());
  std::string problem;
  if (!IsFileOfItsOwn(file))
    problem = temporary + " is not a file of its own";
  else if (!WriteAll(file, text) || !::FlushFileBuffers(file))
    problem = LastErrorText();
  ::CloseHandle(file);
  if (problem.empty() && !::MoveFileExA(temporary.c_str(), path.c_str(),
                                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    problem = LastErrorText();
  if (!problem.empty()) {
    ::DeleteFileA(temporary.c_str());
    throw CaptureError(path + ": " + problem);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string target = "machine.json";
  if (argc > 1) {
    std::string argument = argv[1];
    if (argument == "--help" || argument == "-?" || argument == "/?") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (argc > 2 || (argument.size() > 1 && argument[0] == '-')) {
      std::fprintf(stderr,
                   "kestrave-capture: one FILE at most, and no option but --help; "
                   "try 'kestrave-capture --help'\n");
      return 1;
    }
    target = argument;
  }
  static NativePlatform platform;
  SetPlatform(&platform);
  try {
    std::string text = MachineDocumentText(MachineDocument(CaptureMachine(ReadNativeFacts())));
    if (target == "-") {
      if (!WriteAll(::GetStdHandle(STD_OUTPUT_HANDLE), text))
        throw CaptureError("standard output: " + LastErrorText());
    } else {
      SaveAtomically(target, text);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "kestrave-capture: %s\n", error.what());
    return 1;
  }
  return 0;
}
