#include "tools/kestrave-capture/native/native_facts.h"

#include <sddl.h>

#include <vector>

namespace {

std::string SystemError(const char* what) {
  return std::string(what) + " (error " + std::to_string(::GetLastError()) + ")";
}

class TokenHandle {
 public:
  TokenHandle() {
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &handle_))
      throw CaptureError(SystemError("cannot open the process's token"));
  }
  ~TokenHandle() { ::CloseHandle(handle_); }
  TokenHandle(const TokenHandle&) = delete;
  TokenHandle& operator=(const TokenHandle&) = delete;
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

// The SID of the user the process runs as: its hive is HKEY_USERS\<SID>.
std::string UserSid() {
  TokenHandle token;
  DWORD size = 0;
  ::GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  if (size == 0 || !::GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size))
    throw CaptureError(SystemError("cannot read the user of the process's token"));
  LPSTR text = nullptr;
  if (!::ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text))
    throw CaptureError(SystemError("cannot write the user's SID as text"));
  std::string sid(text);
  ::LocalFree(text);
  return sid;
}

// Through UTF-16: the only way from the ANSI code page to UTF-8 that
// Windows 2000 offers. A text that does not convert is kept as it is.
std::string AnsiToUtf8(const std::string& text) {
  if (text.empty()) return text;
  int length = static_cast<int>(text.size());
  int wide = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (wide <= 0) return text;
  std::vector<wchar_t> utf16(static_cast<size_t>(wide));
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, utf16.data(), wide);
  int bytes = ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return text;
  std::string utf8(static_cast<size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), wide, &utf8[0], bytes, nullptr, nullptr);
  return utf8;
}

}  // namespace

CaptureFacts ReadNativeFacts() {
  // The version as the program's own VerifyVersionInfoA compares it: both
  // answer under the same manifest.
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (!::GetVersionExA(&version)) throw CaptureError(SystemError("cannot read the version"));
  CaptureFacts facts;
  facts.osMajor = version.dwMajorVersion;
  facts.osMinor = version.dwMinorVersion;
  facts.codePage = ::GetACP();
  facts.userSid = UserSid();
  facts.toUtf8 = AnsiToUtf8;
  return facts;
}
