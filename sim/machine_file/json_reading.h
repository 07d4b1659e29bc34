// Reading the machine file's JSON with every error placed by its JSON
// pointer (MachineFileError).
#pragma once

#include <initializer_list>
#include <nlohmann/json.hpp>
#include <string>

#include "platform/win32_types.h"

using Json = nlohmann::ordered_json;

std::string MemberPointer(const std::string& pointer, const std::string& name);
std::string IndexPointer(const std::string& pointer, size_t index);

[[noreturn]] void FailAt(const std::string& pointer, const std::string& problem);

// The value must be an object whose members are all among the known ones.
void CheckMembers(const Json& value, const std::string& pointer,
                  std::initializer_list<const char*> known);
const Json* FindMember(const Json& object, const char* name);
const Json& RequireMember(const Json& object, const std::string& pointer, const char* name);

void RequireObject(const Json& value, const std::string& pointer);
void RequireArray(const Json& value, const std::string& pointer);
DWORD ReadDword(const Json& value, const std::string& pointer);
// A number from -2147483648 to 4294967295, kept as its 32 bits: a LONG
// status and a DWORD error code alike.
DWORD ReadResultBits(const Json& value, const std::string& pointer);
bool ReadBool(const Json& value, const std::string& pointer);
std::string ReadString(const Json& value, const std::string& pointer);
