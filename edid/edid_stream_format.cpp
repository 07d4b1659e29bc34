#include "edid/edid_stream_format.h"

EdidStreamFormat::EdidStreamFormat(std::ostream& out)
    : out_(out), flags_(out.flags()), fill_(out.fill()) {
  out.setf(std::ios::showbase | std::ios::showpoint);
  out.setf(std::ios::internal, std::ios::adjustfield);
  out.setf(std::ios::fixed, std::ios::floatfield);
  out.fill('0');
}

EdidStreamFormat::~EdidStreamFormat() {
  out_.flags(flags_);
  out_.fill(fill_);
}
