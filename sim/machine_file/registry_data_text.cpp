#include "sim/machine_file/registry_data_text.h"

#include <cstdio>

#include "sim/machine_file/utf8_check.h"

namespace {

const char kDwordPrefix[] = "dword:";
const char kHexPrefix[] = "hex:";
const char kTypedHexPrefix[] = "hex(";

bool StartsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "00,ff,..." (possibly empty) into bytes.
std::string ParseByteList(const std::string& list) {
  std::string bytes;
  if (list.empty()) return bytes;
  size_t position = 0;
  while (true) {
    int high = position < list.size() ? HexDigit(list[position]) : -1;
    int low = position + 1 < list.size() ? HexDigit(list[position + 1]) : -1;
    if (high < 0 || low < 0)
      throw RegistryDataTextError("bad hex byte at character " + std::to_string(position + 1) +
                                  " of \"" + list +
                                  "\" (bytes are two hex digits separated by commas, as in "
                                  "hex:00,ff)");
    bytes += static_cast<char>(high * 16 + low);
    position += 2;
    if (position == list.size()) return bytes;
    if (list[position] != ',')
      throw RegistryDataTextError("expected a comma at character " + std::to_string(position + 1) +
                                  " of \"" + list + "\"");
    ++position;
  }
}

RegistryData ParseDword(const std::string& digits) {
  DWORD value = 0;
  bool valid = digits.size() == 8;
  for (char c : digits) {
    int digit = HexDigit(c);
    if (digit < 0) valid = false;
    value = value * 16 + static_cast<DWORD>(digit < 0 ? 0 : digit);
  }
  if (!valid)
    throw RegistryDataTextError("dword data needs exactly 8 hex digits, as in dword:0000003c");
  std::string bytes;
  for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((value >> shift) & 0xFF);
  return {REG_DWORD, bytes};
}

RegistryData ParseTypedHex(const std::string& rest) {
  size_t close = rest.find("):");
  if (close == std::string::npos || close == 0 || close > 8)
    throw RegistryDataTextError("expected hex(N): with N the type in 1 to 8 hex digits");
  DWORD type = 0;
  for (size_t i = 0; i < close; ++i) {
    int digit = HexDigit(rest[i]);
    if (digit < 0) throw RegistryDataTextError("the type in hex(N): must be hexadecimal");
    type = type * 16 + static_cast<DWORD>(digit);
  }
  return {type, ParseByteList(rest.substr(close + 2))};
}

std::string ByteList(const std::string& bytes) {
  std::string list;
  char digits[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(bytes[i]));
    if (i > 0) list += ',';
    list += digits;
  }
  return list;
}

bool LooksLikeDataForm(const std::string& text) {
  return StartsWith(text, kDwordPrefix) || StartsWith(text, kHexPrefix) ||
         StartsWith(text, kTypedHexPrefix);
}

// A REG_SZ that a plain JSON string gives back unchanged.
bool IsPlainString(const std::string& bytes) {
  if (bytes.empty() || bytes.back() != '\0') return false;
  std::string text = bytes.substr(0, bytes.size() - 1);
  return text.find('\0') == std::string::npos && IsValidUtf8(text) && !LooksLikeDataForm(text);
}

}  // namespace

RegistryData ParseRegistryDataText(const std::string& text) {
  if (StartsWith(text, kDwordPrefix))
    return ParseDword(text.substr(std::char_traits<char>::length(kDwordPrefix)));
  if (StartsWith(text, kHexPrefix))
    return {REG_BINARY, ParseByteList(text.substr(std::char_traits<char>::length(kHexPrefix)))};
  if (StartsWith(text, kTypedHexPrefix))
    return ParseTypedHex(text.substr(std::char_traits<char>::length(kTypedHexPrefix)));
  return {REG_SZ, text + '\0'};
}

std::string RegistryDataText(const RegistryData& data) {
  if (data.type == REG_SZ && IsPlainString(data.bytes))
    return data.bytes.substr(0, data.bytes.size() - 1);
  if (data.type == REG_DWORD && data.bytes.size() == 4) {
    unsigned long value = 0;
    for (int i = 3; i >= 0; --i) value = value * 256 + static_cast<unsigned char>(data.bytes[i]);
    char text[16];
    std::snprintf(text, sizeof text, "dword:%08lx", value);
    return text;
  }
  if (data.type == REG_BINARY) return kHexPrefix + ByteList(data.bytes);
  char prefix[24];
  std::snprintf(prefix, sizeof prefix, "hex(%lx):", static_cast<unsigned long>(data.type));
  return prefix + ByteList(data.bytes);
}
