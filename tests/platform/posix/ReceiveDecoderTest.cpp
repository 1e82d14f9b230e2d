#include "platform/posix/ReceiveDecoder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Decodes into a readable trace: plain bytes as hex, "E41" for a byte with an error, "B" for
// a break.
std::string Decode(platform::posix::ReceiveDecoder& decoder, const std::string& raw) {
  std::string trace;
  auto hex = [](std::uint8_t b) {
    char s[3];
    std::snprintf(s, sizeof s, "%02X", b);
    return std::string(s);
  };
  decoder.Feed(
      reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size(), [&](std::uint8_t b) { trace += hex(b) + " "; },
      [&](std::uint8_t b) { trace += "E" + hex(b) + " "; }, [&] { trace += "B "; });
  return trace;
}

TEST(ReceiveDecoderTest, MarksBecomeBytesErrorsAndBreaks) {
  platform::posix::ReceiveDecoder decoder;
  EXPECT_EQ(Decode(decoder, std::string("\x41\xFF\xFF\x42", 4)), "41 FF 42 ");
  EXPECT_EQ(Decode(decoder, std::string("\xFF\x00\x55", 3)), "E55 ");
  EXPECT_EQ(Decode(decoder, std::string("\xFF\x00\x00\x43", 4)), "B 43 ");
}

TEST(ReceiveDecoderTest, AMarkSplitAcrossReadsIsCarriedOver) {
  platform::posix::ReceiveDecoder decoder;
  EXPECT_EQ(Decode(decoder, std::string("\x10\xFF", 2)), "10 ");
  EXPECT_EQ(Decode(decoder, std::string("\x00", 1)), "");
  EXPECT_EQ(Decode(decoder, std::string("\x7A\xFF", 2)), "E7A ");
  EXPECT_EQ(Decode(decoder, std::string("\xFF", 1)), "FF ");
}

}  // namespace
