// Registry data in the machine file, written as in a .reg file: a plain
// string is REG_SZ (stored with its terminating zero), "dword:0000003c" is
// REG_DWORD, "hex:00,ff" REG_BINARY, "hex(N):.." any type N (hexadecimal),
// so "hex(2):" is REG_EXPAND_SZ and "hex(7):" REG_MULTI_SZ.
#pragma once

#include <stdexcept>
#include <string>

#include "sim/system/registry_tree.h"

// Raised with the problem, for the reader to place.
class RegistryDataTextError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

RegistryData ParseRegistryDataText(const std::string& text);

// The text that ParseRegistryDataText reads back as the same data: a plain
// string where that is unambiguous, otherwise the hex forms.
std::string RegistryDataText(const RegistryData& data);
