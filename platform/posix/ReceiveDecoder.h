// Decodes what a tty with PARMRK delivers: 0xFF 0xFF is a received 0xFF, 0xFF 0x00 X is the
// byte X received with a parity or framing error, 0xFF 0x00 0x00 a break. A mark split
// across two reads is carried over.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::posix {

class ReceiveDecoder {
 public:
  // onByte(b) for each received byte; onError(b) for a byte received with an error;
  // onBreak() for a break.
  template <class OnByte, class OnError, class OnBreak>
  void Feed(const std::uint8_t* data, std::size_t size, OnByte onByte, OnError onError, OnBreak onBreak) {
    for (std::size_t i = 0; i < size; ++i) {
      const std::uint8_t b = data[i];
      switch (state_) {
        case State::Plain:
          if (b == 0xFF)
            state_ = State::Mark;
          else
            onByte(b);
          break;
        case State::Mark:
          if (b == 0x00) {
            state_ = State::ErrorMark;
          } else {
            // 0xFF 0xFF is an escaped 0xFF; anything else cannot come from the tty layer and
            // is passed on as it came.
            onByte(0xFF);
            if (b != 0xFF) onByte(b);
            state_ = State::Plain;
          }
          break;
        case State::ErrorMark:
          if (b == 0x00)
            onBreak();
          else
            onError(b);
          state_ = State::Plain;
          break;
      }
    }
  }

 private:
  enum class State { Plain, Mark, ErrorMark };
  State state_ = State::Plain;
};

}  // namespace platform::posix
