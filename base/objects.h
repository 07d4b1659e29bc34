// The common root class and the two list types of the program.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
};

// An ordered list that owns its objects and frees them, in order, when it
// is cleared or freed.
class TObjectList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  // Raises "List index out of bounds (N)" for an index outside the list.
  TObject* Items(int index) const;
  void Add(std::unique_ptr<TObject> item) { items_.push_back(std::move(item)); }
  void Clear();
  ~TObjectList() { Clear(); }

 private:
  std::vector<std::unique_ptr<TObject>> items_;
};

// An ordered list of texts, each with an object it does not own; neither
// sorted nor free of duplicates.
class TStringList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  // Both raise "List index out of bounds (N)" for an index outside the list.
  const std::string& Strings(int index) const;
  TObject* Objects(int index) const;
  void PutObject(int index, TObject* object);
  int Add(const std::string& text) { return AddObject(text, nullptr); }
  int AddObject(const std::string& text, TObject* object);
  void Clear() { items_.clear(); }

 private:
  void CheckIndex(int index) const;
  std::vector<std::pair<std::string, TObject*>> items_;
};

// Frees every object of class T that the list holds and clears its entry;
// the owner of a list of non-owned objects calls it before freeing the list.
template <class T>
void FreeObjects(TStringList& list) {
  for (int i = 0; i < list.Count(); ++i) {
    if (T* object = dynamic_cast<T*>(list.Objects(i))) {
      delete object;
      list.PutObject(i, nullptr);
    }
  }
}
