// The built-in sample machine: what kestrave-sim runs without --machine and
// writes with --save-sample.
#pragma once

#include "platform/sim/json_reading.h"

Json SampleMachine();
