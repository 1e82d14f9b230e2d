// Kernel objects behind HANDLE values: a table that hands out handles for in-process objects,
// so that a stale or foreign handle is refused with ERROR_INVALID_HANDLE instead of being
// dereferenced.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <type_traits>
#include <typeinfo>
#include <unordered_map>

#include "platform/Win32Types.h"

namespace platform {

class KernelObject {
 public:
  virtual ~KernelObject() = default;
  // Runs once when the last handle is closed; a device stops its I/O here.
  virtual void Close() {}
};

class HandleTable {
 public:
  HANDLE Insert(std::shared_ptr<KernelObject> object);
  std::shared_ptr<KernelObject> Find(HANDLE handle) const;
  // The object if it is a T. The kinds of objects are final classes, so comparing the exact
  // type is enough and costs no cast through the hierarchy.
  template <class T>
  std::shared_ptr<T> FindAs(HANDLE handle) const {
    static_assert(std::is_final_v<T>);
    std::shared_ptr<KernelObject> object = Find(handle);
    if (!object || typeid(*object) != typeid(T)) return nullptr;
    return std::static_pointer_cast<T>(std::move(object));
  }
  // Removes the handle; the caller closes the object it gets back.
  std::shared_ptr<KernelObject> Remove(HANDLE handle);
  std::size_t Count() const;

 private:
  mutable std::mutex mutex_;
  std::unordered_map<std::uintptr_t, std::shared_ptr<KernelObject>> objects_;
  std::uintptr_t next_ = 0x1000;
};

}  // namespace platform
