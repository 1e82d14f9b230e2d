// What the guest's tests and the harness say to each other over the guest's console. A guest
// test asks for an action of the far end or of the machine with one line
//   @@qv <id> <verb> <arguments...>
// and the harness answers on the console's input with
//   @@qv <id> ok <text>      or      @@qv <id> err <text>
// Bytes travel as lower-case hex. The verbs, each naming a device (uart, pci, usb) first:
//   take DEV N MS     the next N bytes the device sent, waiting up to MS ms (err: what came)
//   drop DEV N MS     the same, answered with the count alone
//   skip DEV          forget what has arrived      count DEV     how many bytes wait
//   send DEV HEX      bytes into the device        break DEV     a break (uart only)
//   hold DEV          stop reading its far end     release DEV   read it again
//   unplug DEV MS     device_del, answered once the guest completed the removal
//   plug DEV          device_add, once an earlier removal has completed
// The guest's start-up script marks the session with lines of its own (Up, Program, Done). Kernel messages or a test's unfinished output line may precede a
// marker on the same line, so markers are looked for anywhere in a line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace realdrivers {

inline constexpr std::string_view RequestMarker = "@@qv ";
inline constexpr std::string_view UpMarker = "@@qv-up";
inline constexpr std::string_view ProgramMarker = "@@qv-program ";
inline constexpr std::string_view DoneMarker = "@@qv-done";

struct Message {
  unsigned id = 0;
  std::string word;  // a request's verb, or "ok" / "err" in an answer
  std::string text;  // the rest of the line
};

std::string FormatMessage(unsigned id, std::string_view word, std::string_view text);
std::optional<Message> ParseMessage(std::string_view line);

// The text after `marker` when the line holds it, without surrounding blanks.
std::optional<std::string> TextAfter(std::string_view line, std::string_view marker);
std::vector<std::string> Words(std::string_view text);

std::string ToHex(std::string_view bytes);
std::optional<std::string> FromHex(std::string_view hex);

}  // namespace realdrivers
