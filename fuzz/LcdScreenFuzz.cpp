// Any byte stream, whole or split anywhere, leaves the emulated display sane: the cursor on the
// screen, counts no larger than what came in, the same screen however the stream was split,
// and a screen that its views can show.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/Check.h"
#include "tools/lcdemu/Screen.h"
#include "tools/lcdemu/View.h"

namespace {

void CheckSane(const LcdScreen& screen, std::size_t bytes) {
  FUZZ_CHECK(screen.CursorRow() >= 0 && screen.CursorRow() < screen.Rows());
  FUZZ_CHECK(screen.CursorCol() >= 0 && screen.CursorCol() < screen.Cols());
  const LcdScreen::Counts& counts = screen.Stats();
  // Each counted command took at least two bytes; a truncated one at least one.
  FUZZ_CHECK(2ull * (counts.unknownCommands + counts.ignoredPositions + counts.startUps) + counts.truncatedCommands <=
             bytes + 1);
  for (int i = 0; i < 8; ++i)
    for (std::uint8_t row : screen.UserCharacter(i)) FUZZ_CHECK(row <= 0x1F);
}

void CheckSame(const LcdScreen& a, const LcdScreen& b) {
  FUZZ_CHECK(a.CursorRow() == b.CursorRow() && a.CursorCol() == b.CursorCol());
  for (int r = 0; r < a.Rows(); ++r)
    for (int c = 0; c < a.Cols(); ++c) FUZZ_CHECK(a.Code(r, c) == b.Code(r, c));
  for (int i = 0; i < 8; ++i) {
    FUZZ_CHECK(a.UserCharacter(i) == b.UserCharacter(i));
    FUZZ_CHECK(a.UserCharacterDefined(i) == b.UserCharacterDefined(i));
  }
  FUZZ_CHECK(a.Stats().unknownCommands == b.Stats().unknownCommands);
  FUZZ_CHECK(a.Stats().ignoredPositions == b.Stats().ignoredPositions);
  FUZZ_CHECK(a.Stats().startUps == b.Stats().startUps);
  FUZZ_CHECK(a.Stats().truncatedCommands == b.Stats().truncatedCommands);
  FUZZ_CHECK(a.LastIgnoredPosition() == b.LastIgnoredPosition());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::array<int, 3> Rows = {1, 2, 4};
  constexpr std::array<int, 5> Cols = {16, 20, 24, 32, 40};
  FuzzedDataProvider input(data, size);
  const int rows = input.PickValueInArray(Rows);
  const int cols = input.PickValueInArray(Cols);
  const std::uint8_t splitSeed = input.ConsumeIntegral<std::uint8_t>();
  const std::vector<std::uint8_t> stream = input.ConsumeRemainingBytes<std::uint8_t>();

  LcdScreen whole(rows, cols);
  whole.Feed(stream.data(), stream.size());
  CheckSane(whole, stream.size());

  // The same stream in pieces of 1 to 16 bytes, as reads from the line may cut it.
  LcdScreen pieces(rows, cols);
  std::size_t at = 0, step = splitSeed;
  while (at < stream.size()) {
    step = step * 1103515245u + 12345u;
    const std::size_t n = std::min<std::size_t>(1 + (step >> 16) % 16, stream.size() - at);
    pieces.Feed(stream.data() + at, n);
    CheckSane(pieces, at + n);
    at += n;
  }
  CheckSame(whole, pieces);

  // Whatever the screen holds can be shown.
  FUZZ_CHECK(!DumpText(whole).empty());
  FUZZ_CHECK(!LiveView(whole, "fuzz").empty());

  whole.EndOfStream();
  pieces.EndOfStream();
  CheckSane(whole, stream.size());
  CheckSame(whole, pieces);
  // After the end the display takes text again.
  whole.Feed("A");
  CheckSane(whole, stream.size() + 1);
  return 0;
}
