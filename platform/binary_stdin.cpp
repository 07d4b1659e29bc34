#include "platform/binary_stdin.h"

#ifdef _WIN32

#include <fcntl.h>
#include <io.h>

#include <cstdio>

void SetStdinBinary() { _setmode(_fileno(stdin), _O_BINARY); }

#else

void SetStdinBinary() {}

#endif
