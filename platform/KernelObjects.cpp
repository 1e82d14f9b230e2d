#include "platform/KernelObjects.h"

namespace platform {

namespace {
// A handle value: generation and slot index above two zero bits, as Windows' handles step by
// four. Generations start at 1 and skip 0, so no handle is 0 (or INVALID_HANDLE_VALUE: the top bits of a
// 32-bit generation shifted by 24 never reach all ones).
constexpr unsigned kIndexBits = 22;
constexpr std::uintptr_t kIndexMask = (std::uintptr_t{1} << kIndexBits) - 1;

HANDLE HandleFor(std::uint32_t index, std::uint32_t generation) {
  return reinterpret_cast<HANDLE>(((std::uintptr_t{generation} << kIndexBits) | index) << 2);
}
}  // namespace

HANDLE HandleTable::Insert(std::shared_ptr<KernelObject> object) {
  std::lock_guard lock(mutex_);
  std::uint32_t index;
  if (!free_.empty()) {
    index = free_.back();
    free_.pop_back();
  } else {
    if (slots_.size() > kIndexMask) return nullptr;  // four million objects open at once
    index = static_cast<std::uint32_t>(slots_.size());
    slots_.emplace_back();
  }
  Slot& slot = slots_[index];
  slot.object = std::move(object);
  if (++slot.generation == 0) slot.generation = 1;  // after four billion reuses of one slot
  ++count_;
  return HandleFor(index, slot.generation);
}

const HandleTable::Slot* HandleTable::SlotOf(HANDLE handle) const {
  const auto value = reinterpret_cast<std::uintptr_t>(handle);
  if (value & 3) return nullptr;
  const std::uintptr_t index = (value >> 2) & kIndexMask;
  const std::uintptr_t generation = value >> (2 + kIndexBits);
  if (index >= slots_.size()) return nullptr;
  const Slot& slot = slots_[index];
  return slot.object && slot.generation == generation ? &slot : nullptr;
}

std::shared_ptr<KernelObject> HandleTable::Find(HANDLE handle) const {
  std::lock_guard lock(mutex_);
  const Slot* slot = SlotOf(handle);
  return slot ? slot->object : nullptr;
}

std::shared_ptr<KernelObject> HandleTable::Remove(HANDLE handle) {
  std::lock_guard lock(mutex_);
  const Slot* found = SlotOf(handle);
  if (!found) return nullptr;
  Slot& slot = slots_[static_cast<std::size_t>(found - slots_.data())];
  auto object = std::move(slot.object);
  slot.object.reset();
  free_.push_back(static_cast<std::uint32_t>(found - slots_.data()));
  --count_;
  return object;
}

std::size_t HandleTable::Count() const {
  std::lock_guard lock(mutex_);
  return count_;
}

}  // namespace platform
