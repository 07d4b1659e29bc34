// The name of a temporary file beside the file it will replace, which no
// one can know before the file is made: in a folder others can write to, a
// file or a link planted under a name known in advance would be written
// through.
#pragma once

#include <string>

// path, a dot, the 64 random bits in hexadecimal, and the suffix.
std::string TemporaryNameBeside(const std::string& path, const unsigned char (&random)[8],
                                const std::string& suffix);
