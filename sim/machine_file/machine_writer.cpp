#include "sim/machine_file/machine_writer.h"

#include "sim/machine_file/machine_document.h"
#include "sim/machine_file/machine_file_error.h"
#include "sim/machine_file/machine_reader.h"
#include "sim/machine_file/utf8_check.h"

namespace {

void UpdateMode(Json& adapter, const char* member, const std::optional<SimMode>& before,
                const std::optional<SimMode>& after) {
  if (before != after) adapter[member] = ModeValue(after);
}

}  // namespace

Json UpdatedMachineDocument(const Json& original, const Machine& machine) {
  Json document = original;
  // What the file said, to tell what the run changed.
  Machine before = ReadMachine(original);
  for (size_t i = 0; i < machine.adapters.size(); ++i) {
    Json& adapter = document["adapters"][i];
    UpdateMode(adapter, "current", before.adapters[i].current, machine.adapters[i].current);
    UpdateMode(adapter, "registry", before.adapters[i].registry, machine.adapters[i].registry);
  }
  if (machine.wallpaper.path != before.wallpaper.path) {
    if (!IsValidUtf8(machine.wallpaper.path))
      throw MachineFileError("/wallpaper/path",
                             "the run set a wallpaper path that is not valid UTF-8");
    document["wallpaper"]["path"] = machine.wallpaper.path;
  }
  if (machine.registry.Changed()) {
    const Json* registry = FindMember(original, "registry");
    document["registry"] = UpdatedRegistry(registry ? *registry : Json::object(), machine.registry);
    // A key the run deleted refuses nothing any more.
    if (FindMember(original, "refusedAccess") != nullptr)
      document["refusedAccess"] = RefusedAccessMembers(machine.registry);
  }
  return document;
}
