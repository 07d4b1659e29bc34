#include "tests/app/traced_call.h"

#include <cstdlib>

namespace {

std::string DecodeEscapes(const std::string& text) {
  std::string decoded;
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '%' && at + 2 < text.size()) {
      decoded += static_cast<char>(std::strtol(text.substr(at + 1, 2).c_str(), nullptr, 16));
      at += 2;
    } else {
      decoded += text[at];
    }
  }
  return decoded;
}

// Splits at the ", " that lie outside strings and outside records in
// braces; a string never holds a quote of its own (it is escaped).
std::vector<std::string> SplitArguments(const std::string& text) {
  std::vector<std::string> arguments;
  if (text.empty()) return arguments;
  bool inString = false;
  int depth = 0;
  size_t start = 0;
  for (size_t at = 0; at < text.size(); ++at) {
    char c = text[at];
    if (c == '"') inString = !inString;
    if (inString) continue;
    if (c == '{') ++depth;
    if (c == '}') --depth;
    if (depth == 0 && text.compare(at, 2, ", ") == 0) {
      arguments.push_back(text.substr(start, at - start));
      start = at + 2;
      ++at;
    }
  }
  arguments.push_back(text.substr(start));
  return arguments;
}

// The end of the argument list: the ")" that the first " = " or " raises"
// outside a string follows.
size_t ArgumentsEnd(const std::string& line) {
  bool inString = false;
  for (size_t at = 0; at < line.size(); ++at) {
    if (line[at] == '"') inString = !inString;
    if (!inString && line[at] == ')' &&
        (line.compare(at + 1, 3, " = ") == 0 || line.compare(at + 1, 7, " raises") == 0))
      return at;
  }
  return line.size();
}

bool IsRegistryCall(const std::string& name) {
  return name.compare(0, 3, "Reg") == 0 || name == "NtDeleteKey";
}

}  // namespace

std::string TracedCall::Text(size_t index) const {
  if (index >= arguments.size()) return "";
  const std::string& argument = arguments[index];
  if (argument.size() < 2 || argument.front() != '"' || argument.back() != '"') return "";
  return DecodeEscapes(argument.substr(1, argument.size() - 2));
}

TracedCall ParseTracedCall(const std::string& line) {
  TracedCall call;
  size_t open = line.find('(');
  call.name = line.substr(0, open);
  if (open == std::string::npos) return call;
  size_t close = ArgumentsEnd(line);
  call.arguments = SplitArguments(line.substr(open + 1, close - open - 1));
  if (line.compare(close, 4, ") = ") != 0) return call;
  std::string rest = line.substr(close + 4);
  size_t out = rest.find(" -> ");
  size_t resultEnd = rest.find_first_of(" ");
  call.result = rest.substr(0, resultEnd);
  if (out != std::string::npos) {
    call.outValues = rest.substr(out + 4);
    for (const char* mark : {" (last error", " [fault]"}) {
      size_t found = call.outValues.find(mark);
      if (found != std::string::npos) call.outValues.erase(found);
    }
  }
  return call;
}

std::map<size_t, std::string> RegistryKeysOfCalls(const std::vector<TracedCall>& calls) {
  std::map<std::string, std::string> openKeys;  // handle -> path
  std::map<size_t, std::string> keys;
  for (size_t index = 0; index < calls.size(); ++index) {
    const TracedCall& call = calls[index];
    if (!IsRegistryCall(call.name) || call.arguments.empty()) continue;
    const std::string& handle = call.arguments[0];
    auto parent = openKeys.find(handle);
    std::string base = parent != openKeys.end() ? parent->second
                       : handle.compare(0, 5, "HKEY_") == 0 ? handle
                                                            : "";
    if (base.empty()) continue;
    bool opens = call.name == "RegOpenKeyExA" || call.name == "RegOpenKeyExW" ||
                 call.name == "RegCreateKeyExA";
    std::string sub = opens ? call.Text(1) : "";
    std::string path = sub.empty() ? base : base + "\\" + sub;
    keys[index] = path;
    if (opens && call.result == "0") openKeys[call.outValues.substr(0, call.outValues.find(','))] = path;
  }
  return keys;
}
