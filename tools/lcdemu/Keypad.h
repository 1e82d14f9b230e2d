// The display's keypad: 25 keys that reach the line as the codes 'A'..'Y', each sent the
// moment it is pressed (auto-transmit, the default) or kept until the host polls for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

class Keypad {
 public:
  // As many keys as the display keeps for polls; a key pressed beyond them is dropped.
  static constexpr std::size_t BufferSize = 10;

  // Presses `key` ('A'..'Y'): appends it to `line` or keeps it for a poll. False when it is
  // not a key of the keypad or the buffer is full (then it is counted as dropped).
  bool Press(char key, std::string& line);
  // Switching auto-transmit on sends the keys that were waiting, so none is lost.
  void SetAutoTransmit(bool on, std::string& line);
  // Answers a poll: the oldest waiting key, or 0 when none waits.
  void Poll(std::string& line);
  void ClearWaiting() { waiting_.clear(); }

  bool AutoTransmit() const { return autoTransmit_; }
  const std::deque<char>& Waiting() const { return waiting_; }
  unsigned Sent() const { return sent_; }
  unsigned Dropped() const { return dropped_; }
  std::optional<char> LastSent() const { return lastSent_; }

 private:
  void Send(char key, std::string& line);

  bool autoTransmit_ = true;
  std::deque<char> waiting_;
  unsigned sent_ = 0, dropped_ = 0;
  std::optional<char> lastSent_;
};

// The key that a typed character presses: 'a'..'y' and 'A'..'Y' press 'A'..'Y'.
std::optional<char> KeyForTyped(char typed);
