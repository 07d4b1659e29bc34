#include "display/optimal_mode.h"

#include <cstdint>

#include "display/adapter.h"
#include "display/has_mode.h"
#include "process/log.h"
#include "process/process_state.h"

namespace {

std::unique_ptr<TMode> CopyOf(const TMode& mode) {
  return std::make_unique<TMode>(mode.Width, mode.Height, mode.BitsPerPixel, mode.Frequency);
}

// The fastest frequency among the adapter's entries of the mode's
// resolution at the mode's depth, or the mode's own when none is faster.
// Entries of another depth are never counted: the depth does not change.
DWORD FastestFrequencyOf(const TObjectList& adapterModes, const TMode& mode) {
  DWORD fastest = mode.Frequency;
  for (int i = 0; i < adapterModes.Count(); ++i) {
    const auto* entry = dynamic_cast<const TMode*>(adapterModes.Items(i));
    if (entry != nullptr && entry->Width == mode.Width && entry->Height == mode.Height &&
        entry->BitsPerPixel == mode.BitsPerPixel && entry->Frequency > fastest)
      fastest = entry->Frequency;
  }
  return fastest;
}

}  // namespace

std::unique_ptr<TMode> ChooseOptimalMode(const TMode* currentMode, const TObjectList* adapterModes,
                                         const TMode* preferredMode, const TObjectList* presets,
                                         bool optimisedBefore) {
  if (currentMode == nullptr || adapterModes == nullptr || presets == nullptr) return nullptr;

  std::unique_ptr<TMode> target;
  if (preferredMode != nullptr) {
    target = std::make_unique<TMode>(preferredMode->Width, preferredMode->Height,
                                     currentMode->BitsPerPixel, preferredMode->Frequency);
    WriteMode(Log() << "[preferred mode: ", target.get()) << "] ";
  }
  // A display set before in another resolution keeps that resolution; the
  // preferred mode is still shown above.
  if (optimisedBefore) target.reset();

  const TObjectList& candidates = PresetsOnly ? *presets : *adapterModes;
  // A preset stands for the adapter's first entry of it at the current
  // depth, and the choice is made on that entry: the preset's own EDID
  // figures, or its resolution at another depth, may be no mode the driver
  // lists (it may list 59 Hz where the EDID says 60), and asking for them
  // fails. A preset the adapter does not list is passed over. The adapter's
  // own modes, under -p, need no such lookup.
  auto offered = [&](const TMode& candidate) -> const TMode* {
    if (!PresetsOnly) return &candidate;
    const TMode listed(candidate.Width, candidate.Height, currentMode->BitsPerPixel,
                       candidate.Frequency);
    return HasMode(adapterModes, &listed);
  };

  // The target at the frequency of the adapter's entry that stands for it.
  auto targetAt = [&](const TMode& entry) {
    std::unique_ptr<TMode> chosen = CopyOf(*target);
    chosen->Frequency = entry.Frequency;
    return chosen;
  };

  std::unique_ptr<TMode> result;
  std::unique_ptr<TMode> best = CopyOf(*currentMode);
  for (int i = 0; i < candidates.Count() && result == nullptr; ++i) {
    const auto* candidate = dynamic_cast<const TMode*>(candidates.Items(i));
    const TMode* mode = candidate != nullptr ? offered(*candidate) : nullptr;
    if (mode == nullptr) continue;
    if (target != nullptr && Matches(*mode, *target)) {
      // The first match wins the walk. Without -p it is also the rate: the
      // preferred timing's, as the monitor's maker asks. -p asks for the
      // fastest rate the adapter lists at that resolution.
      result = targetAt(*mode);
      if (!PresetsOnly) result->Frequency = FastestFrequencyOf(*adapterModes, *result);
    } else if (IsBetterThan(*mode, *best)) {
      best = CopyOf(*mode);
    }
  }
  // The preferred timing names a mode of its own even where no preset does:
  // no standard timing can name a width above 2288, and many panels list none
  // for their native resolution. The adapter's first entry of it stands for it.
  if (result == nullptr && target != nullptr && PresetsOnly) {
    if (const TMode* entry = HasMode(adapterModes, target.get())) result = targetAt(*entry);
  }
  if (result == nullptr) result = std::move(best);
  result->BitsPerPixel = currentMode->BitsPerPixel;

  WriteMode(Log(), result.get()) << '\n';
  return result;
}

const TMode* TargetTiming(const TMode* preferredMode, const TObjectList& displayIdTimings,
                          const TObjectList& adapterModes, DWORD depth) {
  const auto area = [](const TMode& mode) { return std::uint64_t{mode.Width} * mode.Height; };
  const std::uint64_t baseArea = preferredMode != nullptr ? area(*preferredMode) : 0;
  const TMode* target = nullptr;
  for (int i = 0; i < displayIdTimings.Count(); ++i) {
    const auto* timing = dynamic_cast<const TMode*>(displayIdTimings.Items(i));
    if (timing == nullptr || area(*timing) <= baseArea) continue;
    const TMode listed(timing->Width, timing->Height, depth, timing->Frequency);
    if (HasMode(&adapterModes, &listed) == nullptr) continue;
    if (target == nullptr || area(*timing) > area(*target) ||
        (area(*timing) == area(*target) && timing->Frequency > target->Frequency)) {
      target = timing;
    }
  }
  return target != nullptr ? target : preferredMode;
}

std::unique_ptr<TMode> ChooseOptimalMode(const TAdapter* adapter, bool optimisedBefore) {
  if (adapter == nullptr) return nullptr;
  const TDisplay* monitor = MonitorOf(*adapter);
  if (monitor == nullptr) return nullptr;
  const TMode* current = adapter->CurrentMode.get();
  // A monitor that names its native mode only in a DisplayID extension is
  // set to that mode wherever the adapter offers it.
  const TMode* target = current == nullptr ? nullptr
                                           : TargetTiming(monitor->PreferredMode.get(),
                                                          monitor->DisplayIdPreferredTimings,
                                                          adapter->Modes, current->BitsPerPixel);
  return ChooseOptimalMode(current, &adapter->Modes, target, &monitor->Presets, optimisedBefore);
}
