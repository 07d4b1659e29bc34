#include "app/process_displays.h"

#include "app/optimisation_pass.h"
#include "display/adapter_enumeration.h"
#include "display/debug_dump.h"
#include "process/process_state.h"

int ProcessDisplays() {
  AdapterList adapters;
  EnumerateAdapters(adapters.get());
  if (DebugMode) WriteAdapterDump(*adapters.get());
  OptimiseDisplays(adapters.get());
  return 0;
}
