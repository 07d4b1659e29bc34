// The registry of the simulated machine: HKEY_LOCAL_MACHINE and HKEY_USERS
// as trees of keys. Names compare without regard to case and keep the case
// in which they were first created; subkeys and values keep the order in
// which they were added, which is the order they enumerate in.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32_types.h"

// A value's type and its bytes as the registry stores them.
struct RegistryData {
  DWORD type = REG_NONE;
  std::string bytes;

  bool operator==(const RegistryData& other) const {
    return type == other.type && bytes == other.bytes;
  }
};

// Where a key lies, which decides what a user without administrator rights
// may change.
enum class RegistryArea { Machine, UsersRoot, OwnHive, OtherHive };

struct RegistryValue {
  std::string name;  // empty for the default value
  RegistryData data;
};

class RegistryKey {
 public:
  RegistryKey(std::string name, RegistryArea area, RegistryKey* parent, bool createdByRun)
      : name_(std::move(name)), area_(area), parent_(parent), createdByRun_(createdByRun) {}

  const std::string& Name() const { return name_; }
  RegistryArea Area() const { return area_; }
  RegistryKey* Parent() const { return parent_; }
  bool IsDeleted() const { return deleted_; }
  bool IsCreatedByRun() const { return createdByRun_; }
  // The access the key's security descriptor refuses to everyone, the
  // administrators included.
  REGSAM RefusedAccess() const { return refusedAccess_; }
  void RefuseAccess(REGSAM access) { refusedAccess_ = access; }
  const std::vector<std::shared_ptr<RegistryKey>>& Subkeys() const { return subkeys_; }
  const std::vector<RegistryValue>& Values() const { return values_; }

  std::shared_ptr<RegistryKey> FindSubkey(std::string_view name) const;
  std::shared_ptr<RegistryKey> AddSubkey(const std::string& name, RegistryArea area,
                                         bool createdByRun);
  // Removes a subkey that has no subkeys of its own; handles still open on
  // it see it as deleted.
  void DeleteSubkey(const std::shared_ptr<RegistryKey>& subkey);

  const RegistryValue* FindValue(std::string_view name) const;
  void SetValue(const std::string& name, RegistryData data);
  bool DeleteValue(std::string_view name);

 private:
  std::string name_;
  RegistryArea area_;
  RegistryKey* parent_;
  bool createdByRun_;
  bool deleted_ = false;
  REGSAM refusedAccess_ = 0;
  std::vector<std::shared_ptr<RegistryKey>> subkeys_;
  std::vector<RegistryValue> values_;
};

// One key as the machine file lists it: the path as written and the keys
// on it, from the root (or the user's hive, for HKEY_CURRENT_USER) down, so
// that the file can be written back in its own order and spelling.
struct RegistryFileEntry {
  std::string path;
  std::vector<std::shared_ptr<RegistryKey>> chain;
};

class RegistryTree {
 public:
  explicit RegistryTree(std::string userSid);
  // The keys are shared with the handles open on them: one tree per machine.
  RegistryTree(const RegistryTree&) = delete;
  RegistryTree& operator=(const RegistryTree&) = delete;
  RegistryTree(RegistryTree&&) = default;
  RegistryTree& operator=(RegistryTree&&) = default;

  const std::shared_ptr<RegistryKey>& Machine() const { return machine_; }
  const std::shared_ptr<RegistryKey>& Users() const { return users_; }
  // The user's hive HKEY_USERS\<userSid> always exists: it is added, as the
  // last subkey of HKEY_USERS, the first time it is asked for, so that a
  // file that lists it has it in the file's order.
  std::shared_ptr<RegistryKey> UserHive();
  bool IsUserHive(const RegistryKey& key) const;
  const std::string& UserSid() const { return userSid_; }

  // A subkey in the area its place gives it.
  std::shared_ptr<RegistryKey> AddSubkey(RegistryKey& parent, const std::string& name,
                                         bool createdByRun);

  bool Changed() const { return changed_; }
  void MarkChanged() { changed_ = true; }

  std::vector<RegistryFileEntry>& FileEntries() { return fileEntries_; }
  const std::vector<RegistryFileEntry>& FileEntries() const { return fileEntries_; }
  // The keys the file gives a security descriptor that refuses access, as
  // it names them.
  std::vector<RegistryFileEntry>& RefusalEntries() { return refusalEntries_; }
  const std::vector<RegistryFileEntry>& RefusalEntries() const { return refusalEntries_; }

 private:
  std::shared_ptr<RegistryKey> machine_;
  std::shared_ptr<RegistryKey> users_;
  std::string userSid_;
  bool changed_ = false;
  std::vector<RegistryFileEntry> fileEntries_;
  std::vector<RegistryFileEntry> refusalEntries_;
};
