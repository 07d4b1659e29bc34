#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "sim/system/sim_constants.h"
#include "sim/system/utf16_text.h"
#include "tests/support/sim_test_machine.h"
#include "tests/support/test_names.h"

namespace {

const char kMachine[] = R"({
  "registry": {
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Calvorne\\Kestrave": {"@": "stamp", "Count": "dword:0000003c"},
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Zeta": {},
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Alpha\\Beta": {},
    "HKEY_CURRENT_USER\\Software\\Calvorne\\Kestrave\\Flag": {"1280x1024@32": "60"},
    "HKEY_USERS\\.DEFAULT\\Software": {},
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Locked": {}
  },
  "refusedAccess": {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Locked": 65538}
})";

const char kUserSid[] = "S-1-5-21-1004336348-1177238915-682003330-1000";

HKEY Open(Platform& calls, HKEY root, const char* path, REGSAM access = KEY_ALL_ACCESS) {
  HKEY key = nullptr;
  EXPECT_EQ(calls.RegOpenKeyExA(root, path, 0, access, &key), ERROR_SUCCESS) << path;
  return key;
}

std::vector<std::string> SubkeyNames(Platform& calls, HKEY key) {
  std::vector<std::string> names;
  char name[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof name;
    LONG status =
        calls.RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    EXPECT_EQ(status, ERROR_SUCCESS);
    names.emplace_back(name, length);
  }
  return names;
}

// RegQueryInfoKeyA's count of subkeys and length of the longest name.
std::pair<DWORD, DWORD> SubkeyCountAndLongestName(Platform& calls, HKEY key) {
  DWORD subkeys = 0;
  DWORD longest = 0;
  EXPECT_EQ(calls.RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, &longest, nullptr,
                                   nullptr, nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  return {subkeys, longest};
}

LONG OpenStatus(Platform& calls, HKEY root, const char* path, REGSAM access) {
  HKEY key = reinterpret_cast<HKEY>(1);
  LONG status = calls.RegOpenKeyExA(root, path, 0, access, &key);
  EXPECT_EQ(key == nullptr, status != ERROR_SUCCESS) << "the handle is null exactly on failure";
  if (status == ERROR_SUCCESS) calls.RegCloseKey(key);
  return status;
}

LONG CreateStatus(Platform& calls, HKEY root, const char* path, REGSAM access) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  LONG status = calls.RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                      nullptr, &key, &disposition);
  if (status == ERROR_SUCCESS) calls.RegCloseKey(key);
  return status;
}

LONG SetStatus(Platform& calls, HKEY key, const char* name) {
  return calls.RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
}

LONG EnumValueStatus(Platform& calls, HKEY key, LPDWORD reserved = nullptr) {
  char name[16];
  DWORD length = sizeof name;
  return calls.RegEnumValueA(key, 0, name, &length, reserved, nullptr, nullptr, nullptr);
}

struct StatusCase {
  const char* what;
  bool admin;
  std::function<LONG(Platform&)> call;
  LONG expected;
};

void PrintTo(const StatusCase& c, std::ostream* out) { *out << c.what; }

class RegistryStatus : public testing::TestWithParam<StatusCase> {};

TEST_P(RegistryStatus, AnswersAsWindows) {
  const StatusCase& test = GetParam();
  std::string json = kMachine;
  json.insert(1, std::string("\"user\": {\"admin\": ") + (test.admin ? "true" : "false") + "},");
  SimTestMachine machine(json);
  EXPECT_EQ(test.call(machine.Calls()), test.expected);
}

