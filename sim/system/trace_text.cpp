#include "sim/system/trace_text.h"

#include <cstdio>

#include "sim/system/utf16_text.h"

std::string TraceBytes(const void* data, size_t size) {
  if (data == nullptr) return "NULL";
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  std::string text = "\"";
  char escape[4];
  for (size_t i = 0; i < size; ++i) {
    unsigned char c = bytes[i];
    // The percent sign and the quote are escaped so that the text stays
    // unambiguous; backslashes stand for themselves, paths stay readable.
    if (c < 0x20 || c >= 0x7F || c == '"' || c == '%') {
      std::snprintf(escape, sizeof escape, "%%%02X", c);
      text += escape;
    } else {
      text += static_cast<char>(c);
    }
  }
  return text + "\"";
}

std::string TraceString(const char* text) {
  if (text == nullptr) return "NULL";
  return TraceBytes(text, std::char_traits<char>::length(text));
}

std::string TraceWide(const WCHAR* text, size_t length) {
  if (text == nullptr) return "NULL";
  const std::string utf8 = Utf8Of(text, length);
  return TraceBytes(utf8.data(), utf8.size());
}

std::string TraceString(const WCHAR* text) {
  if (text == nullptr) return "NULL";
  return TraceWide(text, std::char_traits<WCHAR>::length(text));
}

std::string TraceRegistryType(DWORD type) {
  switch (type) {
    case REG_NONE:
      return "REG_NONE";
    case REG_SZ:
      return "REG_SZ";
    case REG_EXPAND_SZ:
      return "REG_EXPAND_SZ";
    case REG_BINARY:
      return "REG_BINARY";
    case REG_DWORD:
      return "REG_DWORD";
    case REG_MULTI_SZ:
      return "REG_MULTI_SZ";
    default:
      return std::to_string(type);
  }
}

std::string TraceRegistryData(DWORD type, const void* data, size_t size) {
  if (data == nullptr) return "NULL";
  if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ)
    return TraceBytes(data, size);
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  std::string text = "hex:";
  char digits[4];
  for (size_t i = 0; i < size; ++i) {
    std::snprintf(digits, sizeof digits, i == 0 ? "%02x" : ",%02x", bytes[i]);
    text += digits;
  }
  return text;
}

std::string TraceHex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

std::string TraceBool(BOOL value) { return value ? "TRUE" : "FALSE"; }

std::string TraceKey(HKEY key) {
  if (key == nullptr) return "NULL";
  if (key == HKEY_CLASSES_ROOT) return "HKEY_CLASSES_ROOT";
  if (key == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
  if (key == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
  if (key == HKEY_USERS) return "HKEY_USERS";
  return TraceHex(reinterpret_cast<std::uintptr_t>(key));
}

std::string TraceHandle(HANDLE handle) {
  if (handle == nullptr) return "NULL";
  if (handle == INVALID_HANDLE_VALUE) return "INVALID_HANDLE_VALUE";
  return TraceHex(reinterpret_cast<std::uintptr_t>(handle));
}

std::string TracePointer(const void* pointer) { return pointer == nullptr ? "NULL" : "&"; }

std::string TraceCount(const DWORD* count) {
  return count == nullptr ? "NULL" : "&" + std::to_string(*count);
}
