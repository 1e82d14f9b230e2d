// A host calls the display operations by their slot in the table of virtual functions; these
// tests pin the slots down (Itanium C++ ABI: a pointer to a virtual member function holds one
// plus the byte offset of its slot).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "display/LCDBaseControlUnit.h"

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

TEST(VtableLayoutTest, TheOperationsHaveTheBoundaryTypes) {
  static_assert(sizeof(bool) == 1);
  static_assert(std::is_same_v<decltype(&TLCDBaseControl::GetActive), bool (TLCDBaseControl::*)()>);
  static_assert(std::is_same_v<decltype(&TLCDBaseControl::SetColCount), void (TLCDBaseControl::*)(std::int32_t)>);
  static_assert(std::is_same_v<decltype(&TLCDBaseControl::GetRowCount), std::int32_t (TLCDBaseControl::*)()>);
  static_assert(std::is_same_v<decltype(&TLCDBaseControl::WriteAt),
                               void (TLCDBaseControl::*)(std::uint8_t, std::uint8_t, const std::string&)>);
  static_assert(std::is_same_v<decltype(&TLCDBaseControl::DefineChar),
                               void (TLCDBaseControl::*)(std::uint8_t, const std::uint8_t*, std::int32_t)>);
}

}  // namespace