const StatusCase kStatusCases[] = {
    {"leading backslash", true,
     [](Platform& c) { return OpenStatus(c, HKEY_LOCAL_MACHINE, "\\SOFTWARE", KEY_READ); },
     ERROR_BAD_PATHNAME},
    {"leading backslash when creating", true,
     [](Platform& c) {
       return CreateStatus(c, HKEY_LOCAL_MACHINE, "\\SOFTWARE\\New", KEY_ALL_ACCESS);
     },
     ERROR_BAD_PATHNAME},
    {"empty name inside the path", true,
     [](Platform& c) { return OpenStatus(c, HKEY_LOCAL_MACHINE, "SOFTWARE\\\\Zeta", KEY_READ); },
     ERROR_BAD_PATHNAME},
    {"a key name of 255 characters", true,
     [](Platform& c) {
       return CreateStatus(c, HKEY_LOCAL_MACHINE, ("SOFTWARE\\" + std::string(255, 'k')).c_str(),
                           KEY_ALL_ACCESS);
     },
     ERROR_SUCCESS},
    {"a key name longer than 255 characters", true,
     [](Platform& c) {
       return CreateStatus(c, HKEY_LOCAL_MACHINE, ("SOFTWARE\\" + std::string(256, 'k')).c_str(),
                           KEY_ALL_ACCESS);
     },
     ERROR_INVALID_PARAMETER},
    {"trailing backslash", true,
     [](Platform& c) { return OpenStatus(c, HKEY_LOCAL_MACHINE, "SOFTWARE\\Zeta\\", KEY_READ); },
     ERROR_SUCCESS},
    {"names without regard to case", true,
     [](Platform& c) { return OpenStatus(c, HKEY_LOCAL_MACHINE, "software\\CALVORNE", KEY_READ); },
     ERROR_SUCCESS},
    {"missing key", true,
     [](Platform& c) { return OpenStatus(c, HKEY_LOCAL_MACHINE, "SOFTWARE\\Missing", KEY_READ); },
     ERROR_FILE_NOT_FOUND},
    {"deleting a key that has subkeys", true,
     [](Platform& c) { return DeleteKey(c, HKEY_LOCAL_MACHINE, "SOFTWARE\\Alpha"); },
     sim::kStatusCannotDelete},
    {"deleting a leaf", true,
     [](Platform& c) { return DeleteKey(c, HKEY_LOCAL_MACHINE, "SOFTWARE\\Alpha\\Beta\\"); },
     ERROR_SUCCESS},
    {"deleting a user's hive", true,
     [](Platform& c) {
       return DeleteKey(c, HKEY_USERS, ".DEFAULT\\Software") == ERROR_SUCCESS
                  ? DeleteKey(c, HKEY_USERS, ".DEFAULT")
                  : -1;
     },
     sim::kStatusCannotDelete},
    {"deleting through a handle without the right", true,
     [](Platform& c) {
       return c.NtDeleteKey(Open(c, HKEY_LOCAL_MACHINE, "SOFTWARE\\Zeta", KEY_READ));
     },
     sim::kStatusAccessDenied},
    {"deleting a predefined key", true, [](Platform& c) { return c.NtDeleteKey(HKEY_USERS); },
     sim::kStatusInvalidHandle},
    {"deleting a key twice through one handle", true,
     [](Platform& c) {
       HKEY key = Open(c, HKEY_LOCAL_MACHINE, "SOFTWARE\\Zeta");
       c.NtDeleteKey(key);
       return c.NtDeleteKey(key);
     },
     sim::kStatusKeyDeleted},
    {"a key that refuses the access asked for, to an administrator too", true,
     [](Platform& c) {
       return OpenStatus(c, HKEY_LOCAL_MACHINE, "SOFTWARE\\Locked", KEY_ALL_ACCESS);
     },
     ERROR_ACCESS_DENIED},
    {"a key that refuses other access", true,
     [](Platform& c) { return OpenStatus(c, HKEY_LOCAL_MACHINE, "SOFTWARE\\Locked", KEY_READ); },
     ERROR_SUCCESS},
    {"creating a key that refuses the access asked for opens nothing", true,
     [](Platform& c) { return CreateStatus(c, HKEY_LOCAL_MACHINE, "SOFTWARE\\Locked", KEY_WRITE); },
     ERROR_ACCESS_DENIED},
    {"writing through a read-only handle", true,
     [](Platform& c) {
       return SetStatus(c, Open(c, HKEY_LOCAL_MACHINE, "SOFTWARE\\Zeta", KEY_READ), "v");
     },
     ERROR_ACCESS_DENIED},
    {"deleting a value through a read-only handle", true,
     [](Platform& c) {
       return c.RegDeleteValueA(
           Open(c, HKEY_LOCAL_MACHINE, "SOFTWARE\\Calvorne\\Kestrave", KEY_READ), "Count");
     },
     ERROR_ACCESS_DENIED},
    {"enumerating through a handle without the right", true,
     [](Platform& c) {
       char name[16];
       DWORD length = sizeof name;
       return c.RegEnumKeyExA(Open(c, HKEY_LOCAL_MACHINE, "SOFTWARE", KEY_QUERY_VALUE), 0, name,
                              &length, nullptr, nullptr, nullptr, nullptr);
     },
     ERROR_ACCESS_DENIED},
    {"a closed handle", true,
     [](Platform& c) {
       HKEY key = Open(c, HKEY_LOCAL_MACHINE, "SOFTWARE");
       c.RegCloseKey(key);
       return SetStatus(c, key, "v");
     },
     ERROR_INVALID_HANDLE},
    {"a handle on a deleted key", true,
     [](Platform& c) {
       HKEY key = Open(c, HKEY_LOCAL_MACHINE, "SOFTWARE\\Zeta");
       DeleteKey(c, HKEY_LOCAL_MACHINE, "SOFTWARE\\Zeta");
       return SetStatus(c, key, "v");
     },
     ERROR_KEY_DELETED},
    {"enumerating the values of a deleted key", true,
     [](Platform& c) {
       HKEY key = Open(c, HKEY_LOCAL_MACHINE, "SOFTWARE\\Calvorne\\Kestrave");
       DeleteKey(c, HKEY_LOCAL_MACHINE, "SOFTWARE\\Calvorne\\Kestrave");
       return EnumValueStatus(c, key);
     },
     ERROR_KEY_DELETED},
    {"enumerating values with the reserved argument set", true,
     [](Platform& c) {
       DWORD reserved = 0;
       return EnumValueStatus(c, HKEY_LOCAL_MACHINE, &reserved);
     },
     ERROR_INVALID_PARAMETER},
    {"not admin: opening under HKLM for writing", false,
     [](Platform& c) { return OpenStatus(c, HKEY_LOCAL_MACHINE, "SOFTWARE", KEY_ALL_ACCESS); },
     ERROR_ACCESS_DENIED},
    {"not admin: opening under HKLM for reading", false,
     [](Platform& c) { return OpenStatus(c, HKEY_LOCAL_MACHINE, "SOFTWARE", KEY_READ); },
     ERROR_SUCCESS},
    {"not admin: creating under HKLM", false,
     [](Platform& c) { return CreateStatus(c, HKEY_LOCAL_MACHINE, "SOFTWARE\\New", KEY_READ); },
     ERROR_ACCESS_DENIED},
    {"not admin: creating an existing HKLM key for reading opens it", false,
     [](Platform& c) { return CreateStatus(c, HKEY_LOCAL_MACHINE, "SOFTWARE\\Zeta", KEY_READ); },
     ERROR_SUCCESS},
    {"not admin: deleting under HKLM", false,
     [](Platform& c) { return DeleteKey(c, HKEY_LOCAL_MACHINE, "SOFTWARE\\Zeta"); },
     ERROR_ACCESS_DENIED},
    {"not admin: writing a value through HKLM itself", false,
     [](Platform& c) { return SetStatus(c, HKEY_LOCAL_MACHINE, "v"); }, ERROR_ACCESS_DENIED},
    {"not admin: the root of HKEY_USERS for writing", false,
     [](Platform& c) { return OpenStatus(c, HKEY_USERS, "", KEY_ALL_ACCESS); },
     ERROR_ACCESS_DENIED},
    {"not admin: the root of HKEY_USERS for reading", false,
     [](Platform& c) { return OpenStatus(c, HKEY_USERS, nullptr, KEY_READ); }, ERROR_SUCCESS},
    {"not admin: another user's hive", false,
     [](Platform& c) {
       return CreateStatus(c, HKEY_USERS, ".DEFAULT\\Software\\New", KEY_ALL_ACCESS);
     },
     ERROR_ACCESS_DENIED},
    {"not admin: the own hive through HKEY_USERS", false,
     [](Platform& c) {
       return CreateStatus(c, HKEY_USERS, (std::string(kUserSid) + "\\Software\\New").c_str(),
                           KEY_ALL_ACCESS);
     },
     ERROR_SUCCESS},
    {"not admin: deleting in the own hive", false,
     [](Platform& c) {
       return DeleteKey(c, HKEY_CURRENT_USER, "Software\\Calvorne\\Kestrave\\Flag");
     },
     ERROR_SUCCESS},
};

