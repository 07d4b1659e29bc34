// Win32 constants the simulated machine answers with that the program
// itself never names, so platform/win32_types.h does not declare them.
#pragma once

#include "platform/win32_types.h"

namespace sim {

constexpr DWORD kErrorInvalidFunction = 1;
constexpr DWORD kErrorPathNotFound = 3;
constexpr DWORD kErrorSharingViolation = 32;
constexpr DWORD kErrorModNotFound = 126;
constexpr DWORD kErrorMessageNotFound = 317;  // ERROR_MR_MID_NOT_FOUND
constexpr DWORD kErrorNoAccess = 998;         // an invalid pointer was passed
constexpr DWORD kErrorInvalidFlags = 1004;
constexpr DWORD kErrorInvalidSpiValue = 1439;

constexpr DWORD kFileAttributeArchive = 0x20;
constexpr DWORD kGenericRead = 0x80000000;
constexpr WORD kDevModeSpecVersion = 0x0401;  // DM_SPECVERSION

constexpr DWORD kAccessViolation = 0xC0000005;

// The NTSTATUS codes of ntdll's registry calls.
constexpr LONG kStatusInvalidHandle = static_cast<LONG>(0xC0000008);
constexpr LONG kStatusAccessDenied = static_cast<LONG>(0xC0000022);
constexpr LONG kStatusCannotDelete = static_cast<LONG>(0xC0000121);
constexpr LONG kStatusKeyDeleted = static_cast<LONG>(0xC000017C);

}  // namespace sim
