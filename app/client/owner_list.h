#pragma once
// TOwnerList: an ordered list that owns its objects. Destroying or clearing the list
// frees every object it still holds, in index order.
#include <memory>
#include <utility>
#include <vector>

#include <QString>

#include "platform/exceptions.h"

template <typename T>
class TOwnerList {
 public:
  using Item = std::unique_ptr<T>;

  TOwnerList() = default;
  TOwnerList(TOwnerList&&) noexcept = default;
  TOwnerList& operator=(TOwnerList&& other) noexcept {
    if (this != &other) {
      Clear();
      items_ = std::move(other.items_);
    }
    return *this;
  }
  TOwnerList(const TOwnerList&) = delete;
  TOwnerList& operator=(const TOwnerList&) = delete;
  ~TOwnerList() { Clear(); }

  int Count() const { return static_cast<int>(items_.size()); }
  bool IsEmpty() const { return items_.empty(); }
  void Reserve(int count) { items_.reserve(static_cast<size_t>(count)); }

  // The object at index; the list keeps it. Throws ERangeError outside 0..Count()-1.
  T* Items(int index) const { return items_[Checked(index)].get(); }
  T* operator[](int index) const { return Items(index); }

  // Takes ownership of the object; returns its index.
  int Add(Item item) {
    items_.push_back(std::move(item));
    return Count() - 1;
  }

  // Hands the object at index over to the caller and removes it from the list.
  Item Extract(int index) {
    const size_t i = Checked(index);
    Item item = std::move(items_[i]);
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
    return item;
  }

  // Frees the object at index and removes it from the list.
  void Delete(int index) { Extract(index).reset(); }

  // Frees every object, first to last.
  void Clear() {
    for (Item& item : items_) item.reset();
    items_.clear();
  }

  // Iteration yields the owning pointers; use item.get() or item-> to reach the objects.
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  size_t Checked(int index) const {
    if (index < 0 || index >= Count())
      throw ERangeError(QString("List index out of bounds (%1)").arg(index));
    return static_cast<size_t>(index);
  }

  std::vector<Item> items_;
};
