// Pieces of text shared by the sections of the EDID report.
#pragma once

// The second level of indentation after the section indentation.
constexpr const char* kFifteenSpaces = "               ";
constexpr const char* kThirteenSpaces = "             ";
