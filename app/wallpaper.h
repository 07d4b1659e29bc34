// After a mode change, the wallpaper of a known family in the Windows
// directory follows the new width.
#pragma once

#include "display/mode.h"

// Uses only the mode's width; reports every decision in the log.
void MatchWallpaper(const TMode* mode);
