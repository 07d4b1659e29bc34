#include "sim/machine_file/json_reading.h"

#include <cstdint>

#include "sim/machine_file/machine_file_error.h"

namespace {

std::string Found(const Json& value) {
  switch (value.type()) {
    case Json::value_t::null:
      return "found null";
    case Json::value_t::object:
      return "found an object";
    case Json::value_t::array:
      return "found an array";
    case Json::value_t::string:
      return "found a string";
    case Json::value_t::boolean:
      return "found a boolean";
    case Json::value_t::number_float:
      return "found the number " + value.dump();
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
      return "found " + value.dump();
    default:
      return "found a value of another kind";
  }
}

bool ReadInteger(const Json& value, std::int64_t lowest, std::int64_t highest,
                 std::int64_t& number) {
  if (value.is_number_unsigned()) {
    auto unsignedValue = value.get<std::uint64_t>();
    if (unsignedValue > static_cast<std::uint64_t>(highest)) return false;
    number = static_cast<std::int64_t>(unsignedValue);
  } else if (value.is_number_integer()) {
    number = value.get<std::int64_t>();
  } else {
    return false;
  }
  return number >= lowest && number <= highest;
}

}  // namespace

std::string MemberPointer(const std::string& pointer, const std::string& name) {
  std::string escaped;
  for (char c : name) {
    if (c == '~')
      escaped += "~0";
    else if (c == '/')
      escaped += "~1";
    else
      escaped += c;
  }
  return pointer + "/" + escaped;
}

std::string IndexPointer(const std::string& pointer, size_t index) {
  return pointer + "/" + std::to_string(index);
}

void FailAt(const std::string& pointer, const std::string& problem) {
  throw MachineFileError(pointer, problem);
}

void RequireObject(const Json& value, const std::string& pointer) {
  if (!value.is_object()) FailAt(pointer, "expected an object, " + Found(value));
}

void RequireArray(const Json& value, const std::string& pointer) {
  if (!value.is_array()) FailAt(pointer, "expected an array, " + Found(value));
}

void CheckMembers(const Json& value, const std::string& pointer,
                  std::initializer_list<const char*> known) {
  RequireObject(value, pointer);
  for (const auto& member : value.items()) {
    bool isKnown = false;
    for (const char* name : known) isKnown = isKnown || member.key() == name;
    if (!isKnown) FailAt(MemberPointer(pointer, member.key()), "unknown member");
  }
}

const Json* FindMember(const Json& object, const char* name) {
  auto found = object.find(name);
  return found == object.end() ? nullptr : &*found;
}

const Json& RequireMember(const Json& object, const std::string& pointer, const char* name) {
  const Json* member = FindMember(object, name);
  if (member == nullptr) FailAt(pointer, std::string("missing member \"") + name + "\"");
  return *member;
}

DWORD ReadDword(const Json& value, const std::string& pointer) {
  std::int64_t number = 0;
  if (!ReadInteger(value, 0, 0xFFFFFFFFll, number))
    FailAt(pointer, "expected a whole number from 0 to 4294967295, " + Found(value));
  return static_cast<DWORD>(number);
}

DWORD ReadResultBits(const Json& value, const std::string& pointer) {
  std::int64_t number = 0;
  if (!ReadInteger(value, -0x80000000ll, 0xFFFFFFFFll, number))
    FailAt(pointer, "expected a whole number from -2147483648 to 4294967295, " + Found(value));
  return static_cast<DWORD>(static_cast<std::uint64_t>(number) & 0xFFFFFFFFu);
}

bool ReadBool(const Json& value, const std::string& pointer) {
  if (!value.is_boolean()) FailAt(pointer, "expected true or false, " + Found(value));
  return value.get<bool>();
}

std::string ReadString(const Json& value, const std::string& pointer) {
  if (!value.is_string()) FailAt(pointer, "expected a string, " + Found(value));
  return value.get<std::string>();
}
