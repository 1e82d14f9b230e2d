#include "tests/realdrivers/harness/Telnet.h"

#include <gtest/gtest.h>

namespace {

using namespace realdrivers;

// What QEMU 7.2 sends a far end that connects to a chardev with telnet=on.
const std::string Greeting("\xFF\xFB\x01\xFF\xFB\x03\xFF\xFB\x00\xFF\xFD\x00", 12);

TEST(TelnetTest, TheGreetingIsRemovedEvenWhenItArrivesInPieces) {
  TelnetGreeting whole;
  EXPECT_EQ(whole.Strip(Greeting + "\xFE\xC0"), "\xFE\xC0");
  TelnetGreeting pieces;
  std::string got;
  for (char c : Greeting + "AB") got += pieces.Strip(std::string(1, c));
  EXPECT_EQ(got, "AB");
}

TEST(TelnetTest, OnceTheGuestsBytesBeginNothingMoreIsTakenForTheGreeting) {
  TelnetGreeting greeting;
  EXPECT_EQ(greeting.Strip(Greeting), "");
  EXPECT_EQ(greeting.Strip("x"), "x");
  // The guest's bytes are not escaped: 0xFF 0xFB from it is data.
  EXPECT_EQ(greeting.Strip("\xFF\xFB\x01"), "\xFF\xFB\x01");
  TelnetGreeting noGreeting;
  EXPECT_EQ(noGreeting.Strip("\xFF\x41"), "\xFF\x41");
}

TEST(TelnetTest, OnlyTheInterpretAsCommandByteIsDoubled) {
  EXPECT_EQ(TelnetEscaped(std::string("\x00\xFF\xF3\xFF", 4)), std::string("\x00\xFF\xFF\xF3\xFF\xFF", 6));
  EXPECT_EQ(TelnetBreak, "\xFF\xF3");
}

}  // namespace
