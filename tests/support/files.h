// Files for the tests: a folder of their own to work in, and a file's bytes.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// A fresh folder as the current directory for as long as it lives, so the
// files of one test never meet those of another, nor those of a test run
// of another build at the same time.
class ScratchFolder {
 public:
  ScratchFolder() : previous_(std::filesystem::current_path()) {
    static int made = 0;
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test == nullptr ? "none" : std::string(test->test_suite_name()) + "-" +
                                                      test->name();
    for (char& c : name)
      if (c == '/') c = '-';
    folder_ = std::filesystem::temp_directory_path() /
              ("kestrave-test-" + std::to_string(getpid()) + "-" + name + "-" +
               std::to_string(++made));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    std::filesystem::current_path(folder_);
    ++Current();
  }
  ~ScratchFolder() {
    --Current();
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // How many scratch folders are alive: none means the current directory
  // is nobody's to write in.
  static int& Current() {
    static int count = 0;
    return count;
  }

 private:
  std::filesystem::path previous_;
  std::filesystem::path folder_;
};

inline std::string FileContent(const std::filesystem::path& name) {
  std::ifstream file(name, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}
