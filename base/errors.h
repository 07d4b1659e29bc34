// The error families raised by the program. The entry point catches them in
// this order: TextError, std::exception, ProgramError, anything else; none
// of the program's own classes derives from std::exception, so each reaches
// the handler meant for it.
#pragma once

#include <string>

// A fatal condition with a text payload, reported as "Error: " + text.
class TextError {
 public:
  explicit TextError(std::string text) : text_(std::move(text)) {}
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

// The program's own family: raised by the registry accessor and the string
// lists with a message and the address at which it was raised.
class ProgramError {
 public:
  ProgramError(std::string message, const void* address)
      : message_(std::move(message)), address_(address) {}
  virtual ~ProgramError() = default;
  const std::string& Message() const { return message_; }
  const void* Address() const { return address_; }

 private:
  std::string message_;
  const void* address_;
};

class RegistryError : public ProgramError {
 public:
  using ProgramError::ProgramError;
};

class ListError : public ProgramError {
 public:
  using ProgramError::ProgramError;
};

// Raise these through the functions below, so the address recorded is the
// caller's.
[[noreturn]] void RaiseRegistryError(const std::string& message);
[[noreturn]] void RaiseListError(const std::string& message);
