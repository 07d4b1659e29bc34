// Case mapping of the Windows-1252 code page, the ANSI code page the
// simulated machine runs in: what CharLowerBuffA, CompareStringA with
// NORM_IGNORECASE and the case-blind names (registry, files, environment,
// display devices) use.
#pragma once

#include <string>
#include <string_view>

char LowerCase1252(char c);
std::string LowerCase1252(std::string_view text);

// Negative, zero or positive as a sorts before, equal to or after b, bytes
// compared after lowering both.
int CompareNoCase(std::string_view a, std::string_view b);
bool EqualNoCase(std::string_view a, std::string_view b);
