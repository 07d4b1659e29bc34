// The refresh rate of a timing from its pixel clock and totals, the one
// arithmetic of every timing an EDID value names: the base block's detailed
// timing and a DisplayID extension's.
#pragma once

#include <cstdint>

#include "platform/win32_types.h"

// The frame rate rounded to whole hertz, an exact half to the even
// neighbour; 0 when either total is 0. The line rate is cut to whole hertz
// first and the frame rate formed from it in single precision; both steps
// decide rates that lie close to a half. A rate past 32 bits, which only
// nonsense totals give, is held at the largest.
DWORD TimingRefreshRate(std::uint64_t pixelClockHz, DWORD horizontalTotal, DWORD verticalTotal);
