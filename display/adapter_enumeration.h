// The adapter list: built once from the platform's display devices, freed
// once at the end of the run.
#pragma once

#include <memory>

#include "base/objects.h"
#include "display/mode.h"
#include "platform/win32_types.h"

// Fills the list with one TAdapter per display device that is not a
// mirroring driver, each with its modes and active monitors. A fault raised
// while a monitor is built leaves the list as far as it got.
void EnumerateAdapters(TStringList* adapters);

// Appends every mode the platform reports for the device with these flags.
void EnumerateModes(LPCSTR deviceName, TObjectList* modes, DWORD flags);

// The mode of ENUM_CURRENT_SETTINGS or ENUM_REGISTRY_SETTINGS, or null.
std::unique_ptr<TMode> ReadMode(LPCSTR deviceName, DWORD modeNumber);

// Fills the list with the device's active monitors.
void EnumerateMonitors(LPCSTR deviceName, TStringList* monitors);

// Frees every adapter of the list, then the list.
void FreeAdapters(std::unique_ptr<TStringList> adapters);

// The adapter list of one run, handed to FreeAdapters however the run ends.
class AdapterList {
 public:
  AdapterList() : list_(new TStringList) {}
  ~AdapterList() { FreeAdapters(std::move(list_)); }
  AdapterList(const AdapterList&) = delete;
  AdapterList& operator=(const AdapterList&) = delete;
  TStringList* get() const { return list_.get(); }

 private:
  std::unique_ptr<TStringList> list_;
};
