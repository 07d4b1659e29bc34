// Standard input as bytes: on Windows the C runtime opens it in text mode,
// which would turn CR LF into LF and stop at a Ctrl-Z byte.
#pragma once

void SetStdinBinary();
