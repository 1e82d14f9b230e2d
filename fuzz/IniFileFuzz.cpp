// Any file contents read as an INI file: look-ups agree with each other, integers read back
// from their own text, and a write changes nothing but its own key, in memory and on disk.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "fuzz/Check.h"
#include "fuzz/TemporaryFile.h"
#include "runtime/IniFile.h"
#include "runtime/StringList.h"

namespace {


std::string Trimmed(const std::string& s, const char* blanks) {
  const auto first = s.find_first_not_of(blanks);
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

// The names that may stand in the file: a rough look at each line is enough, since every pair
// is only asked of the reader.
std::pair<std::set<std::string>, std::set<std::string>> Names(const std::string& contents) {
  std::set<std::string> sections, keys;
  std::istringstream lines(contents);
  for (std::string line; std::getline(lines, line) && sections.size() + keys.size() < 64;) {
    const std::string t = Trimmed(line, " \t\r");
    if (!t.empty() && t[0] == '[')
      sections.insert(Trimmed(t.substr(1, t.find(']') == std::string::npos ? std::string::npos : t.find(']') - 1), " \t"));
    else if (const auto equals = t.find('='); equals != std::string::npos)
      keys.insert(Trimmed(t.substr(0, equals), " \t"));
  }
  return {sections, keys};
}

using Values = std::map<std::pair<std::string, std::string>, std::optional<std::string>>;

Values Read(TIniFile& ini, const std::set<std::string>& sections, const std::set<std::string>& keys) {
  Values values;
  for (const auto& s : sections)
    for (const auto& k : keys)
      values[{s, k}] = ini.ValueExists(s, k) ? std::optional(ini.ReadString(s, k, "")) : std::nullopt;
  return values;
}

// Names match whatever their ASCII letter case and the blanks around them.
bool Same(const std::string& a, const std::string& b) { return CompareText(Trimmed(a, " \t"), Trimmed(b, " \t")) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string section = input.ConsumeRandomLengthString(32);
  const std::string ident = input.ConsumeRandomLengthString(32);
  const std::string value = input.ConsumeRandomLengthString(64);
  const std::string contents = input.ConsumeRemainingBytesAsString();
  fuzz::WriteTemporaryFile(contents);

  TIniFile ini(fuzz::TemporaryFile());
  auto [sections, keys] = Names(contents);
  sections.insert(section);
  keys.insert(ident);

  for (const auto& s : sections)
    for (const auto& k : keys) {
      // Only an absent key gives the default, whichever it is.
      const std::string text = ini.ReadString(s, k, "a");
      FUZZ_CHECK(ini.ValueExists(s, k) == (text == ini.ReadString(s, k, "b")));
      const auto number = TryStrToInt(text);
      FUZZ_CHECK(ini.ReadInteger(s, k, 7) == number.value_or(7));
      if (number) FUZZ_CHECK(TryStrToInt(std::to_string(*number)) == number);
    }

  const Values before = Read(ini, sections, keys);
  try {
    ini.WriteString(section, ident, value);
  } catch (const EIniFileException&) {
    // A name the file cannot hold: refused, and nothing changed.
    TIniFile reread(fuzz::TemporaryFile());
    FUZZ_CHECK(Read(reread, sections, keys) == before);
    FUZZ_CHECK(Read(ini, sections, keys) == before);
    return 0;
  }
  TIniFile reread(fuzz::TemporaryFile());
  const Values inMemory = Read(ini, sections, keys);
  const Values onDisk = Read(reread, sections, keys);
  FUZZ_CHECK(inMemory == onDisk);
  for (const auto& [name, text] : before)
    if (!(Same(name.first, section) && Same(name.second, ident))) FUZZ_CHECK(onDisk.at(name) == text);
  // The value reads back as written, but for the line breaks that a line cannot hold.
  std::string flat = value;
  for (char& c : flat)
    if (c == '\r' || c == '\n') c = ' ';
  FUZZ_CHECK(reread.ValueExists(section, ident) && reread.ReadString(section, ident, "") == flat);
  return 0;
}
