// Whether bytes are well-formed UTF-8, so that they can go into the machine
// file as a JSON string unchanged.
#pragma once

#include <string_view>

bool IsValidUtf8(std::string_view bytes);
