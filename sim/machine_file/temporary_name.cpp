#include "sim/machine_file/temporary_name.h"

std::string TemporaryNameBeside(const std::string& path, const unsigned char (&random)[8],
                                const std::string& suffix) {
  const char kDigits[] = "0123456789abcdef";
  std::string name = path + ".";
  for (unsigned char byte : random) {
    name += kDigits[byte >> 4];
    name += kDigits[byte & 15];
  }
  return name + suffix;
}
