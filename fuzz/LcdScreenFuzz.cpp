// Any byte stream, whole or split anywhere, leaves the emulated display sane: the cursor on the
// screen (or just past the end of a row that text ran off with line wrap off), counts no larger than what came in,
// answers no longer than the queries that asked for them, the same display however the stream
// was split, and a screen that its views can show in either ROM.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/Check.h"
#include "tools/lcdemu/Screen.h"
#include "tools/lcdemu/View.h"

namespace {

void CheckSane(const LcdScreen& screen, std::size_t bytes, std::size_t answered) {
  FUZZ_CHECK(screen.CursorRow() >= 0 && screen.CursorRow() < screen.Rows());
  FUZZ_CHECK(screen.CursorCol() >= 0 && screen.CursorCol() <= screen.Cols());
  const LcdScreen::Counts& c = screen.Stats();
  // Each counted command took at least two bytes; a truncated one at least one.
  const unsigned long long commands = c.unknownCommands + c.ignoredPositions + c.ignoredArguments + c.startUps +
                                      c.undrawnCommands + c.answers;
  FUZZ_CHECK(2 * commands + c.truncatedCommands <= bytes + 1);
  FUZZ_CHECK(c.clippedCharacters <= bytes);
  // An answer is at most two bytes for a two-byte query; a poll one byte for two.
  FUZZ_CHECK(answered <= bytes);
  for (int i = 0; i < 8; ++i)
    for (std::uint8_t row : screen.UserCharacter(i)) FUZZ_CHECK(row <= 0x1F);
  const DisplaySettings& s = screen.Settings();
  FUZZ_CHECK(s.contrast >= 0 && s.contrast <= 255);
  FUZZ_CHECK(s.brightnessPercent >= 0 && s.brightnessPercent <= 100);
  for (std::size_t port = screen.DisplayModel().outputs; port < s.outputs.size(); ++port) FUZZ_CHECK(!s.outputs[port]);
}

void CheckSame(const LcdScreen& a, const LcdScreen& b) {
  FUZZ_CHECK(a.CursorRow() == b.CursorRow() && a.CursorCol() == b.CursorCol());
  for (int r = 0; r < a.Rows(); ++r)
    for (int c = 0; c < a.Cols(); ++c) FUZZ_CHECK(a.Code(r, c) == b.Code(r, c));
  for (int i = 0; i < 8; ++i) {
    FUZZ_CHECK(a.UserCharacter(i) == b.UserCharacter(i));
    FUZZ_CHECK(a.UserCharacterDefined(i) == b.UserCharacterDefined(i));
  }
  FUZZ_CHECK(a.Settings() == b.Settings());
  FUZZ_CHECK(a.Keys().AutoTransmit() == b.Keys().AutoTransmit() && a.Keys().Waiting() == b.Keys().Waiting());
  const LcdScreen::Counts &x = a.Stats(), &y = b.Stats();
  FUZZ_CHECK(x.unknownCommands == y.unknownCommands && x.ignoredPositions == y.ignoredPositions);
  FUZZ_CHECK(x.startUps == y.startUps && x.truncatedCommands == y.truncatedCommands);
  FUZZ_CHECK(x.ignoredArguments == y.ignoredArguments && x.clippedCharacters == y.clippedCharacters);
  FUZZ_CHECK(x.undrawnCommands == y.undrawnCommands && x.answers == y.answers);
  FUZZ_CHECK(a.UnknownCodes() == b.UnknownCodes() && a.UndrawnCodes() == b.UndrawnCodes());
  FUZZ_CHECK(a.LastIgnoredPosition() == b.LastIgnoredPosition());
  FUZZ_CHECK(a.LastIgnoredArguments() == b.LastIgnoredArguments());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::array<int, 3> Rows = {1, 2, 4};
  constexpr std::array<int, 5> Cols = {16, 20, 24, 32, 40};
  FuzzedDataProvider input(data, size);
  const int rows = input.PickValueInArray(Rows);
  const int cols = input.PickValueInArray(Cols);
  const Model& model = Models()[input.ConsumeIntegralInRange<std::size_t>(0, Models().size() - 1)];
  const std::string keys = input.ConsumeBytesAsString(3);
  const std::uint8_t splitSeed = input.ConsumeIntegral<std::uint8_t>();
  const std::vector<std::uint8_t> stream = input.ConsumeRemainingBytes<std::uint8_t>();

  // Keys pressed before the stream, the same on both displays.
  LcdScreen whole(rows, cols, model), pieces(rows, cols, model);
  for (char key : keys) {
    whole.PressKey(key);
    pieces.PressKey(key);
  }
  const std::string keysSent = whole.TakeLineOutput();
  FUZZ_CHECK(pieces.TakeLineOutput() == keysSent && keysSent.size() <= keys.size());

  whole.Feed(stream.data(), stream.size());
  const std::string wholeAnswers = whole.TakeLineOutput();
  CheckSane(whole, stream.size(), wholeAnswers.size());

  // The same stream in pieces of 1 to 16 bytes, as reads from the line may cut it.
  std::string pieceAnswers;
  std::size_t at = 0, step = splitSeed;
  while (at < stream.size()) {
    step = step * 1103515245u + 12345u;
    const std::size_t n = std::min<std::size_t>(1 + (step >> 16) % 16, stream.size() - at);
    pieces.Feed(stream.data() + at, n);
    pieceAnswers += pieces.TakeLineOutput();
    CheckSane(pieces, at + n, pieceAnswers.size());
    at += n;
  }
  CheckSame(whole, pieces);
  FUZZ_CHECK(wholeAnswers == pieceAnswers);

  // Whatever the display holds can be shown.
  for (CharacterRom rom : {CharacterRom::Cyrillic, CharacterRom::Western}) {
    FUZZ_CHECK(!DumpText(whole, rom).empty());
    FUZZ_CHECK(!LiveView(whole, "fuzz", rom).empty());
  }

  whole.EndOfStream();
  pieces.EndOfStream();
  CheckSane(whole, stream.size(), wholeAnswers.size());
  CheckSame(whole, pieces);
  // After the end the display takes text again.
  whole.Feed("A");
  CheckSane(whole, stream.size() + 1, wholeAnswers.size());
  return 0;
}
