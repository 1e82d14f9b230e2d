// Every text turns into a member of its enumeration; the text of that value is a fixed point
// of the round trip; any byte, even one outside an enumeration, turns into a table's text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/Check.h"
#include "runtime/StringList.h"
#include "serial/TextConversions.h"

namespace {

template <class E>
void CheckEnumeration(const std::string& text, std::uint8_t byte, E (*toValue)(const std::string&),
                      std::string (*toText)(E), unsigned count, E fallback) {
  const E value = toValue(text);
  FUZZ_CHECK(static_cast<unsigned>(value) < count);
  const std::string valueText = toText(value);
  FUZZ_CHECK(toValue(valueText) == value);
  FUZZ_CHECK(toText(toValue(valueText)) == valueText);
  // Only a text equal to the value's text but for ASCII letter case gives anything but the default.
  FUZZ_CHECK(value == fallback || AsciiUpperCase(text) == AsciiUpperCase(valueText));

  // A stray ordinal still reads as one of the texts.
  const std::string strayText = toText(static_cast<E>(byte));
  FUZZ_CHECK(static_cast<unsigned>(toValue(strayText)) < count);
  if (byte < count) FUZZ_CHECK(toValue(strayText) == static_cast<E>(byte));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::uint8_t byte = size ? data[0] : 0;

  CheckEnumeration(text, byte, TextToBaudRate, BaudRateToText, 16, br9600);
  CheckEnumeration(text, byte, TextToStopBits, StopBitsToText, 3, sbOneStopBit);
  CheckEnumeration(text, byte, TextToDataBits, DataBitsToText, 4, dbEight);
  CheckEnumeration(text, byte, TextToParity, ParityToText, 5, prNone);
  CheckEnumeration(text, byte, TextToFlowControl, FlowControlToText, 4, fcCustom);
  CheckEnumeration(text, byte, TextToDTRControl, DTRControlToText, 3, dtrDisable);
  CheckEnumeration(text, byte, TextToRTSControl, RTSControlToText, 4, rtsDisable);

  const bool flag = TextToBool(text);
  FUZZ_CHECK(TextToBool(BoolToText(flag)) == flag);
  FUZZ_CHECK(flag == (AsciiUpperCase(text) == "YES"));

  // Every character's text reads back as that character, and a read character's text is a
  // fixed point.
  const char character = TextToChar(text);
  const std::string characterText = CharToText(character);
  FUZZ_CHECK(TextToChar(characterText) == character);
  FUZZ_CHECK(CharToText(TextToChar(characterText)) == characterText);
  FUZZ_CHECK(TextToChar(CharToText(static_cast<char>(byte))) == static_cast<char>(byte));
  if (!text.empty() && (text[0] != '#' || text.size() == 1)) FUZZ_CHECK(character == text[0]);
  return 0;
}
