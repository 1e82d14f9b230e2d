// The line's pace as arithmetic on given times: bytes are taken a byte time apart, from when
// the line was first seen carrying, and a quiet line starts afresh.
#include <gtest/gtest.h>

#include "tools/lcdemu/LinePacer.h"

namespace {

using namespace std::chrono_literals;

TEST(LinePacerTest, BytesArriveOneByteTimeApart) {
  LinePacer pacer(9600);  // 10 bits a byte: 1041666 ns
  const LinePacer::Clock::time_point t0{};
  EXPECT_EQ(pacer.Allowance(t0), 0u) << "the first byte is still on its way";
  EXPECT_TRUE(pacer.Carrying());
  EXPECT_EQ(pacer.Due() - t0, 1041666ns);
  EXPECT_EQ(pacer.Allowance(t0 + 1ms), 0u);
  EXPECT_EQ(pacer.Allowance(t0 + 1041666ns), 1u);
  pacer.Took(1, false);
  EXPECT_EQ(pacer.Allowance(t0 + 1041666ns * 2 - 1ns), 0u);
  // Late wake-ups take what has arrived meanwhile, no more.
  EXPECT_EQ(pacer.Allowance(t0 + 1041666ns * 11), 10u);
  pacer.Took(10, false);
  EXPECT_EQ(pacer.Due() - t0, 1041666ns * 12);
}

TEST(LinePacerTest, AQuietLineStartsAfreshAndNoRateMeansNoPace) {
  LinePacer pacer(115200);
  const LinePacer::Clock::time_point t0{};
  pacer.Allowance(t0);
  EXPECT_EQ(pacer.Allowance(t0 + 1ms), 11u);
  pacer.Took(3, true);
  EXPECT_FALSE(pacer.Carrying());
  EXPECT_EQ(pacer.Allowance(t0 + 1s), 0u) << "bytes after a quiet spell are on their way again";

  LinePacer unpaced(0);
  EXPECT_FALSE(unpaced.Paced());
  EXPECT_GT(unpaced.Allowance(t0), 1'000'000u);
  unpaced.Took(5, true);
  EXPECT_FALSE(unpaced.Carrying());
}

}  // namespace
