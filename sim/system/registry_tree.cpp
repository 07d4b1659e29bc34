#include "sim/system/registry_tree.h"

#include <algorithm>

#include "sim/system/windows1252_case.h"

std::shared_ptr<RegistryKey> RegistryKey::FindSubkey(std::string_view name) const {
  for (const auto& subkey : subkeys_)
    if (EqualNoCase(subkey->name_, name)) return subkey;
  return nullptr;
}

std::shared_ptr<RegistryKey> RegistryKey::AddSubkey(const std::string& name, RegistryArea area,
                                                    bool createdByRun) {
  subkeys_.push_back(std::make_shared<RegistryKey>(name, area, this, createdByRun));
  return subkeys_.back();
}

void RegistryKey::DeleteSubkey(const std::shared_ptr<RegistryKey>& subkey) {
  auto found = std::find(subkeys_.begin(), subkeys_.end(), subkey);
  if (found == subkeys_.end()) return;
  subkey->deleted_ = true;
  subkey->parent_ = nullptr;
  subkey->values_.clear();
  subkeys_.erase(found);
}

const RegistryValue* RegistryKey::FindValue(std::string_view name) const {
  for (const auto& value : values_)
    if (EqualNoCase(value.name, name)) return &value;
  return nullptr;
}

void RegistryKey::SetValue(const std::string& name, RegistryData data) {
  for (auto& value : values_) {
    if (EqualNoCase(value.name, name)) {
      value.data = std::move(data);
      return;
    }
  }
  values_.push_back({name, std::move(data)});
}

bool RegistryKey::DeleteValue(std::string_view name) {
  auto found = std::find_if(values_.begin(), values_.end(), [&](const RegistryValue& value) {
    return EqualNoCase(value.name, name);
  });
  if (found == values_.end()) return false;
  values_.erase(found);
  return true;
}

RegistryTree::RegistryTree(std::string userSid)
    : machine_(std::make_shared<RegistryKey>("HKEY_LOCAL_MACHINE", RegistryArea::Machine, nullptr,
                                             false)),
      users_(std::make_shared<RegistryKey>("HKEY_USERS", RegistryArea::UsersRoot, nullptr, false)),
      userSid_(std::move(userSid)) {}

std::shared_ptr<RegistryKey> RegistryTree::UserHive() {
  std::shared_ptr<RegistryKey> hive = users_->FindSubkey(userSid_);
  return hive ? hive : AddSubkey(*users_, userSid_, false);
}

bool RegistryTree::IsUserHive(const RegistryKey& key) const {
  return key.Parent() == users_.get() && EqualNoCase(key.Name(), userSid_);
}

std::shared_ptr<RegistryKey> RegistryTree::AddSubkey(RegistryKey& parent, const std::string& name,
                                                     bool createdByRun) {
  RegistryArea area = parent.Area();
  if (&parent == users_.get())
    area = EqualNoCase(name, userSid_) ? RegistryArea::OwnHive : RegistryArea::OtherHive;
  return parent.AddSubkey(name, area, createdByRun);
}
