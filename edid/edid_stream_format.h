// The stream format of the EDID report. Hexadecimal numbers come out with a
// "0x" prefix and zeros between prefix and digits (width 4 gives 0x05), a
// zero as zeros alone (0000); reals in fixed notation. The fill character
// and the format flags, the number base among them, are put back when the
// report ends, however it ends; the precision is not, so the log keeps the
// last one the report set.
#pragma once

#include <ostream>

class EdidStreamFormat {
 public:
  explicit EdidStreamFormat(std::ostream& out);
  ~EdidStreamFormat();
  EdidStreamFormat(const EdidStreamFormat&) = delete;
  EdidStreamFormat& operator=(const EdidStreamFormat&) = delete;

 private:
  std::ostream& out_;
  std::ios::fmtflags flags_;
  char fill_;
};
