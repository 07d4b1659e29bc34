#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sim/machine_file/machine_file.h"
#include "sim/machine_file/machine_writer.h"
#include "sim/machine_file/registry_data_text.h"
#include "tests/support/files.h"
#include "tests/support/sim_test_machine.h"

namespace {

Json Updated(const std::string& json, SimTestMachine& machine) {
  return UpdatedMachineDocument(ParseMachineJson(json), machine.State());
}

std::vector<std::string> MemberNames(const Json& object) {
  std::vector<std::string> names;
  for (const auto& member : object.items()) names.push_back(member.key());
  return names;
}

HKEY Create(Platform& calls, HKEY root, const char* path) {
  HKEY key = nullptr;
  EXPECT_EQ(calls.RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
            ERROR_SUCCESS)
      << path;
  return key;
}

void SetString(Platform& calls, HKEY key, const char* name, const std::string& text) {
  EXPECT_EQ(calls.RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>(text.size() + 1)),
            ERROR_SUCCESS);
}

const char kDisplays[] = R"({
  "adapters": [{"DeviceName": "\\\\.\\DISPLAY1", "DeviceString": "A", "StateFlags": 5,
                "DeviceID": "", "DeviceKey": "", "modes": ["1280x1024x32@60"],
                "current": "1024x768x32@60", "monitors": []}],
  "multipleMonitorApi": true
})";

TEST(SimMachineWriter, ModesChangeInPlaceAndAnAbsentMemberOnlyWhenItChanged) {
  SimTestMachine machine(kDisplays);
  DEVMODEA mode = ModeRecord(1280, 1024, 32, 60);
  ASSERT_EQ(machine.Calls().ChangeDisplaySettingsExA("\\\\.\\display1", &mode, nullptr, 0, nullptr),
            DISP_CHANGE_SUCCESSFUL);
  Json once = Updated(kDisplays, machine);
  EXPECT_EQ(once["adapters"][0]["current"], "1280x1024x32@60");
  EXPECT_EQ(MemberNames(once["adapters"][0]),
            (std::vector<std::string>{"DeviceName", "DeviceString", "StateFlags", "DeviceID",
                                      "DeviceKey", "modes", "current", "monitors"}));

  ASSERT_EQ(machine.Calls().ChangeDisplaySettingsExA("\\\\.\\DISPLAY1", &mode, nullptr,
                                                     CDS_UPDATEREGISTRY | CDS_GLOBAL, nullptr),
            DISP_CHANGE_SUCCESSFUL);
  Json twice = Updated(kDisplays, machine);
  EXPECT_EQ(MemberNames(twice["adapters"][0]).back(), "registry");
  EXPECT_EQ(twice["adapters"][0]["registry"], "1280x1024x32@60");
  EXPECT_EQ(MemberNames(twice), (std::vector<std::string>{"adapters", "multipleMonitorApi"}));
}

TEST(SimMachineWriter, TheWallpaperPathIsAddedWhenTheRunSetsIt) {
  SimTestMachine machine(kDisplays);
  char path[] = "C:\\WINDOWS\\zqx1280h.bmp";
  ASSERT_TRUE(machine.Calls().SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, path, 3));
  Json updated = Updated(kDisplays, machine);
  EXPECT_EQ(MemberNames(updated).back(), "wallpaper");
  EXPECT_EQ(updated["wallpaper"], Json({{"path", "C:\\WINDOWS\\zqx1280h.bmp"}}));
}

const char kRegistry[] = R"({
  "registry": {
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run": {
      "Other": "C:\\other.exe", "Kestrave": "old", "Gone": "x", "Blob": "hex:00,FF"
    },
    "HKEY_CURRENT_USER\\Software\\Calvorne\\Kestrave\\Lumenar_0000&Plug and Play Monitor_0001": {
      "1024x768@32": "60"
    },
    "HKEY_CURRENT_USER\\Software\\Other": {},
    "HKEY_USERS\\.DEFAULT\\Software\\Calvorne\\Kestrave": {}
  }
})";

