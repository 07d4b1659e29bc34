// The registry member of the machine file after a run. The keys the file
// lists stay in its order and spelling, with their values changed in
// place; deleted keys disappear; a key that still exists but would be lost
// with them (a key left empty by the deletion of its subkeys) is listed
// where they were; keys and values the run added come last, keys under the
// user's hive spelt HKEY_CURRENT_USER\...
#include <set>

#include "sim/machine_file/machine_writer.h"
#include "sim/machine_file/registry_data_text.h"

namespace {

std::string ValueMemberName(const std::string& name) { return name.empty() ? "@" : name; }

Json AllValues(const RegistryKey& key) {
  Json values = Json::object();
  for (const RegistryValue& value : key.Values())
    values[ValueMemberName(value.name)] = RegistryDataText(value.data);
  return values;
}

// The values of a listed key: members of the file in their order, kept as
// written where the data did not change; values the run added after them.
Json ValuesInPlace(const Json& written, const RegistryKey& key) {
  Json values = Json::object();
  std::set<const RegistryValue*> placed;
  for (const auto& member : written.items()) {
    const RegistryValue* value = key.FindValue(member.key() == "@" ? "" : member.key());
    if (value == nullptr) continue;
    placed.insert(value);
    bool unchanged = ParseRegistryDataText(member.value().get<std::string>()) == value->data;
    values[member.key()] = unchanged ? member.value() : Json(RegistryDataText(value->data));
  }
  for (const RegistryValue& value : key.Values())
    if (!placed.count(&value)) values[ValueMemberName(value.name)] = RegistryDataText(value.data);
  return values;
}

// The path up to and including its count-th name.
std::string PathPrefix(const std::string& path, size_t count) {
  size_t end = 0;
  for (size_t names = 0; names < count; ++names) {
    end = path.find('\\', names == 0 ? 0 : end + 1);
    if (end == std::string::npos) return path;
  }
  return path.substr(0, end);
}

class RegistryWriter {
 public:
  // Without an original, the keys are written in the tree's own order.
  RegistryWriter(const Json* original, const RegistryTree& tree)
      : original_(original), tree_(tree) {}

  Json Write() {
    if (original_ != nullptr) WriteListedKeys();
    AddNewKeys(*tree_.Machine(), "HKEY_LOCAL_MACHINE");
    AddNewKeys(*tree_.Users(), "HKEY_USERS");
    return out_;
  }

 private:
  void WriteListedKeys() {
    std::set<const RegistryKey*> listed;
    for (const RegistryFileEntry& entry : tree_.FileEntries())
      if (!entry.chain.back()->IsDeleted()) listed.insert(entry.chain.back().get());
    for (const RegistryFileEntry& entry : tree_.FileEntries()) {
      const RegistryKey& key = *entry.chain.back();
      if (!key.IsDeleted()) {
        Emit(entry.path, key, ValuesInPlace(original_->at(entry.path), key));
        continue;
      }
      // The deepest key of the path that is left, listed here unless the
      // file lists it elsewhere or it is already on a listed path.
      size_t depth = entry.chain.size();
      while (entry.chain[depth - 1]->IsDeleted()) --depth;
      const RegistryKey& kept = *entry.chain[depth - 1];
      if (!IsPermanent(kept) && !listed.count(&kept) && !introduced_.count(&kept))
        Emit(PathPrefix(entry.path, depth), kept, AllValues(kept));
    }
  }

  // Keys that exist without being listed. The user's hive is one, but it
  // comes last among the hives, spelt as user.sid spells it, where it is not
  // listed: a tree written whole lists it where it is not last or spelt
  // otherwise, so that it keeps its place and its name.
  bool IsPermanent(const RegistryKey& key) const {
    if (&key == tree_.Machine().get() || &key == tree_.Users().get()) return true;
    if (!tree_.IsUserHive(key)) return false;
    if (original_ != nullptr) return true;
    return &key == tree_.Users()->Subkeys().back().get() && key.Name() == tree_.UserSid();
  }

  void Emit(const std::string& path, const RegistryKey& key, Json values) {
    out_[path] = std::move(values);
    written_.insert(&key);
    for (const RegistryKey* on = &key; on != nullptr; on = on->Parent()) introduced_.insert(on);
  }

  // Depth first, so that subkeys come back in the order they enumerate in:
  // every key that has values and is not listed yet, and every leaf that
  // no listed path reaches.
  void AddNewKeys(const RegistryKey& key, const std::string& path) {
    bool needed = !written_.count(&key) &&
                  (!key.Values().empty() ||
                   (key.Subkeys().empty() && !introduced_.count(&key) && !IsPermanent(key)));
    if (needed) Emit(path, key, AllValues(key));
    // HKEY_CURRENT_USER names the hive by the user's SID as the file spells
    // it; a hive spelt otherwise keeps its own name.
    for (const auto& subkey : key.Subkeys()) {
      bool spelt = tree_.IsUserHive(*subkey) && subkey->Name() == tree_.UserSid();
      std::string subkeyPath = spelt ? "HKEY_CURRENT_USER" : path + "\\" + subkey->Name();
      AddNewKeys(*subkey, subkeyPath);
    }
  }

  const Json* original_;
  const RegistryTree& tree_;
  Json out_ = Json::object();
  std::set<const RegistryKey*> written_;
  std::set<const RegistryKey*> introduced_;
};

}  // namespace

Json UpdatedRegistry(const Json& original, const RegistryTree& tree) {
  return RegistryWriter(&original, tree).Write();
}

Json RegistryMembers(const RegistryTree& tree) { return RegistryWriter(nullptr, tree).Write(); }

Json RefusedAccessMembers(const RegistryTree& tree) {
  Json members = Json::object();
  for (const RegistryFileEntry& entry : tree.RefusalEntries())
    if (!entry.chain.back()->IsDeleted()) members[entry.path] = entry.chain.back()->RefusedAccess();
  return members;
}
