#include "tools/lcdemu/Keypad.h"

namespace {
bool IsKey(char key) { return key >= 'A' && key <= 'Y'; }
}  // namespace

bool Keypad::Press(char key, std::string& line) {
  if (!IsKey(key)) return false;
  if (autoTransmit_) {
    Send(key, line);
    return true;
  }
  if (waiting_.size() == BufferSize) {
    ++dropped_;
    return false;
  }
  waiting_.push_back(key);
  return true;
}

void Keypad::SetAutoTransmit(bool on, std::string& line) {
  autoTransmit_ = on;
  if (!on) return;
  for (char key : waiting_) Send(key, line);
  waiting_.clear();
}

void Keypad::Poll(std::string& line) {
  if (waiting_.empty()) {
    line.push_back('\0');
    return;
  }
  Send(waiting_.front(), line);
  waiting_.pop_front();
}

void Keypad::Send(char key, std::string& line) {
  line.push_back(key);
  ++sent_;
  lastSent_ = key;
}

std::optional<char> KeyForTyped(char typed) {
  if (typed >= 'a' && typed <= 'y') return static_cast<char>(typed - 'a' + 'A');
  if (IsKey(typed)) return typed;
  return std::nullopt;
}
