#include "app/log.h"

#include <iostream>
#include <streambuf>

#include "app/process_state.h"
#include "platform/platform.h"

namespace {

// Writes through the platform's file handle and turns every line feed into
// CR LF, so the file is the same on every OS. Nothing is kept back: the
// stream is unit-buffered and every insertion ends in sync().
class LogFileBuffer : public std::streambuf {
 public:
  bool Open(const char* name) {
    HANDLE handle = Win32().CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    if (!Win32().SetEndOfFile(handle)) {
      Win32().CloseHandle(handle);
      return false;
    }
    handle_ = handle;
    return true;
  }

  void Close() {
    if (handle_ == INVALID_HANDLE_VALUE) return;
    sync();
    Win32().CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    pending_.clear();
  }

 protected:
  int_type overflow(int_type c) override {
    if (handle_ == INVALID_HANDLE_VALUE) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    Append(traits_type::to_char_type(c));
    return c;
  }

  std::streamsize xsputn(const char* text, std::streamsize count) override {
    if (handle_ == INVALID_HANDLE_VALUE) return 0;
    for (std::streamsize i = 0; i < count; ++i) Append(text[i]);
    return count;
  }

  int sync() override {
    if (handle_ == INVALID_HANDLE_VALUE) return -1;
    if (pending_.empty()) return 0;
    DWORD written = 0;
    BOOL ok = Win32().WriteFile(handle_, pending_.data(), static_cast<DWORD>(pending_.size()),
                                &written, nullptr);
    bool complete = ok && written == pending_.size();
    pending_.clear();
    return complete ? 0 : -1;
  }

 private:
  void Append(char c) {
    if (c == '\n') pending_ += '\r';
    pending_ += c;
  }

  HANDLE handle_ = INVALID_HANDLE_VALUE;
  std::string pending_;
};

LogFileBuffer logFile;
std::streambuf* originalBuffer = nullptr;

}  // namespace

std::ostream& Log() { return std::cerr; }

void OpenLog(bool toFile) {
  if (!LogOpen) {
    // A file that cannot be opened or emptied leaves the buffer closed: it
    // refuses the first write, the stream fails and drops the rest.
    logFile.Open(toFile ? "kestrave.txt" : "nul");
    LogOpen = true;
  }
  std::streambuf* previous = std::cerr.rdbuf(&logFile);
  if (previous != &logFile) originalBuffer = previous;
  std::cerr.clear();
  std::cerr.setf(std::ios::unitbuf);
}

void CloseLog() {
  if (!LogOpen) return;
  std::cerr.flush();
  logFile.Close();
  LogOpen = false;
  std::cerr.rdbuf(originalBuffer);
  std::cerr.clear();
}

void LogFault(int line, const std::string& text) {
  Log() << "\nError in Kestrave line " << std::to_string(line) << ": " << text << ".\n";
}
