#include "runtime/IniFile.h"

#include <charconv>

#include "platform/Files.h"
#include "runtime/StringList.h"

namespace {

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

bool SameText(const std::string& a, const std::string& b) { return CompareText(a, b) == 0; }

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

// A name whose line would read back as another line or another name: a line break, a "]" in a
// section (it ends the header), and a key that holds "=" or starts like a header or a comment.
bool StorableSection(const std::string& name) { return !HasLineBreak(name) && name.find(']') == std::string::npos; }
bool StorableKey(const std::string& name) {
  const std::string key = Trim(name);
  return !HasLineBreak(key) && key.find('=') == std::string::npos && (key.empty() || (key[0] != '[' && key[0] != ';'));
}

// Reading trims a value and drops one pair of matching quotes around it, so a value that would
// lose anything that way is written inside double quotes.
std::string StoredValue(const std::string& value) {
  const bool blankAtEnds = !value.empty() && (value.front() == ' ' || value.front() == '\t' ||
                                              value.back() == ' ' || value.back() == '\t');
  const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
  return blankAtEnds || quoted ? '"' + value + '"' : value;
}

}  // namespace

std::optional<std::int32_t> TryStrToInt(const std::string& S) {
  std::string text = S;
  bool negative = false;
  std::size_t at = 0;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
  int base = 10;
  if (text.compare(at, 2, "0x") == 0 || text.compare(at, 2, "0X") == 0) {
    base = 16;
    at += 2;
  } else if (at < text.size() && text[at] == '$') {
    base = 16;
    at += 1;
  }
  if (at >= text.size() || text[at] == '-' || text[at] == '+') return std::nullopt;
  std::int64_t magnitude = 0;
  const auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(), magnitude, base);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  const std::int64_t value = negative ? -magnitude : magnitude;
  // Hexadecimal may spell the whole 32-bit pattern (0xFFFFFFFF is -1), as the runtime reads it.
  if (base == 16 && !negative && value <= 0xFFFFFFFFll) return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::int32_t TCustomIniFile::ReadInteger(const std::string& Section, const std::string& Ident, std::int32_t Default) {
  return TryStrToInt(ReadString(Section, Ident, "")).value_or(Default);
}

void TCustomIniFile::WriteInteger(const std::string& Section, const std::string& Ident, std::int32_t Value) {
  WriteString(Section, Ident, std::to_string(Value));
}

TIniFile::TIniFile(std::string FileName) : TCustomIniFile(std::move(FileName)) {
  std::string contents;
  if (const platform::DWORD error = platform::ReadWholeFile(this->FileName(), contents); error != platform::ERROR_SUCCESS) {
    if (error != platform::ERROR_FILE_NOT_FOUND && error != platform::ERROR_PATH_NOT_FOUND) FReadError = error;
    return;
  }
  std::size_t start = 0;
  bool firstBreak = true;
  while (start < contents.size()) {
    std::size_t end = contents.find('\n', start);
    if (end == std::string::npos) end = contents.size();
    std::string text = contents.substr(start, end - start);
    // Carriage returns at a line's end belong to its break, however many there are: one left in
    // the text would be saved before the file's own break and then read as a break instead.
    if (!text.empty() && text.back() == '\r') {
      while (!text.empty() && text.back() == '\r') text.pop_back();
      if (firstBreak) FLineBreak = "\r\n";
    }
    if (end < contents.size()) firstBreak = false;
    start = end + 1;

    FLines.push_back(ParseLine(text));
  }
}

TIniFile::Line TIniFile::ParseLine(const std::string& Text) {
  Line line;
  line.text = Text;
  const std::string trimmed = Trim(Text);
  if (!trimmed.empty() && trimmed.front() == '[') {
    const auto close = trimmed.find(']');
    line.kind = Line::Section;
    line.section = Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
  } else if (!trimmed.empty() && trimmed.front() != ';') {
    if (const auto equals = trimmed.find('='); equals != std::string::npos) {
      line.kind = Line::Key;
      line.key = Trim(trimmed.substr(0, equals));
      std::string value = Trim(trimmed.substr(equals + 1));
      // A value in matching quotes is read without them.
      if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
      line.value = value;
    }
  }
  return line;
}

// Names are compared trimmed, as they are read from the file.
std::optional<std::size_t> TIniFile::FindSection(const std::string& Section) const {
  const std::string name = Trim(Section);
  for (std::size_t i = 0; i < FLines.size(); ++i)
    if (FLines[i].kind == Line::Section && SameText(FLines[i].section, name)) return i;
  return std::nullopt;
}

std::optional<std::size_t> TIniFile::FindKey(std::size_t SectionLine, const std::string& Ident) const {
  const std::string name = Trim(Ident);
  for (std::size_t i = SectionLine + 1; i < FLines.size() && FLines[i].kind != Line::Section; ++i)
    if (FLines[i].kind == Line::Key && SameText(FLines[i].key, name)) return i;
  return std::nullopt;
}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) {
  const auto section = FindSection(Section);
  if (!section) return Default;
  const auto key = FindKey(*section, Ident);
  return key ? FLines[*key].value : Default;
}

bool TIniFile::ValueExists(const std::string& Section, const std::string& Ident) {
  const auto section = FindSection(Section);
  return section && FindKey(*section, Ident);
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
  if (!StorableSection(Section) || !StorableKey(Ident))
    throw EIniFileException("Unable to write to " + FileName() + " (a section or key name the file cannot hold)");
  std::vector<Line> lines = FLines;
  // A line break inside a value would end its line and start another one: a value never
  // carries one, so it cannot add keys or sections of its own.
  std::string flat = Value;
  for (char& c : flat)
    if (c == '\r' || c == '\n') c = ' ';
  const Line entry = ParseLine(Trim(Ident) + "=" + StoredValue(flat));
  if (const auto section = FindSection(Section)) {
    if (const auto key = FindKey(*section, Ident)) {
      lines[*key] = entry;
    } else {
      // A new key goes after the section's last key or comment, before the blank lines that
      // separate it from the next section.
      std::size_t at = *section + 1;
      for (std::size_t i = at; i < lines.size() && lines[i].kind != Line::Section; ++i)
        if (!Trim(lines[i].text).empty()) at = i + 1;
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), entry);
    }
  } else {
    lines.push_back(ParseLine("[" + Trim(Section) + "]"));
    lines.push_back(entry);
  }
  Save(std::move(lines));
}

void TIniFile::Save(std::vector<Line> Lines) {
  if (FReadError != platform::ERROR_SUCCESS)
    throw EIniFileException("Unable to write to " + FileName() + " (it could not be read: " +
                            platform::ErrorText(FReadError) + ")");
  std::string contents;
  for (const Line& line : Lines) contents += line.text + FLineBreak;
  if (const platform::DWORD error = platform::ReplaceFile(FileName(), contents); error != platform::ERROR_SUCCESS)
    throw EIniFileException("Unable to write to " + FileName() + " (" + platform::ErrorText(error) + ")");
  FLines = std::move(Lines);
}
