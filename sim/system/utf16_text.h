// The machine keeps its texts in UTF-8; the wide calls take and give them in
// UTF-16.
#pragma once

#include <string>

#include "platform/win32_types.h"

using WideText = std::basic_string<WCHAR>;

// Whether a byte continues a UTF-8 sequence rather than starting one.
bool IsUtf8Continuation(char byte);

WideText Utf16Of(const std::string& utf8);
// A sequence that is no character (a lone surrogate, a byte that starts
// none) becomes U+FFFD either way.
std::string Utf8Of(const WCHAR* utf16, size_t length);
std::string Utf8Of(const WideText& utf16);
