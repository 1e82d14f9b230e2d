#include "runtime/Set.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

enum Colour : std::uint8_t { Red, Green, Blue, Beyond = 9 };
using Colours = TSet<Colour, std::uint8_t>;

TEST(SetTest, ElementOrdinalIsItsBit) {
  EXPECT_EQ(Colours{}.ToBits(), 0u);
  EXPECT_EQ((Colours{Red}).ToBits(), 0x01u);
  EXPECT_EQ((Colours{Green, Blue}).ToBits(), 0x06u);
  EXPECT_TRUE(Colours::FromBits(0x05).Contains(Blue));
  EXPECT_FALSE(Colours::FromBits(0x05).Contains(Green));
}

TEST(SetTest, OrdinalBeyondTheMaskIsNeverAMember) {
  Colours s = Colours::FromBits(0xFF);
  EXPECT_FALSE(s.Contains(static_cast<Colour>(200)));
  s.Include(static_cast<Colour>(200));
  EXPECT_EQ(s.ToBits(), 0xFFu);
  Colours wide{Beyond};  // 9 does not fit in eight bits
  EXPECT_TRUE(wide.Empty());
}

TEST(SetTest, UnionIntersectionDifference) {
  const Colours a{Red, Green}, b{Green, Blue};
  EXPECT_EQ(a + b, (Colours{Red, Green, Blue}));
  EXPECT_EQ(a * b, (Colours{Green}));
  EXPECT_EQ(a - b, (Colours{Red}));
  Colours c = a;
  c.Exclude(Red).Include(Blue);
  EXPECT_EQ(c, b);
}

}  // namespace
