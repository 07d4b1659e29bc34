#include "process/log.h"

#include <iostream>
#include <streambuf>

#include "platform/own_file.h"
#include "platform/platform.h"
#include "process/process_state.h"

namespace {

// Writes through the platform's file handle and turns every line feed into
// CR LF, so the file is the same on every OS. Nothing is kept back: the
// stream is unit-buffered and every insertion ends in sync().
class LogFileBuffer : public std::streambuf {
 public:
  // A real file is emptied only when it is a file of its own. In a folder
  // others can write to, a planted hard link or symbolic link named like the
  // log would have the run empty and overwrite the file it leads to: such a
  // name is opened as the link itself and left untouched, and no log is
  // written, as for a file that cannot be opened.
  //
  // No one else may write to the log while it is open: two runs started at
  // once in one folder (at log-on and by hand) would each empty it and
  // write over the other's lines. The second finds the log held open
  // (ERROR_SHARING_VIOLATION) and goes on without one.
  bool Open(const char* name, bool realFile) {
    HANDLE handle = Win32().CreateFileA(
        name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
        FILE_ATTRIBUTE_NORMAL | (realFile ? FILE_FLAG_OPEN_REPARSE_POINT : 0), nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    if ((realFile && !IsFileOfItsOwn(handle)) || !Win32().SetEndOfFile(handle)) {
      Win32().CloseHandle(handle);
      return false;
    }
    handle_ = handle;
    realFile_ = realFile;
    return true;
  }

  // Puts what the log holds on the disk, so that it survives the system
  // going down in what follows.
  void FlushToDisk() {
    if (handle_ != INVALID_HANDLE_VALUE && realFile_) Win32().FlushFileBuffers(handle_);
  }

  void Close() {
    if (handle_ == INVALID_HANDLE_VALUE) return;
    sync();
    Win32().CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    realFile_ = false;
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
  bool realFile_ = false;
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
    logFile.Open(toFile ? "kestrave.txt" : "nul", toFile);
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

void FlushLogToDisk() { logFile.FlushToDisk(); }

void LogFault(int line, const std::string& text) {
  Log() << "\nError in Kestrave line " << std::to_string(line) << ": " << text << ".\n";
}
