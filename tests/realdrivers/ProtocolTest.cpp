#include "tests/realdrivers/Protocol.h"

#include <gtest/gtest.h>

namespace {

using namespace realdrivers;

TEST(ProtocolTest, AMessageSurvivesItsLineAndIsFoundAfterOtherOutput) {
  const std::string line = FormatMessage(7, "take", "usb 3 5000");
  EXPECT_EQ(line, "@@qv 7 take usb 3 5000\n");
  for (const std::string& received : {line, "[ RUN      ] half a line" + line}) {
    const auto message = ParseMessage(received);
    ASSERT_TRUE(message) << received;
    EXPECT_EQ(message->id, 7u);
    EXPECT_EQ(message->word, "take");
    EXPECT_EQ(message->text, "usb 3 5000");
  }
  const auto bare = ParseMessage(FormatMessage(8, "ok", ""));
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->word, "ok");
  EXPECT_EQ(bare->text, "");
}

TEST(ProtocolTest, LinesWithoutAWholeMessageAreNotMessages) {
  for (const char* line : {"", "plain output", "@@qv", "@@qv x take", "@@qv 12", "@@qv 12 ", "@@qv 3take", "@@qv-up 2.1"})
    EXPECT_FALSE(ParseMessage(line)) << line;
}

TEST(ProtocolTest, HexCarriesEveryByteAndRefusesWhatIsNotHex) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(FromHex(ToHex(all)), all);
  EXPECT_EQ(ToHex("\xFE\xC0\x0C"), "fec00c");
  EXPECT_EQ(FromHex("FEc0"), "\xFE\xC0");
  EXPECT_FALSE(FromHex("f"));
  EXPECT_FALSE(FromHex("zz"));
  EXPECT_EQ(Words("  usb  3 50 "), (std::vector<std::string>{"usb", "3", "50"}));
}

}  // namespace
