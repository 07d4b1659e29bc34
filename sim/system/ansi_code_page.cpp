#include "sim/system/ansi_code_page.h"

#include <iconv.h>

#include <cerrno>

namespace {

// The ANSI code pages of Windows.
const DWORD kAnsiCodePages[] = {874,  1250, 1251, 1252, 1253, 1254, 1255,
                                1256, 1257, 1258, 932,  936,  949,  950};

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Converts with iconv; a sequence that cannot be converted becomes "?", and
// one character of it is skipped (a whole UTF-8 sequence, one byte else).
std::string Convert(const std::string& text, const std::string& to, const std::string& from) {
  iconv_t converter = iconv_open(to.c_str(), from.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return text;
  std::string converted;
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  while (inLeft > 0) {
    char buffer[64];
    char* out = buffer;
    size_t outLeft = sizeof buffer;
    size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    converted.append(buffer, static_cast<size_t>(out - buffer));
    if (result != static_cast<size_t>(-1) || errno == E2BIG) continue;
    converted += '?';
    ++in;
    --inLeft;
    if (from == "UTF-8")
      while (inLeft > 0 && IsContinuation(*in)) ++in, --inLeft;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(converter);
  return converted;
}

std::string IconvName(DWORD number) { return "CP" + std::to_string(number); }

}  // namespace

bool AnsiCodePage::IsSupported(DWORD number) {
  for (DWORD supported : kAnsiCodePages)
    if (number == supported) return true;
  return false;
}

std::string AnsiCodePage::FromMachine(const std::string& text) const {
  return converts_ ? Convert(text, IconvName(number_), "UTF-8") : text;
}

std::string AnsiCodePage::ToMachine(const std::string& text) const {
  return converts_ ? Convert(text, "UTF-8", IconvName(number_)) : text;
}

size_t AnsiCodePage::Characters(const std::string& text) const {
  if (!converts_) return text.size();
  size_t units = 0;
  for (char c : text) {
    if (IsContinuation(c)) continue;
    // A character beyond the Basic Multilingual Plane takes two.
    units += (static_cast<unsigned char>(c) >= 0xF0) ? 2 : 1;
  }
  return units;
}
