// Settings in INI files. TCustomIniFile reads and writes strings and integers by section and
// key, giving a default for what is absent; TIniFile keeps them in a file by the rules of
// Windows profiles: sections and keys match whatever their letter case and blanks around them,
// values are trimmed, and a write leaves every other section, key and comment as it was.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runtime/Exception.h"
#include "runtime/Object.h"

class EIniFileException : public Exception {
 public:
  using Exception::Exception;
};

class TCustomIniFile : public TObject {
 public:
  explicit TCustomIniFile(std::string FileName) : FFileName(std::move(FileName)) {}
  const std::string& FileName() const { return FFileName; }

  virtual std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) = 0;
  virtual void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) = 0;
  virtual bool ValueExists(const std::string& Section, const std::string& Ident) = 0;
  // A value that is not a 32-bit integer (decimal, or hexadecimal after 0x or $) reads as
  // the default.
  virtual std::int32_t ReadInteger(const std::string& Section, const std::string& Ident, std::int32_t Default);
  virtual void WriteInteger(const std::string& Section, const std::string& Ident, std::int32_t Value);

 private:
  std::string FFileName;
};

class TIniFile : public TCustomIniFile {
 public:
  // Reads the file; one that is missing or unreadable reads as empty.
  explicit TIniFile(std::string FileName);

  std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) override;
  // Saves the whole file at once; a failure raises EIniFileException and leaves the file as it
  // was. A file that is there but could not be read is never written: all of it but this one
  // value would be lost. Line breaks in the value are written as spaces; a value with blanks at
  // its ends or in quotes is written quoted, so that it reads back as it was. A section name
  // with a line break or "]", or a key name with a line break or "=" or that starts with "[" or
  // ";", raises.
  void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
  bool ValueExists(const std::string& Section, const std::string& Ident) override;

 private:
  struct Line {
    std::string text;     // as it stands in the file, without its line break
    std::string section;  // for a section header: its name
    std::string key;      // for a key line: its name
    std::string value;    // for a key line: its value, trimmed and unquoted
    enum Kind { Other, Section, Key } kind = Other;
  };
  static Line ParseLine(const std::string& Text);
  // The line of the section's header, and of the key in its first occurrence.
  std::optional<std::size_t> FindSection(const std::string& Section) const;
  std::optional<std::size_t> FindKey(std::size_t SectionLine, const std::string& Ident) const;
  void Save(std::vector<Line> Lines);

  std::vector<Line> FLines;
  std::string FLineBreak = "\n";
  std::uint32_t FReadError = 0;  // why a file that is there could not be read; 0 when it was
};

// Parses a whole string as a 32-bit integer: optional sign, decimal digits, or hexadecimal
// after 0x or $. Nothing else may stand around it.
std::optional<std::int32_t> TryStrToInt(const std::string& S);
