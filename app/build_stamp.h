// The stamp that names this build: in the banner, the usage text and the
// software install key.
#pragma once

#define KESTRAVE_BUILD_STAMP "Nov 20 2003  13:11:53"
#define KESTRAVE_BANNER "Kestrave " KESTRAVE_BUILD_STAMP
