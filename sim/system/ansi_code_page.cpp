#include "sim/system/ansi_code_page.h"

#include <iconv.h>

#include <cerrno>

#include "sim/system/utf16_text.h"

namespace {

// The ANSI code pages of Windows.
const DWORD kAnsiCodePages[] = {874,  1250, 1251, 1252, 1253, 1254, 1255,
                                1256, 1257, 1258, 932,  936,  949,  950};

// Windows' best fit: where its table for the code page names a look-alike
// for a character the code page lacks, the A calls give that instead of
// "?", and the look-alike may be a character that means something, as
// "\" and the quote do in a path.
struct BestFit {
  DWORD codePage;
  WCHAR first;
  WCHAR last;
  unsigned char firstByte;
};

const BestFit kBestFits[] = {
    // The fullwidth forms of ASCII: U+FF3C becomes "\", U+FF02 a quote,
    // U+FF2B "K".
    {1252, 0xFF01, 0xFF5E, 0x21},
    // The yen sign is the byte of the backslash in the Japanese code page.
    {932, 0x00A5, 0x00A5, 0x5C},
};

// The look-alike of one character (in UTF-8) in the code page, or "?".
std::string BestFitOf(DWORD codePage, const std::string& character) {
  const WideText units = Utf16Of(character);
  if (units.size() == 1)
    for (const BestFit& fit : kBestFits)
      if (fit.codePage == codePage && units[0] >= fit.first && units[0] <= fit.last)
        return std::string(1, static_cast<char>(fit.firstByte + (units[0] - fit.first)));
  return "?";
}

// Converts with iconv; a character that cannot be converted becomes its
// best fit in the code page (bestFit, from UTF-8) or "?", and is skipped
// (a whole UTF-8 sequence, one byte else).
std::string Convert(const std::string& text, const std::string& to, const std::string& from,
                    DWORD bestFit = 0) {
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
    char* start = in;
    ++in;
    --inLeft;
    if (from == "UTF-8")
      while (inLeft > 0 && IsUtf8Continuation(*in)) ++in, --inLeft;
    converted += BestFitOf(bestFit, std::string(start, in));
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
  return converts_ ? Convert(text, IconvName(number_), "UTF-8", number_) : text;
}

std::string AnsiCodePage::ToMachine(const std::string& text) const {
  return converts_ ? Convert(text, "UTF-8", IconvName(number_)) : text;
}

size_t AnsiCodePage::Characters(const std::string& text) const {
  if (!converts_) return text.size();
  size_t units = 0;
  for (char c : text) {
    if (IsUtf8Continuation(c)) continue;
    // A character beyond the Basic Multilingual Plane takes two.
    units += (static_cast<unsigned char>(c) >= 0xF0) ? 2 : 1;
  }
  return units;
}
