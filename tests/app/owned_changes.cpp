#include "tests/app/owned_changes.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace {

const char kRunKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN";
const char kRunValue[] = "KESTRAVE";
const char kProgramKey[] = "\\SOFTWARE\\CALVORNE\\KESTRAVE";
const char kDefaultSid[] = "S-1-5-21-1004336348-1177238915-682003330-1000";

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string UserSid(const Json& machine) {
  auto user = machine.find("user");
  if (user != machine.end() && user->contains("sid")) return (*user)["sid"].get<std::string>();
  return kDefaultSid;
}

// A path as the machine file or the trace spells it, in upper case, with
// HKEY_CURRENT_USER as the user's hive.
std::string FullPath(const std::string& path, const Json& machine) {
  std::string full = Upper(path);
  const std::string currentUser = "HKEY_CURRENT_USER";
  if (full.compare(0, currentUser.size(), currentUser) == 0)
    full = "HKEY_USERS\\" + Upper(UserSid(machine)) + full.substr(currentUser.size());
  return full;
}

// A root, or a user's hive below HKEY_USERS, that a full path starts with.
std::string RootOf(const std::string& path) {
  const std::string users = "HKEY_USERS\\";
  size_t end = path.find('\\', path.compare(0, users.size(), users) == 0 ? users.size() : 0);
  return path.substr(0, end);
}

bool IsAtOrBelow(const std::string& path, const std::string& key) {
  return path.compare(0, key.size(), key) == 0 &&
         (path.size() == key.size() || path[key.size()] == '\\');
}

// Every key of the machine file by its upper-case full path below
// HKEY_LOCAL_MACHINE or HKEY_USERS, the keys on each listed path included,
// with its values by upper-case name.
using Keys = std::map<std::string, std::map<std::string, Json>>;

Keys AllKeys(const Json& machine) {
  Keys keys;
  auto registry = machine.find("registry");
  if (registry == machine.end()) return keys;
  for (const auto& key : registry->items()) {
    std::string path = FullPath(key.key(), machine);
    for (size_t cut = path.find('\\'); cut != std::string::npos; cut = path.find('\\', cut + 1))
      keys[path.substr(0, cut)];
    auto& values = keys[path];
    for (const auto& value : key.value().items()) values[Upper(value.key())] = value.value();
  }
  return keys;
}

// The program key under HKEY_LOCAL_MACHINE or directly under a user hive
// that a path lies at or below, or nothing.
std::string OwnedKeyOf(const std::string& path) {
  size_t at = path.find(kProgramKey);
  if (at == std::string::npos) return "";
  size_t end = at + sizeof kProgramKey - 1;
  if (end != path.size() && path[end] != '\\') return "";
  std::string root = path.substr(0, at);
  bool owned = root == "HKEY_LOCAL_MACHINE" || (root.compare(0, 11, "HKEY_USERS\\") == 0 &&
                                                root.find('\\', 11) == std::string::npos);
  return owned ? path.substr(0, end) : "";
}

// The program key and everything below it.
bool IsOwnedKey(const std::string& path) { return !OwnedKeyOf(path).empty(); }

// A key that had to be made on the way to the program key.
bool LeadsToOwnedKey(const std::string& path, const Keys& keys) {
  for (const auto& key : keys)
    if (IsOwnedKey(key.first) && key.first.compare(0, path.size() + 1, path + "\\") == 0)
      return true;
  return false;
}

void CompareRegistry(const Json& before, const Json& after, std::vector<std::string>& changes) {
  Keys old = AllKeys(before);
  Keys now = AllKeys(after);
  for (const auto& key : old) {
    if (IsOwnedKey(key.first)) continue;
    auto kept = now.find(key.first);
    if (kept == now.end()) {
      changes.push_back("key deleted: " + key.first);
      continue;
    }
    std::map<std::string, Json> oldValues = key.second;
    std::map<std::string, Json> newValues = kept->second;
    if (key.first == kRunKey) {
      oldValues.erase(kRunValue);
      newValues.erase(kRunValue);
    }
    if (oldValues != newValues) changes.push_back("values changed: " + key.first);
  }
  for (const auto& key : now)
    if (!old.count(key.first) && !IsOwnedKey(key.first) &&
        !(key.second.empty() && LeadsToOwnedKey(key.first, now)))
      changes.push_back("key added: " + key.first);
}

// The member without the parts the program may change.
Json WithoutOwnedMembers(const std::string& member, Json value) {
  if (member == "wallpaper" && value.is_object()) value.erase("path");
  if (member == "adapters" && value.is_array())
    for (Json& adapter : value) {
      adapter.erase("current");
      adapter.erase("registry");
    }
  return value;
}

}  // namespace

std::vector<std::string> ChangesNotOwned(const Json& before, const Json& after) {
  std::vector<std::string> changes;
  CompareRegistry(before, after, changes);
  std::vector<std::string> members;
  for (const Json* machine : {&before, &after})
    for (const auto& member : machine->items())
      if (member.key() != "registry" &&
          std::find(members.begin(), members.end(), member.key()) == members.end())
        members.push_back(member.key());
  for (const std::string& member : members) {
    Json old = before.contains(member) ? WithoutOwnedMembers(member, before[member]) : Json();
    Json now = after.contains(member) ? WithoutOwnedMembers(member, after[member]) : Json();
    if (old != now) changes.push_back("member changed: " + member);
  }
  return changes;
}

OwnedLeft LeftByRemoval(const Json& before, const Json& after, const std::string& missingKey,
                        const std::string& uncheckedKey) {
  Keys old = AllKeys(before);
  Keys now = AllKeys(after);
  const std::string missing = missingKey.empty() ? "" : FullPath(missingKey, before);
  const std::string unchecked = uncheckedKey.empty() ? "" : FullPath(uncheckedKey, before);
  // The program keys there were, each with whether it is still there.
  std::map<std::string, bool> programKeys;
  for (const auto& key : old) {
    std::string owned = OwnedKeyOf(key.first);
    if (owned.empty() || (!missing.empty() && IsAtOrBelow(owned, missing))) continue;
    programKeys[owned] = programKeys[owned] || now.count(key.first) != 0;
  }
  if (!unchecked.empty()) programKeys[RootOf(unchecked) + kProgramKey] = true;
  OwnedLeft left;
  for (const auto& key : programKeys) {
    if (key.first.compare(0, 11, "HKEY_USERS\\") != 0) {
      left.softwareKey = key.second;
    } else {
      left.flags = left.flags || key.second;
      left.flagsRemoved = left.flagsRemoved || !key.second;
    }
  }
  auto run = old.find(kRunKey);
  auto runNow = now.find(kRunKey);
  left.runValue = run != old.end() && run->second.count(kRunValue) != 0 && runNow != now.end() &&
                  runNow->second.count(kRunValue) != 0;
  return left;
}

bool LeadsToProgramKey(const std::string& key) {
  const std::string path = Upper(key);
  const std::string root = RootOf(path);
  if (root == "HKEY_USERS") return false;
  const std::string below = path.substr(root.size());
  return std::string(kProgramKey).compare(0, below.size(), below) == 0 &&
         (below.size() == sizeof kProgramKey - 1 || kProgramKey[below.size()] == '\\');
}
