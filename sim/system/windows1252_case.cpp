#include "sim/system/windows1252_case.h"

char LowerCase1252(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  if (u >= 'A' && u <= 'Z') return static_cast<char>(u + 0x20);
  // Latin-1 capitals, except the multiplication sign at 0xD7.
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<char>(u + 0x20);
  switch (u) {
    case 0x8A:  // S caron
    case 0x8C:  // OE ligature
    case 0x8E:  // Z caron
      return static_cast<char>(u + 0x10);
    case 0x9F:  // Y diaeresis
      return static_cast<char>(0xFF);
    default:
      return c;
  }
}

std::string LowerCase1252(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = LowerCase1252(c);
  return lower;
}

int CompareNoCase(std::string_view a, std::string_view b) {
  size_t common = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < common; ++i) {
    unsigned char x = static_cast<unsigned char>(LowerCase1252(a[i]));
    unsigned char y = static_cast<unsigned char>(LowerCase1252(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool EqualNoCase(std::string_view a, std::string_view b) { return CompareNoCase(a, b) == 0; }
