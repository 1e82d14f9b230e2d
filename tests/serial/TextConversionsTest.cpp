#include <gtest/gtest.h>

#include "serial/TextConversions.h"

namespace {

template <class E, class ToText, class FromText>
void ExpectRoundTrip(int count, ToText toText, FromText fromText) {
  for (int ordinal = 0; ordinal < count; ++ordinal) {
    const E value = static_cast<E>(ordinal);
    EXPECT_EQ(fromText(toText(value)), value) << toText(value);
  }
}

TEST(TextConversionsTest, EveryValueComesBackFromItsText) {
  ExpectRoundTrip<TBaudRate>(16, BaudRateToText, TextToBaudRate);
  ExpectRoundTrip<TStopBits>(3, StopBitsToText, TextToStopBits);
  ExpectRoundTrip<TDataBits>(4, DataBitsToText, TextToDataBits);
  ExpectRoundTrip<TParityBits>(5, ParityToText, TextToParity);
  ExpectRoundTrip<TFlowControl>(4, FlowControlToText, TextToFlowControl);
  ExpectRoundTrip<TDTRFlowControl>(3, DTRControlToText, TextToDTRControl);
  ExpectRoundTrip<TRTSFlowControl>(4, RTSControlToText, TextToRTSControl);
  for (int code = 0; code < 256; ++code) EXPECT_EQ(TextToChar(CharToText(static_cast<char>(code))), static_cast<char>(code));
  EXPECT_TRUE(TextToBool(BoolToText(true)));
  EXPECT_FALSE(TextToBool(BoolToText(false)));
}

TEST(TextConversionsTest, TextsAreTheStoredWords) {
  EXPECT_EQ(BaudRateToText(brCustom), "Custom");
  EXPECT_EQ(BaudRateToText(br256000), "256000");
  EXPECT_EQ(StopBitsToText(sbOne5StopBits), "1.5");
  EXPECT_EQ(ParityToText(prSpace), "Space");
  EXPECT_EQ(FlowControlToText(fcNone), "None");
  EXPECT_EQ(RTSControlToText(rtsToggle), "Toggle");
  EXPECT_EQ(BoolToText(true), "Yes");
  EXPECT_EQ(BoolToText(false), "No");
}

TEST(TextConversionsTest, OnlyAsciiCaseIsIgnoredAndUnmatchedTextGivesTheDefault) {
  EXPECT_EQ(TextToBaudRate("115200"), br115200);
  for (const char* custom : {"custom", "CUSTOM", "Custom", "cUsToM"}) EXPECT_EQ(TextToBaudRate(custom), brCustom);
  for (const char* none : {"", "100", "09600", "9600 ", " 9600", "9600.0"}) EXPECT_EQ(TextToBaudRate(none), br9600) << none;
  EXPECT_EQ(TextToStopBits("1.5"), sbOne5StopBits);
  EXPECT_EQ(TextToStopBits("1,5"), sbOneStopBit);
  EXPECT_EQ(TextToDataBits("9"), dbEight);
  EXPECT_EQ(TextToParity("none"), prNone);
  EXPECT_EQ(TextToParity("\xCD\xE5\xF2"), prNone) << "bytes above 127 are never folded";
  EXPECT_EQ(TextToFlowControl("none"), fcNone) << "each conversion reads its own table";
  EXPECT_EQ(TextToFlowControl("xyz"), fcCustom);
  EXPECT_EQ(TextToRTSControl("toggle"), rtsToggle);
  EXPECT_EQ(TextToDTRControl("Toggle"), dtrDisable);
  EXPECT_EQ(TextToDTRControl("HANDSHAKE"), dtrHandshake);
}

TEST(TextConversionsTest, BooleansAreYesAndEverythingElse) {
  EXPECT_TRUE(TextToBool("yes"));
  EXPECT_TRUE(TextToBool("YES"));
  for (const char* no : {"Y", "True", "1", "", "No", "yes "}) EXPECT_FALSE(TextToBool(no)) << no;
}

TEST(TextConversionsTest, CharactersOutsidePrintableAsciiAreHashCodes) {
  EXPECT_EQ(CharToText(17), "#17");
  EXPECT_EQ(CharToText(0), "#0");
  EXPECT_EQ(CharToText(' '), "#32");
  EXPECT_EQ(CharToText('!'), "!");
  EXPECT_EQ(CharToText(127), std::string(1, '\x7F'));
  EXPECT_EQ(CharToText(static_cast<char>(128)), "#128");
  EXPECT_EQ(CharToText(static_cast<char>(200)), "#200");

  EXPECT_EQ(TextToChar("#17"), 17);
  EXPECT_EQ(TextToChar("#65"), 'A');
  EXPECT_EQ(TextToChar("#"), '#');
  EXPECT_EQ(TextToChar("#x"), 0);
  EXPECT_EQ(TextToChar("#17x"), 0);
  EXPECT_EQ(TextToChar(""), 0);
  EXPECT_EQ(TextToChar("#256"), 0);
  EXPECT_EQ(TextToChar("#300"), 44);
  EXPECT_EQ(static_cast<unsigned char>(TextToChar("#-1")), 255);
  EXPECT_EQ(TextToChar("#+65"), 'A');
  EXPECT_EQ(TextToChar("#+-1"), 0) << "two signs are no number";
  EXPECT_EQ(TextToChar("#+"), 0);
  EXPECT_EQ(TextToChar("#99999999999999999999999"), 0) << "a number too long reads as nothing";
  EXPECT_EQ(TextToChar("AB"), 'A');
}

}  // namespace
