#include "base/errors.h"

#include "base/compiler.h"

KESTRAVE_NOINLINE void RaiseRegistryError(const std::string& message) {
  throw RegistryError(message, KESTRAVE_RETURN_ADDRESS());
}

KESTRAVE_NOINLINE void RaiseListError(const std::string& message) {
  throw ListError(message, KESTRAVE_RETURN_ADDRESS());
}
