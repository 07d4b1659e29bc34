// After a mode change, the wallpaper of a known family in the Windows
// directory follows the new width.
#pragma once

#include <string>

#include "display/mode.h"

// The bitmap of the current wallpaper's family for a display width, in the
// wallpaper's folder; empty when the wallpaper is of no family.
std::string SizedWallpaper(const std::string& current, DWORD width);

// Uses only the mode's width; reports every decision in the log.
void MatchWallpaper(const TMode* mode);
