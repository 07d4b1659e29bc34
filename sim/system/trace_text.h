// The pieces of a trace line (docs/trace-format.md): quoted strings with
// percent escapes, hexadecimal flags and handles, the names of the
// predefined keys.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32_types.h"

// A zero-terminated string, or NULL.
std::string TraceString(const char* text);
// Exactly size bytes, or NULL.
std::string TraceBytes(const void* data, size_t size);
// A wide string as its UTF-8 bytes, in the form of the others: zero-terminated
// or exactly length UTF-16 units.
std::string TraceString(const WCHAR* text);
std::string TraceWide(const WCHAR* text, size_t length);
// Exactly length bytes or UTF-16 units, for the calls that come in both.
inline std::string TraceText(const char* text, size_t length) { return TraceBytes(text, length); }
inline std::string TraceText(const WCHAR* text, size_t length) { return TraceWide(text, length); }
// Registry data: the string types quoted, the others as hex:00,ff,...
std::string TraceRegistryData(DWORD type, const void* data, size_t size);
std::string TraceRegistryType(DWORD type);
std::string TraceHex(std::uint64_t value);
std::string TraceBool(BOOL value);
std::string TraceKey(HKEY key);
std::string TraceHandle(HANDLE handle);
// A pointer argument whose target is not worth showing: & or NULL.
std::string TracePointer(const void* pointer);
// An in-out count: &N, or NULL.
std::string TraceCount(const DWORD* count);
