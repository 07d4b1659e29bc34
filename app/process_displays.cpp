#include "app/process_displays.h"

int ProcessDisplays() { return 0; }
