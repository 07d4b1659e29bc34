#include "sim/system/utf16_text.h"

namespace {

const char32_t kReplacement = 0xFFFD;

// The character that starts at text[at], and where the next one starts.
char32_t DecodeUtf8(const std::string& text, size_t& at) {
  const unsigned char lead = static_cast<unsigned char>(text[at++]);
  if (lead < 0x80) return lead;
  const int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  if (more == 0) return kReplacement;
  char32_t code = lead & (0x3F >> more);
  for (int i = 0; i < more; ++i) {
    if (at >= text.size() || !IsUtf8Continuation(text[at]))
      return kReplacement;
    code = code << 6 | (static_cast<unsigned char>(text[at++]) & 0x3F);
  }
  return code;
}

void AppendUtf8(std::string& text, char32_t code) {
  if (code < 0x80) {
    text += static_cast<char>(code);
  } else if (code < 0x800) {
    text += static_cast<char>(0xC0 | code >> 6);
    text += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    text += static_cast<char>(0xE0 | code >> 12);
    text += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | code >> 18);
    text += static_cast<char>(0x80 | (code >> 12 & 0x3F));
    text += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

}  // namespace

bool IsUtf8Continuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

WideText Utf16Of(const std::string& utf8) {
  WideText utf16;
  for (size_t at = 0; at < utf8.size();) {
    char32_t code = DecodeUtf8(utf8, at);
    if (code >= 0x110000 || IsHighSurrogate(code) || IsLowSurrogate(code)) code = kReplacement;
    if (code >= 0x10000) {
      utf16 += static_cast<WCHAR>(0xD800 + ((code - 0x10000) >> 10));
      utf16 += static_cast<WCHAR>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      utf16 += static_cast<WCHAR>(code);
    }
  }
  return utf16;
}

std::string Utf8Of(const WCHAR* utf16, size_t length) {
  std::string utf8;
  for (size_t at = 0; at < length; ++at) {
    char32_t code = utf16[at];
    if (IsHighSurrogate(code) && at + 1 < length && IsLowSurrogate(utf16[at + 1]))
      code = 0x10000 + ((code - 0xD800) << 10) + (utf16[++at] - 0xDC00);
    else if (IsHighSurrogate(code) || IsLowSurrogate(code))
      code = kReplacement;
    AppendUtf8(utf8, code);
  }
  return utf8;
}

std::string Utf8Of(const WideText& utf16) { return Utf8Of(utf16.data(), utf16.size()); }
