// With -d, the dump of everything the display model knows, written before
// the optimisation pass changes anything.
#pragma once

#include <string>

#include "base/objects.h"

// Every adapter with its keys and modes, and its monitors.
void WriteAdapterDump(const TStringList& adapters);

// The monitors of one adapter, each with its EDID report, presets and
// preferred timing.
void WriteMonitorDump(const TStringList* monitors, const std::string& indentation);

// The modes of a list, four to a line, each line after a line end and the
// prefix; nothing at all for no list.
void WriteModeList(const TObjectList* modes, const std::string& prefix);
