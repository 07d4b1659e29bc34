// Reads any bytes as a machine file of kestrave-sim. Each must be refused
// with a MachineFileError, which kestrave-sim reports with its place, or
// read; any other exception ends the fuzzer as a finding. A file that
// reads is written back and read again, which must give the same machine;
// so must the machine written whole, as a capture writes it.
//
// The write-back only rewrites what a run changed, so it is done as after a
// run that set everything the writer writes: the document it updates is
// the file without its registry values, adapter modes and wallpaper path,
// and the registry counts as changed. Every value then goes through the
// writer's own data texts, every mode through its mode text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "sim/machine_file/machine_file_error.h"
#include "sim/machine_file/machine_reader.h"
#include "sim/machine_file/machine_writer.h"
#include "tests/fuzz/machine_description.h"

namespace {

// The file as it was before such a run; it reads, as the file did.
Json WithoutWrittenParts(Json document) {
  if (document.contains("registry"))
    for (auto& key : document["registry"].items()) key.value() = Json::object();
  if (document.contains("adapters"))
    for (Json& adapter : document["adapters"]) {
      adapter.erase("current");
      adapter.erase("registry");
    }
  if (document.contains("wallpaper")) document["wallpaper"].erase("path");
  return document;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Json document;
  std::optional<Machine> machine;
  try {
    document = ParseMachineJson(std::string(data, data + size));
    machine.emplace(ReadMachine(document));
  } catch (const MachineFileError&) {
    return 0;
  }

  const std::string before = MachineDescription(*machine);
  const std::string whole = MachineDocumentText(MachineDocument(*machine));
  machine->registry.MarkChanged();
  const std::string updated =
      MachineDocumentText(UpdatedMachineDocument(WithoutWrittenParts(document), *machine));
  for (const std::string* written : {&whole, &updated}) {
    const std::string after = MachineDescription(ReadMachine(ParseMachineJson(*written)));
    if (after != before) {
      std::fprintf(stderr,
                   "read back as another machine\n-- file written:\n%s-- read:\n%s-- "
                   "read back:\n%s",
                   written->c_str(), before.c_str(), after.c_str());
      std::abort();
    }
  }
  return 0;
}
