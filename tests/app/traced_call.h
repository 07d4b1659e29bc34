// One line of the simulator's trace taken apart, and the registry key each
// registry call of a trace works on, so that a test can tell what a call
// was doing without knowing the handle numbers.
#pragma once

#include <map>
#include <string>
#include <vector>

struct TracedCall {
  std::string name;
  // Each argument as the trace writes it; strings keep their quotes.
  std::vector<std::string> arguments;
  // The return value, without out-values, last error or fault mark.
  std::string result;
  // The text after " -> ", empty when the call handed nothing back.
  std::string outValues;

  // The argument at index as a string, with its quotes dropped and its
  // %XX escapes decoded; empty when it is not a string.
  std::string Text(size_t index) const;
};

TracedCall ParseTracedCall(const std::string& line);

// The full path ("HKEY_LOCAL_MACHINE\SOFTWARE\...") of the key each
// registry call of the trace works on, by the call's index; calls that
// work on no key (or on one the trace never opened) have none.
std::map<size_t, std::string> RegistryKeysOfCalls(const std::vector<TracedCall>& calls);
