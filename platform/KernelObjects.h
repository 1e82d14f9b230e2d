// Kernel objects behind HANDLE values: a table that hands out handles for in-process objects,
// so that a stale or foreign handle is refused with ERROR_INVALID_HANDLE instead of being
// dereferenced.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "platform/Win32Types.h"

namespace platform {

class KernelObject {
 public:
  virtual ~KernelObject() = default;
  // Runs once when the last handle is closed; a device stops its I/O here.
  virtual void Close() {}
};

// Handles name slots: a slot is reused once its object has gone, but the handle carries the
// slot's generation, which changes with every reuse, so a closed handle never aliases a newer
// object and is refused. Lookups index the slot directly; nothing is allocated per handle once
// the table has grown to the number of objects open at once.
class HandleTable {
 public:
  // A new handle for the object, or null when the table is full (the object is not kept).
  HANDLE Insert(std::shared_ptr<KernelObject> object);
  std::shared_ptr<KernelObject> Find(HANDLE handle) const;
  // The object if it is a T. The kinds of objects are final classes, so comparing the exact
  // type is enough and costs no cast through the hierarchy.
  template <class T>
  std::shared_ptr<T> FindAs(HANDLE handle) const {
    static_assert(std::is_final_v<T>);
    std::shared_ptr<KernelObject> object = Find(handle);
    if (!object) return nullptr;
    const KernelObject& found = *object;
    if (typeid(found) != typeid(T)) return nullptr;
    return std::static_pointer_cast<T>(std::move(object));
  }
  // Removes the handle; the caller closes the object it gets back.
  std::shared_ptr<KernelObject> Remove(HANDLE handle);
  std::size_t Count() const;

 private:
  struct Slot {
    std::shared_ptr<KernelObject> object;
    std::uint32_t generation = 0;
  };
  // The slot a handle names, or null for a value no live handle has.
  const Slot* SlotOf(HANDLE handle) const;

  mutable std::mutex mutex_;
  std::vector<Slot> slots_;
  std::vector<std::uint32_t> free_;
  std::size_t count_ = 0;
};

}  // namespace platform
