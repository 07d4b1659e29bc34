// The locale calls of SimPlatform: comparison and case as in Windows-1252,
// and the conversion from the machine's ANSI code page.
#include <cstring>

#include "sim/system/sim_constants.h"
#include "sim/system/sim_platform.h"
#include "sim/system/trace_text.h"
#include "sim/system/utf16_text.h"
#include "sim/system/windows1252_case.h"

namespace {

// A negative count means a zero-terminated string.
size_t CountedLength(LPCSTR text, int count) {
  if (text == nullptr) return 0;
  return count < 0 ? std::strlen(text) : static_cast<size_t>(count);
}

}  // namespace

int SimPlatform::CompareStringA(LCID Locale, DWORD dwCmpFlags, LPCSTR lpString1, int cchCount1,
                                LPCSTR lpString2, int cchCount2) {
  size_t length1 = CountedLength(lpString1, cchCount1);
  size_t length2 = CountedLength(lpString2, cchCount2);
  CallRecord call(context_, "CompareStringA", [&] {
    return TraceHex(Locale) + ", " + TraceHex(dwCmpFlags) + ", " + TraceBytes(lpString1, length1) +
           ", " + std::to_string(cchCount1) + ", " + TraceBytes(lpString2, length2) + ", " +
           std::to_string(cchCount2);
  });
  if (call.Faulted()) return call.ReturnFault(0, "0");
  if (lpString1 == nullptr || lpString2 == nullptr) {
    call.SetLastError(ERROR_INVALID_PARAMETER);
    return call.Return(0, "0");
  }
  if ((dwCmpFlags & ~static_cast<DWORD>(NORM_IGNORECASE)) != 0) {
    call.SetLastError(sim::kErrorInvalidFlags);
    return call.Return(0, "0");
  }
  std::string_view first(lpString1, length1);
  std::string_view second(lpString2, length2);
  int order =
      (dwCmpFlags & NORM_IGNORECASE) != 0 ? CompareNoCase(first, second) : first.compare(second);
  int result = order < 0 ? CSTR_LESS_THAN : order == 0 ? CSTR_EQUAL : CSTR_GREATER_THAN;
  return call.Return(result, std::to_string(result));
}

DWORD SimPlatform::CharLowerBuffA(LPSTR lpsz, DWORD cchLength) {
  CallRecord call(context_, "CharLowerBuffA", [&] {
    return TraceBytes(lpsz, lpsz == nullptr ? 0 : cchLength) + ", " + std::to_string(cchLength);
  });
  if (call.Faulted()) return call.ReturnFault<DWORD>(0, "0");
  if (lpsz == nullptr) return call.Return<DWORD>(0, "0");
  for (DWORD i = 0; i < cchLength; ++i) lpsz[i] = LowerCase1252(lpsz[i]);
  return call.Return(cchLength, std::to_string(cchLength), TraceBytes(lpsz, cchLength));
}

// Only the ANSI code page is converted from, and with no flags.
int SimPlatform::MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr,
                                     int cbMultiByte, LPWSTR lpWideCharStr, int cchWideChar) {
  size_t length = CountedLength(lpMultiByteStr, cbMultiByte);
  CallRecord call(context_, "MultiByteToWideChar", [&] {
    return std::to_string(CodePage) + ", " + TraceHex(dwFlags) + ", " +
           TraceBytes(lpMultiByteStr, length) + ", " + std::to_string(cbMultiByte) + ", " +
           TracePointer(lpWideCharStr) + ", " + std::to_string(cchWideChar);
  });
  if (call.Faulted()) return call.ReturnFault(0, "0");
  if (lpMultiByteStr == nullptr || cbMultiByte == 0 || cchWideChar < 0 ||
      (lpWideCharStr == nullptr && cchWideChar != 0) || CodePage != CP_ACP) {
    call.SetLastError(ERROR_INVALID_PARAMETER);
    return call.Return(0, "0");
  }
  if (dwFlags != 0) {
    call.SetLastError(sim::kErrorInvalidFlags);
    return call.Return(0, "0");
  }
  // A count of -1 converts the terminating zero too.
  WideText wide = Utf16Of(codePage_.ToMachine(std::string(lpMultiByteStr, length)));
  if (cbMultiByte < 0) wide += WCHAR();
  const int needed = static_cast<int>(wide.size());
  if (cchWideChar == 0) return call.Return(needed, std::to_string(needed));
  if (needed > cchWideChar) {
    call.SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return call.Return(0, "0");
  }
  wide.copy(lpWideCharStr, wide.size());
  return call.Return(needed, std::to_string(needed), TraceWide(lpWideCharStr, wide.size()));
}
