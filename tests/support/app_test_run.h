// Runs the whole program on a simulated machine in a fresh current
// directory, for the tests of the entry, the command line and the log.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "app/entry.h"
#include "tests/support/program_run.h"
#include "tests/support/sim_test_machine.h"

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override { folder_ = std::make_unique<ScratchFolder>(); }

  void TearDown() override {
    machine_.reset();
    folder_.reset();
  }

  // Runs the program with the command line "C:\kestrave.exe" + arguments.
  int Run(const std::string& machineJson, const std::string& arguments) {
    machine_.reset();  // its destructor uninstalls the platform
    machine_ = std::make_unique<SimTestMachine>(machineJson, "\"C:\\kestrave.exe\" " + arguments);
    KestraveModule module;
    return KestraveMain();
  }

  // The log file's text with CR LF turned into LF; every line feed must
  // have come as CR LF.
  std::string LogText() const {
    std::string bytes = FileBytes("kestrave.txt");
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
      EXPECT_NE(bytes[i], '\r') << "a carriage return without a line feed";
      if (bytes[i] == '\n') {
        EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << "a bare line feed";
      }
      text += bytes[i];
    }
    return text;
  }


 public:
  static std::string FileBytes(const std::string& name) { return FileContent(name.c_str()); }

 protected:
  // A REG_SZ value as the machine holds it after the run, or none.
  std::optional<std::string> StringValue(HKEY root, const char* path, const char* name) {
    HKEY key = nullptr;
    if (Win32().RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    LONG status = Win32().RegQueryValueExA(key, name, nullptr, &type,
                                           reinterpret_cast<BYTE*>(data), &size);
    Win32().RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    return std::string(data);
  }

  bool KeyExists(HKEY root, const char* path) {
    HKEY key = nullptr;
    if (Win32().RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    Win32().RegCloseKey(key);
    return true;
  }

  SimTestMachine& Machine() { return *machine_; }

 private:
  std::unique_ptr<ScratchFolder> folder_;
  std::unique_ptr<SimTestMachine> machine_;
};

inline const char kBanner[] = "Kestrave Nov 20 2003  13:11:53\n\n";
// What -d writes for a machine without display adapters: the dump's rule.
inline const std::string kEmptyDump = std::string(80, '=') + "\n\n";
