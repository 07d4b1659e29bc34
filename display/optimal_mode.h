// The choice of the mode a display is switched to.
#pragma once

#include <memory>

#include "base/objects.h"
#include "display/mode.h"

// Chooses, at the current mode's depth, either the monitor's preferred
// resolution at the frequency of the first candidate that matches it (when
// PresetsOnly is false, at the fastest frequency the adapter lists for that
// resolution and depth), or the current resolution at the fastest
// candidate's frequency (the current frequency when none is faster).
//
// The candidates are the monitor's presets, each standing for the first of
// the adapter's modes that Matches it at the current depth (and passed over
// when there is none), or, when PresetsOnly is false, the adapter's modes
// themselves. With the presets, when none matches the preferred resolution,
// the adapter's first mode that Matches the preferred mode at the current
// depth is taken for it. Either way the frequency chosen is one the adapter
// lists.
// optimisedBefore confines the choice to the current resolution.
//
// Writes "[preferred mode: <mode>] " when there is a preferred mode, then the
// result and a line end, onto the log line the caller has begun. Returns null
// and writes nothing when the current mode, the adapter's modes or the
// monitor's presets (that is, the monitor) are missing.
std::unique_ptr<TMode> ChooseOptimalMode(const TMode* currentMode, const TObjectList* adapterModes,
                                         const TMode* preferredMode, const TObjectList* presets,
                                         bool optimisedBefore);

// The timing the choice aims at: the base block's preferred timing, or in
// its place the largest of the monitor's DisplayID preferred timings (of
// equal size the fastest, then the first) that is larger than it, or any
// when there is none, and that the adapter lists at the given depth (a
// frequency within 1 Hz). Null when there is neither.
const TMode* TargetTiming(const TMode* preferredMode, const TObjectList& displayIdTimings,
                          const TObjectList& adapterModes, DWORD depth);

class TAdapter;

// The choice for an adapter and its monitor; null, writing nothing, when
// the adapter has no monitor (or lacks what the choice needs).
std::unique_ptr<TMode> ChooseOptimalMode(const TAdapter* adapter, bool optimisedBefore);
