#include "app/process_displays.h"

#include "app/optimisation_pass.h"
#include "display/adapter_enumeration.h"

int ProcessDisplays() {
  AdapterList adapters;
  EnumerateAdapters(adapters.get());
  OptimiseDisplays(adapters.get());
  return 0;
}
