#include "platform/KernelObjects.h"

namespace platform {

namespace {
// A handle value: generation and slot index above two zero bits, as Windows' handles step by
// four. A 32-bit handle has room for fewer slots and generations than a 64-bit one. Generations
// start at 1, so no handle is 0; a slot whose generation has reached the top is retired rather
// than reused, so a stale handle never names a newer object. No handle is INVALID_HANDLE_VALUE:
// its two low bits are zero.
constexpr unsigned kHandleBits = sizeof(std::uintptr_t) * 8;
constexpr unsigned kIndexBits = kHandleBits >= 64 ? 22 : 14;
constexpr unsigned kGenerationBits = kHandleBits - 2 - kIndexBits >= 32 ? 32 : kHandleBits - 2 - kIndexBits;
constexpr std::uintptr_t kIndexMask = (std::uintptr_t{1} << kIndexBits) - 1;
constexpr std::uint32_t kLastGeneration =
    kGenerationBits >= 32 ? 0xFFFFFFFFu : static_cast<std::uint32_t>((std::uint64_t{1} << kGenerationBits) - 1);

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
    if (slots_.size() > kIndexMask) return nullptr;  // as many objects as handles can name
    index = static_cast<std::uint32_t>(slots_.size());
    slots_.emplace_back();
  }
  Slot& slot = slots_[index];
  slot.object = std::move(object);
  ++slot.generation;  // below kLastGeneration for a slot on the free list
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
  if (slot.generation < kLastGeneration) free_.push_back(static_cast<std::uint32_t>(found - slots_.data()));
  --count_;
  return object;
}

std::size_t HandleTable::Count() const {
  std::lock_guard lock(mutex_);
  return count_;
}

}  // namespace platform
