#include "tests/realdrivers/Protocol.h"

#include <charconv>

namespace realdrivers {

namespace {

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string FormatMessage(unsigned id, std::string_view word, std::string_view text) {
  std::string line(RequestMarker);
  line += std::to_string(id);
  line += ' ';
  line += word;
  if (!text.empty()) {
    line += ' ';
    line += text;
  }
  line += '\n';
  return line;
}

std::optional<Message> ParseMessage(std::string_view line) {
  const std::optional<std::string> body = TextAfter(line, RequestMarker);
  if (!body) return std::nullopt;
  std::string_view rest = *body;
  Message message;
  const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), message.id);
  if (error != std::errc() || end == rest.data() || end == rest.data() + rest.size() || *end != ' ') return std::nullopt;
  rest = Trimmed(rest.substr(static_cast<std::size_t>(end - rest.data())));
  const auto space = rest.find(' ');
  message.word = std::string(rest.substr(0, space));
  if (message.word.empty()) return std::nullopt;
  if (space != std::string_view::npos) message.text = std::string(Trimmed(rest.substr(space)));
  return message;
}

std::optional<std::string> TextAfter(std::string_view line, std::string_view marker) {
  const auto at = line.find(marker);
  if (at == std::string_view::npos) return std::nullopt;
  return std::string(Trimmed(line.substr(at + marker.size())));
}

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  std::size_t at = 0;
  while (at < text.size()) {
    const auto start = text.find_first_not_of(' ', at);
    if (start == std::string_view::npos) break;
    const auto end = text.find(' ', start);
    words.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    at = end == std::string_view::npos ? text.size() : end;
  }
  return words;
}

std::string ToHex(std::string_view bytes) {
  static constexpr char digits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) {
    hex += digits[b >> 4];
    hex += digits[b & 15];
  }
  return hex;
}

std::optional<std::string> FromHex(std::string_view hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  std::string bytes;
  bytes.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexDigit(hex[i]), low = HexDigit(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes += static_cast<char>(high * 16 + low);
  }
  return bytes;
}

}  // namespace realdrivers
