// The built-in sample machine: what kestrave-sim runs without --machine and
// writes with --save-sample.
#pragma once

#include "sim/machine_file/json_reading.h"

Json SampleMachine();
