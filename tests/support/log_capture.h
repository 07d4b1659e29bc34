// Collects what the code under test writes to the log stream, for as long
// as the capture lives.
#pragma once

#include <sstream>
#include <streambuf>
#include <string>

#include "process/log.h"

class LogCapture {
 public:
  LogCapture() : previous_(Log().rdbuf(text_.rdbuf())) {}
  ~LogCapture() { Log().rdbuf(previous_); }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  std::string Text() const { return text_.str(); }

 private:
  std::stringstream text_;
  std::streambuf* previous_;
};
