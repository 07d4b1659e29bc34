// The few compiler-specific constructs the program needs, kept in one place.
#pragma once

#if defined(_MSC_VER)
#include <intrin.h>
#define KESTRAVE_RETURN_ADDRESS() _ReturnAddress()
#define KESTRAVE_NOINLINE __declspec(noinline)
#else
#define KESTRAVE_RETURN_ADDRESS() __builtin_return_address(0)
#define KESTRAVE_NOINLINE __attribute__((noinline))
#endif
