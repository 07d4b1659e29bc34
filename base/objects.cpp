#include "base/objects.h"

#include "base/errors.h"

namespace {
[[noreturn]] void RaiseIndexError(int index) {
  RaiseListError("List index out of bounds (" + std::to_string(index) + ")");
}
}  // namespace

TObject* TObjectList::Items(int index) const {
  if (index < 0 || index >= Count()) RaiseIndexError(index);
  return items_[static_cast<size_t>(index)].get();
}

void TObjectList::Clear() {
  // Free in list order, as the owners of these lists expect.
  for (auto& item : items_) item.reset();
  items_.clear();
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) RaiseIndexError(index);
}

const std::string& TStringList::Strings(int index) const {
  CheckIndex(index);
  return items_[static_cast<size_t>(index)].first;
}

TObject* TStringList::Objects(int index) const {
  CheckIndex(index);
  return items_[static_cast<size_t>(index)].second;
}

void TStringList::PutObject(int index, TObject* object) {
  CheckIndex(index);
  items_[static_cast<size_t>(index)].second = object;
}

int TStringList::AddObject(const std::string& text, TObject* object) {
  items_.emplace_back(text, object);
  return Count() - 1;
}
