// A host calls the display operations by their slot in the table of virtual functions; these
// tests pin the slots down (Itanium C++ ABI: a pointer to a virtual member function holds one
// plus the byte offset of its slot).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

#include "display/LCDControl_COM.h"
#include "tests/support/FakePlatform.h"

namespace {

template <class MemberFunction>
std::ptrdiff_t SlotOf(MemberFunction f) {
  static_assert(sizeof(f) == 2 * sizeof(std::ptrdiff_t));
  std::ptrdiff_t words[2];
  std::memcpy(words, &f, sizeof words);
  EXPECT_EQ(words[0] % static_cast<std::ptrdiff_t>(sizeof(void*)), 1) << "not a virtual function";
  return (words[0] - 1) / static_cast<std::ptrdiff_t>(sizeof(void*));
}

struct ComponentAccess : TComponent {
  static auto LastVirtual() { return &ComponentAccess::Notification; }
};

TEST(VtableLayoutTest, TheThirteenOperationsFollowTheComponentsVirtualsInTableOrder) {
  const std::ptrdiff_t first = SlotOf(ComponentAccess::LastVirtual()) + 1;
  const std::ptrdiff_t slots[] = {
      SlotOf(&TLCDBaseControl::GetActive),   SlotOf(&TLCDBaseControl::SetActive),
      SlotOf(&TLCDBaseControl::GetVisible),  SlotOf(&TLCDBaseControl::SetVisible),
      SlotOf(&TLCDBaseControl::GetBackLight), SlotOf(&TLCDBaseControl::SetBackLight),
      SlotOf(&TLCDBaseControl::SetColCount), SlotOf(&TLCDBaseControl::GetColCount),
      SlotOf(&TLCDBaseControl::SetRowCount), SlotOf(&TLCDBaseControl::GetRowCount),
      SlotOf(&TLCDBaseControl::ClearScreen), SlotOf(&TLCDBaseControl::WriteAt),
      SlotOf(&TLCDBaseControl::DefineChar),
  };
  for (std::ptrdiff_t i = 0; i < 13; ++i) EXPECT_EQ(slots[i], first + i) << "operation " << i + 1;
}

using B = TLCDBaseControl;
static_assert(sizeof(bool) == 1);
static_assert(std::is_same_v<decltype(&B::GetActive), bool (B::*)()>);
static_assert(std::is_same_v<decltype(&B::SetActive), void (B::*)(bool)>);
static_assert(std::is_same_v<decltype(&B::GetVisible), bool (B::*)()>);
static_assert(std::is_same_v<decltype(&B::SetVisible), void (B::*)(bool)>);
static_assert(std::is_same_v<decltype(&B::GetBackLight), bool (B::*)()>);
static_assert(std::is_same_v<decltype(&B::SetBackLight), void (B::*)(bool)>);
static_assert(std::is_same_v<decltype(&B::SetColCount), void (B::*)(std::int32_t)>);
static_assert(std::is_same_v<decltype(&B::GetColCount), std::int32_t (B::*)()>);
static_assert(std::is_same_v<decltype(&B::SetRowCount), void (B::*)(std::int32_t)>);
static_assert(std::is_same_v<decltype(&B::GetRowCount), std::int32_t (B::*)()>);
static_assert(std::is_same_v<decltype(&B::ClearScreen), void (B::*)()>);
static_assert(std::is_same_v<decltype(&B::WriteAt), void (B::*)(std::uint8_t, std::uint8_t, const std::string&)>);
static_assert(std::is_same_v<decltype(&B::DefineChar), void (B::*)(std::uint8_t, const std::uint8_t*, std::int32_t)>);

// A host built against the table alone calls through raw slots with the object as first argument.
TEST(VtableLayoutTest, CallsThroughTheSlotsReachTheSerialControl) {
  fake::ScopedFakePlatform fake;
  TLCDControl_COM lcd(nullptr);
  B* control = &lcd;
  void* const* vtable = *reinterpret_cast<void* const* const*>(control);
  auto setColCount = reinterpret_cast<void (*)(B*, std::int32_t)>(vtable[SlotOf(&B::SetColCount)]);
  auto getColCount = reinterpret_cast<std::int32_t (*)(B*)>(vtable[SlotOf(&B::GetColCount)]);
  auto getVisible = reinterpret_cast<bool (*)(B*)>(vtable[SlotOf(&B::GetVisible)]);
  setColCount(control, 40);
  EXPECT_EQ(getColCount(control), 40);
  EXPECT_TRUE(getVisible(control));
}

}  // namespace