INSTANTIATE_TEST_SUITE_P(Sim, RegistryStatus, testing::ValuesIn(kStatusCases), PrintedName());

TEST(SimRegistry, CurrentUserIsTheUsersHiveListedUnderHkeyUsers) {
  SimTestMachine machine(kMachine);
  Platform& calls = machine.Calls();
  HKEY users = Open(calls, HKEY_USERS, nullptr, KEY_READ);
  EXPECT_EQ(SubkeyNames(calls, users), (std::vector<std::string>{kUserSid, ".DEFAULT"}));
  HKEY flag = Open(calls, HKEY_USERS,
                   (std::string(kUserSid) + "\\Software\\Calvorne\\Kestrave\\Flag").c_str());
  EXPECT_EQ(SetStatus(calls, flag, "800x600@32"), ERROR_SUCCESS);
  HKEY same = Open(calls, HKEY_CURRENT_USER, "Software\\Calvorne\\Kestrave\\Flag");
  EXPECT_EQ(calls.RegQueryValueExA(same, "800X600@32", nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
}

TEST(SimRegistry, TheHiveExistsWhenTheFileListsNothing) {
  SimTestMachine machine;
  Platform& calls = machine.Calls();
  EXPECT_EQ(SubkeyNames(calls, HKEY_USERS), std::vector<std::string>{kUserSid});
  EXPECT_EQ(CreateStatus(calls, HKEY_CURRENT_USER, "Software\\New", KEY_ALL_ACCESS), ERROR_SUCCESS);
}

TEST(SimRegistry, SubkeysEnumerateInFileOrderThenCreationOrderWithTheirFirstCase) {
  SimTestMachine machine(kMachine);
  Platform& calls = machine.Calls();
  EXPECT_EQ(CreateStatus(calls, HKEY_LOCAL_MACHINE, "software\\Beta", KEY_ALL_ACCESS),
            ERROR_SUCCESS);
  EXPECT_EQ(CreateStatus(calls, HKEY_LOCAL_MACHINE, "SOFTWARE\\aardvark", KEY_ALL_ACCESS),
            ERROR_SUCCESS);
  EXPECT_EQ(CreateStatus(calls, HKEY_LOCAL_MACHINE, "SOFTWARE\\BETA", KEY_ALL_ACCESS),
            ERROR_SUCCESS);
  HKEY software = Open(calls, HKEY_LOCAL_MACHINE, "Software", KEY_READ);
  EXPECT_EQ(SubkeyNames(calls, software),
            (std::vector<std::string>{"Calvorne", "Zeta", "Alpha", "Locked", "Beta", "aardvark"}));

  EXPECT_EQ(SubkeyCountAndLongestName(calls, software),
            (std::pair<DWORD, DWORD>{6, 8}));  // "Calvorne" and "aardvark", without the zero

  char name[8];
  DWORD length = sizeof name;
  EXPECT_EQ(calls.RegEnumKeyExA(software, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_MORE_DATA);
  EXPECT_EQ(length, 8u);
  EXPECT_EQ(calls.RegEnumKeyExA(software, 6, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_NO_MORE_ITEMS);
}

// What one RegEnumValueA call left in buffers of 8 bytes filled with "x"
// beforehand, with the room it was told of. The name is read up to its zero.
struct EnumeratedValue {
  LONG status;
  std::string name;
  DWORD length;
  DWORD type;
  DWORD size;
  std::string data;

  bool operator==(const EnumeratedValue& other) const {
    return std::tie(status, name, length, type, size, data) ==
           std::tie(other.status, other.name, other.length, other.type, other.size, other.data);
  }
};

void PrintTo(const EnumeratedValue& v, std::ostream* out) {
  *out << v.status << " " << testing::PrintToString(v.name) << " " << v.length << " " << v.type
       << " " << v.size << " " << testing::PrintToString(v.data);
}

EnumeratedValue EnumValue(Platform& calls, HKEY key, DWORD index, DWORD nameRoom, DWORD dataRoom) {
  char name[8];
  BYTE data[8];
  std::memset(name, 'x', sizeof name);
  std::memset(data, 'x', sizeof data);
  EnumeratedValue result{0, "", nameRoom, 1234, dataRoom, ""};
  result.status = calls.RegEnumValueA(key, index, name, &result.length, nullptr, &result.type,
                                      data, &result.size);
  result.name.assign(name, std::find(name, name + sizeof name, '\0'));
  result.data.assign(reinterpret_cast<const char*>(data), sizeof data);
  return result;
}

TEST(SimRegistry, ValuesEnumerateInOrderAndABufferTooSmallLeavesBothAsTheyWere) {
  SimTestMachine machine(kMachine);
  Platform& calls = machine.Calls();
  HKEY key = Open(calls, HKEY_LOCAL_MACHINE, "SOFTWARE\\Calvorne\\Kestrave", KEY_READ);
  const std::string x(8, 'x');
  const struct {
    const char* what;
    DWORD index;
    DWORD nameRoom;
    DWORD dataRoom;
    EnumeratedValue expected;
  } cases[] = {
      {"the default value first, its string as stored", 0, 8, 8,
       {ERROR_SUCCESS, "", 0, REG_SZ, 6, std::string("stamp\0xx", 8)}},
      {"then the next in the file's order", 1, 6, 4,
       {ERROR_SUCCESS, "Count", 5, REG_DWORD, 4, std::string("\x3c\0\0\0xxxx", 8)}},
      {"past the last value", 2, 8, 8, {ERROR_NO_MORE_ITEMS, x, 8, 1234, 8, x}},
      {"no room for the name's zero", 1, 5, 8, {ERROR_MORE_DATA, x, 5, REG_DWORD, 4, x}},
      {"data that does not fit", 0, 8, 5, {ERROR_MORE_DATA, x, 8, REG_SZ, 6, x}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(EnumValue(calls, key, c.index, c.nameRoom, c.dataRoom), c.expected) << c.what;

  // Without a data buffer the size alone is given.
  char name[8];
  DWORD length = sizeof name;
  DWORD size = 0;
  EXPECT_EQ(calls.RegEnumValueA(key, 0, name, &length, nullptr, nullptr, nullptr, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(size, 6u);
}

// "表示装置": four UTF-16 characters, eight bytes in code page 932.
const char kJapaneseUtf8[] = "\xE8\xA1\xA8\xE7\xA4\xBA\xE8\xA3\x85\xE7\xBD\xAE";
const char kJapanese932[] = "\x95\x5C\x8E\xA6\x91\x95\x92\x75";

TEST(SimRegistry, ADoubleByteCodePageGivesNamesInItsBytesAndCountsThemInCharacters) {
  SimTestMachine machine(std::string(R"({"os": {"codePage": 932}, "registry": {
      "HKEY_CURRENT_USER\\Software": {")") +
                         kJapaneseUtf8 + R"(": "1"},
      "HKEY_CURRENT_USER\\Software\\)" + kJapaneseUtf8 + R"(": {}}})");
  Platform& calls = machine.Calls();
  HKEY software = Open(calls, HKEY_CURRENT_USER, "Software", KEY_READ);
  EXPECT_EQ(SubkeyCountAndLongestName(calls, software), (std::pair<DWORD, DWORD>{1, 4}));
  char name[16];
  DWORD length = 5;
  EXPECT_EQ(calls.RegEnumKeyExA(software, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_MORE_DATA);
  length = sizeof name;
  ASSERT_EQ(calls.RegEnumKeyExA(software, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(std::string(name, length), kJapanese932);
  // A value's name likewise, its eight bytes and zero needing nine.
  length = 8;
  EXPECT_EQ(calls.RegEnumValueA(software, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_MORE_DATA);
  length = 9;
  ASSERT_EQ(calls.RegEnumValueA(software, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(std::string(name, length), kJapanese932);
  EXPECT_EQ(OpenStatus(calls, software, kJapanese932, KEY_READ), ERROR_SUCCESS);
  EXPECT_EQ(DeleteKey(calls, software, kJapanese932), ERROR_SUCCESS);
  EXPECT_EQ(SubkeyNames(calls, software), std::vector<std::string>{});
}

// A name with a character the ANSI code page lacks: the A calls give its
// best fit, a look-alike (a backslash for U+FF3C under 1252 and for the yen
// sign under 932), or "?"; the W calls give it as it is, and open it. The
// name the A call gave is then a path through the link named like its
// first part, REG_OPTION_OPEN_LINK or not.
TEST(SimRegistry, TheAnsiCallsGiveTheBestFitAndTheWideCallsTheName) {
  const struct {
    int codePage;
    const char* name;  // in UTF-8
    const char* ansi;
  } kNames[] = {{1252, "L\xEF\xBC\xBCSub", "L\\Sub"},
                {1252, "\xEF\xBC\x82\xEF\xBC\xAB", "\"K"},
                {1252, "\xD0\x9A", "?"},
                {932, "L\xC2\xA5Sub", "L\\Sub"}};
  for (const auto& c : kNames) {
    SimTestMachine machine(R"({"os": {"codePage": )" + std::to_string(c.codePage) +
                           R"(}, "registry": {
      "HKEY_LOCAL_MACHINE\\Software\\Victim\\Sub": {"deep": "1"},
      "HKEY_CURRENT_USER\\Software\\L": {"SymbolicLinkValue": ")" +
                           RegistryLinkData("\\Registry\\Machine\\Software\\Victim") + R"("},
      "HKEY_CURRENT_USER\\Software\\)" + c.name + R"(": {}}})");
    Platform& calls = machine.Calls();
    HKEY software = Open(calls, HKEY_CURRENT_USER, "Software", KEY_READ);
    EXPECT_EQ(SubkeyNames(calls, software)[1], c.ansi) << c.name;
    WCHAR name[16];
    DWORD length = 16;
    ASSERT_EQ(calls.RegEnumKeyExW(software, 1, name, &length, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(Utf8Of(name, length), c.name);
    HKEY key = nullptr;
    ASSERT_EQ(calls.RegOpenKeyExW(software, name, REG_OPTION_OPEN_LINK, KEY_READ, &key),
              ERROR_SUCCESS);
    EXPECT_EQ(calls.RegQueryValueExA(key, "deep", nullptr, nullptr, nullptr, nullptr),
              ERROR_FILE_NOT_FOUND);
    const bool isPath = std::string(c.ansi) == "L\\Sub";
    ASSERT_EQ(calls.RegOpenKeyExA(software, c.ansi, REG_OPTION_OPEN_LINK, KEY_READ, &key),
              isPath ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
    if (isPath) {
      EXPECT_EQ(calls.RegQueryValueExA(key, "deep", nullptr, nullptr, nullptr, nullptr),
                ERROR_SUCCESS);
    }
  }
}

TEST(SimRegistry, ALinkIsFollowedUnlessOpenedAsItself) {
  SimTestMachine machine(R"({"registry": {
    "HKEY_LOCAL_MACHINE\\Software\\Victim": {"keep": "1"},
    "HKEY_CURRENT_USER\\Software\\Link": {"SymbolicLinkValue": ")" +
                         RegistryLinkData("\\Registry\\Machine\\Software\\Victim") + R"("},
    "HKEY_CURRENT_USER\\Software\\Loop": {"SymbolicLinkValue": ")" +
                         RegistryLinkData("\\Registry\\User\\" + std::string(kDefaultUserSid) +
                                          "\\Software\\Loop") +
                         R"("}}})");
  Platform& calls = machine.Calls();
  auto hasValue = [&](DWORD options, const char* name) {
    HKEY key = nullptr;
    EXPECT_EQ(calls.RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Link", options, KEY_READ, &key),
              ERROR_SUCCESS);
    DWORD type = 0;
    bool found =
        calls.RegQueryValueExA(key, name, nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS;
    calls.RegCloseKey(key);
    return found;
  };
  EXPECT_TRUE(hasValue(0, "keep"));
  EXPECT_TRUE(hasValue(REG_OPTION_OPEN_LINK, "SymbolicLinkValue"));
  EXPECT_FALSE(hasValue(REG_OPTION_OPEN_LINK, "keep"));
  EXPECT_EQ(OpenStatus(calls, HKEY_CURRENT_USER, "Software\\Loop", KEY_READ), 1921);
  // Deleting through a handle deletes the key it was opened on: the link
  // itself when opened as itself, what it leads to when opened through it,
  // as RegDeleteKeyA opens it.
  EXPECT_EQ(DeleteKey(calls, HKEY_CURRENT_USER, "Software\\Loop"), ERROR_SUCCESS);
  EXPECT_EQ(OpenStatus(calls, HKEY_CURRENT_USER, "Software\\Loop", KEY_READ), ERROR_FILE_NOT_FOUND);
  HKEY through = Open(calls, HKEY_CURRENT_USER, "Software\\Link", DELETE);
  EXPECT_EQ(calls.NtDeleteKey(through), 0);
  EXPECT_EQ(OpenStatus(calls, HKEY_LOCAL_MACHINE, "Software\\Victim", KEY_READ),
            ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(hasValue(REG_OPTION_OPEN_LINK, "SymbolicLinkValue"));
}

TEST(SimRegistry, CreatingReportsWhetherTheKeyWasThere) {
  SimTestMachine machine(kMachine);
  Platform& calls = machine.Calls();
  HKEY key = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(
      calls.RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\A\\B\\", 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, &disposition),
      ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
  ASSERT_EQ(
      calls.RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\a\\b", 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, &disposition),
      ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
}

TEST(SimRegistry, QueryValueReportsTypeAndSizeAndRefusesSmallBuffers) {
  SimTestMachine machine(kMachine);
  Platform& calls = machine.Calls();
  HKEY key = Open(calls, HKEY_LOCAL_MACHINE, "SOFTWARE\\Calvorne\\Kestrave", KEY_READ);
  DWORD type = 0;
  DWORD size = 0;
  EXPECT_EQ(calls.RegQueryValueExA(key, "", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, 6u);  // "stamp" with its terminating zero

  BYTE small[3] = {};
  size = sizeof small;
  EXPECT_EQ(calls.RegQueryValueExA(key, nullptr, nullptr, &type, small, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 6u);

  BYTE data[8] = {};
  size = sizeof data;
  EXPECT_EQ(calls.RegQueryValueExA(key, "count", nullptr, &type, data, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(data[0], 0x3C);

  EXPECT_EQ(calls.RegQueryValueExA(key, "Missing", nullptr, &type, nullptr, &size),
            ERROR_FILE_NOT_FOUND);

  // One variable for the type and the size: the size is read before the
  // type is written over it.
  DWORD both = sizeof data;
  EXPECT_EQ(calls.RegQueryValueExA(key, "", nullptr, &both, data, &both), ERROR_SUCCESS);
  EXPECT_EQ(both, 6u);
}

TEST(SimRegistry, AnEmptySubKeyOpensTheRootItself) {
  SimTestMachine machine(kMachine);
  Platform& calls = machine.Calls();
  HKEY root = Open(calls, HKEY_LOCAL_MACHINE, "", KEY_READ);
  EXPECT_EQ(SubkeyNames(calls, root), std::vector<std::string>{"SOFTWARE"});
}

TEST(SimRegistry, ValuesAreReplacedAndDeletedWithoutRegardToCase) {
  SimTestMachine machine(kMachine);
  Platform& calls = machine.Calls();
  HKEY key = Open(calls, HKEY_CURRENT_USER, "Software\\Calvorne\\Kestrave\\Flag");
  const BYTE data[] = "75";
  EXPECT_EQ(calls.RegSetValueExA(key, "1280X1024@32", 0, REG_SZ, data, sizeof data), ERROR_SUCCESS);
  const auto& values = machine.State()
                           .registry.UserHive()
                           ->FindSubkey("Software")
                           ->FindSubkey("Calvorne")
                           ->FindSubkey("Kestrave")
                           ->FindSubkey("Flag")
                           ->Values();
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values[0].name, "1280x1024@32");
  EXPECT_EQ(values[0].data.bytes, std::string("75", 3));
  EXPECT_EQ(calls.RegDeleteValueA(key, "1280x1024@32"), ERROR_SUCCESS);
  EXPECT_EQ(calls.RegDeleteValueA(key, "1280x1024@32"), ERROR_FILE_NOT_FOUND);
}

}  // namespace
