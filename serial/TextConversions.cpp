#include "serial/TextConversions.h"

#include <array>
#include <charconv>
#include <cstdint>

#include "runtime/StringList.h"

namespace {

constexpr std::array<const char*, 16> BaudRateTexts = {"Custom", "110",   "300",   "600",    "1200",   "2400",
                                                       "4800",   "9600",  "14400", "19200",  "38400",  "56000",
                                                       "57600",  "115200", "128000", "256000"};
constexpr std::array<const char*, 3> StopBitsTexts = {"1", "1.5", "2"};
constexpr std::array<const char*, 4> DataBitsTexts = {"5", "6", "7", "8"};
constexpr std::array<const char*, 5> ParityTexts = {"None", "Odd", "Even", "Mark", "Space"};
constexpr std::array<const char*, 4> FlowControlTexts = {"Hardware", "Software", "None", "Custom"};
constexpr std::array<const char*, 3> DTRControlTexts = {"Disable", "Enable", "Handshake"};
constexpr std::array<const char*, 4> RTSControlTexts = {"Disable", "Enable", "Handshake", "Toggle"};

// A value outside its enumeration reads as the table's first text rather than past its end.
template <std::size_t N, class E>
std::string TextOf(const std::array<const char*, N>& table, E value) {
  const auto index = static_cast<std::size_t>(value);
  return index < N ? table[index] : table[0];
}

// The first entry equal to the text with ASCII case ignored, else the default.
template <class E, std::size_t N>
E ValueOf(const std::array<const char*, N>& table, const std::string& text, E fallback) {
  const std::string wanted = AsciiUpperCase(text);
  for (std::size_t i = 0; i < N; ++i)
    if (AsciiUpperCase(table[i]) == wanted) return static_cast<E>(i);
  return fallback;
}

}  // namespace

std::string BaudRateToText(TBaudRate Value) { return TextOf(BaudRateTexts, Value); }
std::string StopBitsToText(TStopBits Value) { return TextOf(StopBitsTexts, Value); }
std::string DataBitsToText(TDataBits Value) { return TextOf(DataBitsTexts, Value); }
std::string ParityToText(TParityBits Value) { return TextOf(ParityTexts, Value); }
std::string FlowControlToText(TFlowControl Value) { return TextOf(FlowControlTexts, Value); }
std::string DTRControlToText(TDTRFlowControl Value) { return TextOf(DTRControlTexts, Value); }
std::string RTSControlToText(TRTSFlowControl Value) { return TextOf(RTSControlTexts, Value); }
std::string BoolToText(bool Value) { return Value ? "Yes" : "No"; }

std::string CharToText(char Value) {
  const auto code = static_cast<unsigned char>(Value);
  if (code >= 33 && code <= 127) return std::string(1, Value);
  return "#" + std::to_string(code);
}

TBaudRate TextToBaudRate(const std::string& Text) { return ValueOf(BaudRateTexts, Text, br9600); }
TStopBits TextToStopBits(const std::string& Text) { return ValueOf(StopBitsTexts, Text, sbOneStopBit); }
TDataBits TextToDataBits(const std::string& Text) { return ValueOf(DataBitsTexts, Text, dbEight); }
TParityBits TextToParity(const std::string& Text) { return ValueOf(ParityTexts, Text, prNone); }
TFlowControl TextToFlowControl(const std::string& Text) { return ValueOf(FlowControlTexts, Text, fcCustom); }
TDTRFlowControl TextToDTRControl(const std::string& Text) { return ValueOf(DTRControlTexts, Text, dtrDisable); }
TRTSFlowControl TextToRTSControl(const std::string& Text) { return ValueOf(RTSControlTexts, Text, rtsDisable); }
bool TextToBool(const std::string& Text) { return AsciiUpperCase(Text) == "YES"; }

char TextToChar(const std::string& Text) {
  if (Text.empty()) return 0;
  if (Text[0] != '#' || Text.size() < 2) return Text[0];
  // Plain decimal with an optional sign, the whole rest of the text; its low eight bits are
  // the code. Anything else (or a number too long for 64 bits) reads as code 0.
  const char* first = Text.data() + 1;
  const char* last = Text.data() + Text.size();
  // One sign at most: from_chars takes a "-" of its own, so none may follow the "+".
  if (*first == '+' && ++first != last && *first == '-') return 0;
  std::int64_t number = 0;
  const auto [end, error] = std::from_chars(first, last, number);
  if (error != std::errc() || end != last || first == last) return 0;
  return static_cast<char>(static_cast<std::uint8_t>(number & 0xFF));
}