TEST(SimMachineWriter, ValuesChangeInPlaceKeepingTheirSpelling) {
  SimTestMachine machine(kRegistry);
  Platform& calls = machine.Calls();
  HKEY run = Create(calls, HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
  SetString(calls, run, "KESTRAVE", "C:\\Program Files\\Kestrave\\kestrave.exe");
  EXPECT_EQ(calls.RegDeleteValueA(run, "gone"), ERROR_SUCCESS);
  SetString(calls, run, "Added", "\xe9t\xe9");
  Json values = Updated(
      kRegistry,
      machine)["registry"]["HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"];
  EXPECT_EQ(values, Json::parse(R"({"Other": "C:\\other.exe",
                                    "Kestrave": "C:\\Program Files\\Kestrave\\kestrave.exe",
                                    "Blob": "hex:00,FF", "Added": "hex(1):e9,74,e9,00"})"));
}

TEST(SimMachineWriter, DeletedKeysGoAndTheKeysLeftEmptyStayWhereTheyWere) {
  SimTestMachine machine(kRegistry);
  Platform& calls = machine.Calls();
  ASSERT_EQ(DeleteKey(calls, HKEY_CURRENT_USER,
                      "Software\\Calvorne\\Kestrave\\Lumenar_0000&Plug and Play "
                      "Monitor_0001"),
            ERROR_SUCCESS);
  ASSERT_EQ(DeleteKey(calls, HKEY_CURRENT_USER, "Software\\Calvorne\\Kestrave\\"), ERROR_SUCCESS);
  ASSERT_EQ(DeleteKey(calls, HKEY_USERS, ".DEFAULT\\Software\\Calvorne\\Kestrave"), ERROR_SUCCESS);
  Json registry = Updated(kRegistry, machine)["registry"];
  EXPECT_EQ(MemberNames(registry),
            (std::vector<std::string>{
                "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                "HKEY_CURRENT_USER\\Software\\Calvorne", "HKEY_CURRENT_USER\\Software\\Other",
                "HKEY_USERS\\.DEFAULT\\Software\\Calvorne"}));
  EXPECT_EQ(registry["HKEY_CURRENT_USER\\Software\\Calvorne"], Json::object());
}

TEST(SimMachineWriter, CreatedKeysComeLastUnderCurrentUser) {
  SimTestMachine machine(kRegistry);
  Platform& calls = machine.Calls();
  HKEY flag = Create(calls, HKEY_CURRENT_USER,
                     "Software\\Calvorne\\Kestrave\\Lumenar_0001&Plug and Play Monitor_0002");
  SetString(calls, flag, "1920x1080@32", "60");
  HKEY own = Create(calls, HKEY_LOCAL_MACHINE, "Software\\Calvorne\\Kestrave\\");
  SetString(calls, own, "", "Nov 20 2003  13:11:53");
  Json registry = Updated(kRegistry, machine)["registry"];
  std::vector<std::string> names = MemberNames(registry);
  ASSERT_EQ(names.size(), 6u);
  EXPECT_EQ(names[4], "HKEY_LOCAL_MACHINE\\SOFTWARE\\Calvorne\\Kestrave");
  EXPECT_EQ(names[5],
            "HKEY_CURRENT_USER\\Software\\Calvorne\\Kestrave\\Lumenar_0001&Plug and Play "
            "Monitor_0002");
  EXPECT_EQ(registry[names[4]], Json({{"@", "Nov 20 2003  13:11:53"}}));
}

// A machine only read is the same document: no registry member is added.
TEST(SimMachineWriter, ARegistryMemberIsAddedOnlyWhenTheRunChangedTheRegistry) {
  SimTestMachine unchanged(kDisplays);
  HKEY key = nullptr;
  unchanged.Calls().RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_READ, &key);
  EXPECT_EQ(Updated(kDisplays, unchanged), ParseMachineJson(kDisplays));

  SimTestMachine changed(kDisplays);
  Create(changed.Calls(), HKEY_CURRENT_USER, "Software\\Calvorne");
  Json updated = Updated(kDisplays, changed);
  EXPECT_EQ(MemberNames(updated).back(), "registry");
  EXPECT_EQ(updated["registry"], Json({{"HKEY_CURRENT_USER\\Software\\Calvorne", Json::object()}}));
}

std::vector<std::string> Tree(const RegistryKey& key, const std::string& indent = "") {
  std::vector<std::string> lines;
  for (const auto& subkey : key.Subkeys()) {
    std::string line = indent + subkey->Name();
    for (const RegistryValue& value : subkey->Values())
      line += " " + value.name + "=" + RegistryDataText(value.data);
    lines.push_back(line);
    for (const std::string& below : Tree(*subkey, indent + "  ")) lines.push_back(below);
  }
  return lines;
}

