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

// The member function in a slot, formed from the slot's number alone, as a host built against
// the table would (a pointer to a virtual member function holds one plus the slot's offset).
template <class MemberFunction>
MemberFunction AtSlot(std::ptrdiff_t slot) {
  const std::ptrdiff_t words[2] = {1 + slot * static_cast<std::ptrdiff_t>(sizeof(void*)), 0};
  MemberFunction f;
  static_assert(sizeof f == sizeof words);
  std::memcpy(&f, words, sizeof f);
  return f;
}

// A call through a slot passes the object the way the compiler passes it to member functions
// (32-bit Windows: thiscall, the object in ECX; elsewhere the first argument).
TEST(VtableLayoutTest, CallsThroughTheSlotsReachTheSerialControl) {
  fake::ScopedFakePlatform fake;
  TLCDControl_COM lcd(nullptr);
  B* control = &lcd;
  const auto setColCount = AtSlot<void (B::*)(std::int32_t)>(SlotOf(&B::SetColCount));
  const auto getColCount = AtSlot<std::int32_t (B::*)()>(SlotOf(&B::GetColCount));
  const auto getVisible = AtSlot<bool (B::*)()>(SlotOf(&B::GetVisible));
  (control->*setColCount)(40);
  EXPECT_EQ((control->*getColCount)(), 40);
  EXPECT_TRUE((control->*getVisible)());
}

}  // namespace
