#include "display/optimal_mode.h"

#include "app/log.h"
#include "app/process_state.h"
#include "display/adapter.h"
#include "display/has_mode.h"

namespace {

std::unique_ptr<TMode> CopyOf(const TMode& mode) {
  return std::make_unique<TMode>(mode.Width, mode.Height, mode.BitsPerPixel, mode.Frequency);
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
  // A preset is only worth choosing when the adapter can set it; the
  // adapter's own modes need no such test.
  auto acceptable = [&](const TMode& candidate) {
    return !PresetsOnly || HasMode(adapterModes, &candidate);
  };

  std::unique_ptr<TMode> result;
  std::unique_ptr<TMode> best = CopyOf(*currentMode);
  for (int i = 0; i < candidates.Count() && result == nullptr; ++i) {
    const auto* candidate = dynamic_cast<const TMode*>(candidates.Items(i));
    if (candidate == nullptr) continue;
    if (target != nullptr && Matches(*candidate, *target) && acceptable(*candidate)) {
      // The first match wins, not the fastest entry of the preferred
      // resolution.
      result = CopyOf(*target);
      result->Frequency = candidate->Frequency;
    } else if (IsBetterThan(*candidate, *best) && acceptable(*candidate)) {
      best = CopyOf(*candidate);
    }
  }
  if (result == nullptr) result = std::move(best);
  result->BitsPerPixel = currentMode->BitsPerPixel;

  WriteMode(Log(), result.get()) << '\n';
  return result;
}

std::unique_ptr<TMode> ChooseOptimalMode(const TAdapter* adapter, bool optimisedBefore) {
  if (adapter == nullptr) return nullptr;
  const TDisplay* monitor = MonitorOf(*adapter);
  if (monitor == nullptr) return nullptr;
  return ChooseOptimalMode(adapter->CurrentMode.get(), &adapter->Modes,
                           monitor->PreferredMode.get(), &monitor->Presets, optimisedBefore);
}