TEST(SimMachineWriter, ASecondRunReadsTheRegistryTheFirstLeft) {
  SimTestMachine first(kRegistry);
  Platform& calls = first.Calls();
  // Created in an order that a naive listing would not give back: S1 first,
  // then S2 with a subkey, then a subkey of S1.
  Create(calls, HKEY_LOCAL_MACHINE, "SOFTWARE\\P\\S1");
  Create(calls, HKEY_LOCAL_MACHINE, "SOFTWARE\\P\\S2\\L");
  Create(calls, HKEY_LOCAL_MACHINE, "SOFTWARE\\P\\S1\\M");
  SetString(calls, Create(calls, HKEY_CURRENT_USER, "Software"), "Top", "1");
  DeleteKey(calls, HKEY_CURRENT_USER, "Software\\Other");
  Json written = Updated(kRegistry, first);

  SimTestMachine second(MachineDocumentText(written));
  for (auto root : {&RegistryTree::Machine, &RegistryTree::Users})
    EXPECT_EQ(Tree(*(second.State().registry.*root)()), Tree(*(first.State().registry.*root)()));
  EXPECT_EQ(UpdatedMachineDocument(written, second.State()), written);
}

class SaveFile : public testing::Test {
 protected:
  static std::vector<std::string> Files() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator("."))
      names.push_back(entry.path().filename().string());
    return names;
  }

  ScratchFolder folder_;
};

TEST_F(SaveFile, ReplacesTheFileAndLeavesNoTemporary) {
  std::ofstream("machine.json") << "old";
  SaveFileAtomically("machine.json", "new\n");
  EXPECT_EQ(FileContent("machine.json"), "new\n");
  EXPECT_EQ(Files(), std::vector<std::string>{"machine.json"});
}

TEST_F(SaveFile, AFailureLeavesNothingBehind) {
  EXPECT_THROW(SaveFileAtomically("missing/machine.json", "new\n"), std::runtime_error);
  EXPECT_TRUE(Files().empty());
}

TEST_F(SaveFile, WritesIntoADeviceInsteadOfReplacingIt) {
  // A null device of its own, so that a fault here cannot take the
  // machine's /dev/null away.
  if (mknod("null", S_IFCHR | 0666, makedev(1, 3)) != 0)
    GTEST_SKIP() << "cannot make a device node here";
  SaveFileAtomically("null", "new\n");
  EXPECT_TRUE(std::filesystem::is_character_file("null"));
  EXPECT_EQ(Files(), std::vector<std::string>{"null"});
}

// A key the run deleted refuses nothing any more; a file with no key that
// refuses access gets no member for it, written whole or after a run.
TEST(SimMachineWriter, RefusedAccessKeepsTheKeysThatAreLeft) {
  const char json[] = R"({"registry": {"HKEY_CURRENT_USER\\A": {}, "HKEY_CURRENT_USER\\B": {}},
    "refusedAccess": {"HKEY_CURRENT_USER\\A": 2, "HKEY_CURRENT_USER\\B": 983103}})";
  SimTestMachine machine(json);
  ASSERT_EQ(DeleteKey(machine.Calls(), HKEY_CURRENT_USER, "A"), ERROR_SUCCESS);
  const Json expected = {{"HKEY_CURRENT_USER\\B", 983103}};
  EXPECT_EQ(Updated(json, machine)["refusedAccess"], expected);
  EXPECT_EQ(MachineDocument(machine.State())["refusedAccess"], expected);
  SimTestMachine plain(R"({"registry": {"HKEY_CURRENT_USER\\A": {}}})");
  DeleteKey(plain.Calls(), HKEY_CURRENT_USER, "A");
  EXPECT_FALSE(
      Updated(R"({"registry": {"HKEY_CURRENT_USER\\A": {}}})", plain).contains("refusedAccess"));
  EXPECT_FALSE(MachineDocument(plain.State()).contains("refusedAccess"));
}

TEST(SimMachineWriter, AUserHiveTheFileDidNotListIsNotAdded) {
  SimTestMachine machine(R"({"registry": {"HKEY_LOCAL_MACHINE\\SOFTWARE": {}}})");
  Create(machine.Calls(), HKEY_LOCAL_MACHINE, "SOFTWARE\\New");
  Json registry =
      Updated(R"({"registry": {"HKEY_LOCAL_MACHINE\\SOFTWARE": {}}})", machine)["registry"];
  EXPECT_EQ(MemberNames(registry), (std::vector<std::string>{"HKEY_LOCAL_MACHINE\\SOFTWARE",
                                                             "HKEY_LOCAL_MACHINE\\SOFTWARE\\New"}));
}

}  // namespace
