// Real numbers in fixed notation, rounded from their exact binary value to
// the nearest decimal, ties to even. The C runtimes disagree on ties (0.0625
// at three decimals is 0.062 with one and 0.063 with another), so the report
// formats reals itself and is the same on every OS.
#pragma once

#include <ostream>
#include <string>

// value with `decimals` digits after the point (none and no point for 0).
std::string FormatFixed(double value, int decimals);

// Inserted into a stream, writes value with the stream's precision as the
// number of decimals, padded to the stream's width with its fill character
// and adjustment; the width is reset as for any other insertion.
struct FixedNotation {
  double value;
};

inline FixedNotation Fixed(double value) { return FixedNotation{value}; }

std::ostream& operator<<(std::ostream& out, FixedNotation number);
