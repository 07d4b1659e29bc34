// The registry of the machine file: keys by full path, each with its values.
#include <map>

#include "sim/machine_file/machine_reader.h"
#include "sim/machine_file/registry_data_text.h"
#include "sim/system/windows1252_case.h"

namespace {

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> names;
  size_t start = 0;
  while (true) {
    size_t end = path.find('\\', start);
    names.push_back(path.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return names;
    start = end + 1;
  }
}

// The keys on the path, from the root down, created where missing, or,
// when they must exist, an error where one is missing.
std::vector<std::shared_ptr<RegistryKey>> KeyChain(const std::string& path,
                                                   const std::string& pointer, RegistryTree& tree,
                                                   bool mustExist = false) {
  std::vector<std::string> names = SplitPath(path);
  std::vector<std::shared_ptr<RegistryKey>> chain;
  if (EqualNoCase(names[0], "HKEY_LOCAL_MACHINE"))
    chain.push_back(tree.Machine());
  else if (EqualNoCase(names[0], "HKEY_USERS"))
    chain.push_back(tree.Users());
  else if (EqualNoCase(names[0], "HKEY_CURRENT_USER"))
    chain.push_back(tree.UserHive());
  else
    FailAt(pointer, "the path must begin with HKEY_LOCAL_MACHINE, HKEY_USERS or HKEY_CURRENT_USER");
  for (size_t i = 1; i < names.size(); ++i) {
    if (names[i].empty()) FailAt(pointer, "an empty key name in the path");
    std::shared_ptr<RegistryKey> next = chain.back()->FindSubkey(names[i]);
    if (!next && mustExist) FailAt(pointer, "not a key of the registry member");
    chain.push_back(next ? next : tree.AddSubkey(*chain.back(), names[i], false));
  }
  return chain;
}

void ReadValues(const Json& values, const std::string& pointer, RegistryKey& key) {
  RequireObject(values, pointer);
  for (const auto& member : values.items()) {
    std::string place = MemberPointer(pointer, member.key());
    std::string name = member.key() == "@" ? std::string() : member.key();
    if (const RegistryValue* earlier = key.FindValue(name))
      FailAt(place, "the same value as \"" + (earlier->name.empty() ? "@" : earlier->name) +
                        "\" (names compare without regard to case)");
    std::string text = ReadString(member.value(), place);
    try {
      key.SetValue(name, ParseRegistryDataText(text));
    } catch (const RegistryDataTextError& error) {
      FailAt(place, error.what());
    }
  }
}

}  // namespace

void ReadRegistry(const Json& registry, const std::string& pointer, RegistryTree& tree) {
  RequireObject(registry, pointer);
  std::map<const RegistryKey*, std::string> listed;
  for (const auto& member : registry.items()) {
    std::string place = MemberPointer(pointer, member.key());
    std::vector<std::shared_ptr<RegistryKey>> chain = KeyChain(member.key(), place, tree);
    const RegistryKey* key = chain.back().get();
    auto earlier = listed.find(key);
    if (earlier != listed.end()) FailAt(place, "the same key as \"" + earlier->second + "\"");
    listed[key] = member.key();
    ReadValues(member.value(), place, *chain.back());
    tree.FileEntries().push_back({member.key(), chain});
  }
}

void ReadRefusedAccess(const Json& refusals, const std::string& pointer, RegistryTree& tree) {
  RequireObject(refusals, pointer);
  std::map<const RegistryKey*, std::string> named;
  for (const auto& member : refusals.items()) {
    std::string place = MemberPointer(pointer, member.key());
    std::vector<std::shared_ptr<RegistryKey>> chain = KeyChain(member.key(), place, tree, true);
    RegistryKey& key = *chain.back();
    auto earlier = named.find(&key);
    if (earlier != named.end()) FailAt(place, "the same key as \"" + earlier->second + "\"");
    named[&key] = member.key();
    key.RefuseAccess(ReadDword(member.value(), place));
    tree.RefusalEntries().push_back({member.key(), chain});
  }
}
