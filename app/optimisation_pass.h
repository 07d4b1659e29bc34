// The main job: every display that is not optimised yet gets its optimal
// mode, and after a successful change the wallpaper follows.
#pragma once

#include "base/objects.h"
#include "display/adapter.h"
#include "display/mode.h"
#include "platform/win32_types.h"

void OptimiseDisplays(TStringList* adapters);

// True when the platform accepted the mode, now or after a restart.
bool ApplyMode(const TAdapter* adapter, const TMode* mode);

const char* ChangeResultText(LONG code);
