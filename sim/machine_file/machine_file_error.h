// What is wrong with a machine file, and where: a JSON pointer such as
// /adapters/0/modes/2, or a line and column for a syntax error.
#pragma once

#include <stdexcept>
#include <string>

class MachineFileError : public std::runtime_error {
 public:
  MachineFileError(const std::string& place, const std::string& problem)
      : std::runtime_error((place.empty() ? std::string("(top level)") : place) + ": " + problem),
        place_(place),
        problem_(problem) {}
  const std::string& Place() const { return place_; }
  const std::string& Problem() const { return problem_; }

 private:
  std::string place_;
  std::string problem_;
};
