#include "runtime/IniFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(folder); }
  void TearDown() override { fs::remove_all(folder); }
  void Write(const std::string& contents) { std::ofstream(file, std::ios::binary) << contents; }
  std::string Read() {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  const fs::path folder = fs::temp_directory_path() / ("ini-" + std::to_string(getpid()));
  const fs::path file = folder / "settings.ini";
};

TEST_F(IniFileTest, ReadsAsWindowsProfilesDo) {
  Write("; comment\nkey=outside\n[Main]\n  Name  =  spaced value  \nQuoted=\"  kept  \"\nSingle='x'\n"
        "Empty=\nname=second\n[main]\nName=other section\n[Numbers]\nDec=-12\nHex=0x1F\nDollar=$10\nBig=2147483648\n"
        "Junk=12abc\nAll=0xFFFFFFFF\n");
  TIniFile ini(file.string());
  EXPECT_EQ(ini.ReadString("MAIN", "name", "-"), "spaced value") << "first section, first key, any letter case";
  EXPECT_EQ(ini.ReadString("Main", "Quoted", "-"), "  kept  ");
  EXPECT_EQ(ini.ReadString("Main", "Single", "-"), "x");
  EXPECT_EQ(ini.ReadString("Main", "Empty", "-"), "");
  EXPECT_EQ(ini.ReadString("Main", "Missing", "-"), "-");
  EXPECT_EQ(ini.ReadString("Nowhere", "key", "-"), "-");
  EXPECT_TRUE(ini.ValueExists("main", "EMPTY"));
  EXPECT_FALSE(ini.ValueExists("Main", "key"));
  EXPECT_EQ(ini.ReadInteger("Numbers", "Dec", 0), -12);
  EXPECT_EQ(ini.ReadInteger("Numbers", "Hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("Numbers", "Dollar", 0), 16);
  EXPECT_EQ(ini.ReadInteger("Numbers", "All", 0), -1);
  EXPECT_EQ(ini.ReadInteger("Numbers", "Big", 7), 7) << "more than 32 bits reads as the default";
  EXPECT_EQ(ini.ReadInteger("Numbers", "Junk", 7), 7);
  EXPECT_EQ(ini.ReadInteger("Main", "Name", 7), 7);
}

TEST_F(IniFileTest, AKeyIsFoundOnlyInItsOwnSection) {
  Write("[First]\na=1\n\n[Second]\nb=2\n[Third]\na=3\nb=3\n");
  TIniFile ini(file.string());
  EXPECT_EQ(ini.ReadString("First", "b", "-"), "-") << "b stands only in the sections after First";
  EXPECT_FALSE(ini.ValueExists("First", "b"));
  EXPECT_EQ(ini.ReadString("Second", "a", "-"), "-");
  EXPECT_EQ(ini.ReadString("Second", "b", "-"), "2");
  EXPECT_EQ(ini.ReadString("Third", "a", "-"), "3");
  ini.WriteString("First", "b", "new");
  ini.WriteString("Second", "a", "new");
  EXPECT_EQ(Read(), "[First]\na=1\nb=new\n\n[Second]\nb=2\na=new\n[Third]\na=3\nb=3\n")
      << "a key new to its section is added there, not written over the next section's";
}

TEST_F(IniFileTest, AWriteChangesOnlyItsLineAndKeepsEverythingElse) {
  Write("; keep me\r\n[A]\r\nx=1\r\n; inside\r\n\r\n[B]\r\ny = old\r\n");
  TIniFile ini(file.string());
  ini.WriteString("b", "Y", "new");
  ini.WriteString("A", "z", "2");
  ini.WriteInteger("C", "n", -5);
  EXPECT_EQ(Read(), "; keep me\r\n[A]\r\nx=1\r\n; inside\r\nz=2\r\n\r\n[B]\r\nY=new\r\n[C]\r\nn=-5\r\n");
  EXPECT_EQ(TIniFile(file.string()).ReadInteger("c", "N", 0), -5) << "a new reader sees the saved file";
  ini.WriteString("A", "x", "line\nbreak=injected");
  EXPECT_EQ(TIniFile(file.string()).ReadString("A", "x", ""), "line break=injected");
  EXPECT_FALSE(TIniFile(file.string()).ValueExists("A", "break"));
}

TEST_F(IniFileTest, ANameTheFileCannotHoldIsRefusedAndNothingIsWritten) {
  const std::string before = "[A]\nx=1\n[B]\ny=2\n";
  Write(before);
  TIniFile ini(file.string());
  // Each would have become a header, a comment or another key, taking the keys below it along.
  for (const auto& [section, key] : std::vector<std::pair<std::string, std::string>>{
           {"A\n[B", "k"}, {"A]x", "k"}, {"A", "k\ny"}, {"A", "k\r"}, {"A", "k=v"}, {"A", "[B]"}, {"A", " ;k"}}) {
    EXPECT_THROW(ini.WriteString(section, key, "v"), EIniFileException) << section << " / " << key;
    EXPECT_THROW(ini.WriteInteger(section, key, 1), EIniFileException) << section << " / " << key;
  }
  EXPECT_EQ(Read(), before);
  EXPECT_EQ(ini.ReadString("B", "y", "-"), "2");
}

TEST_F(IniFileTest, NamesMatchWithoutTheBlanksAroundThem) {
  Write("[A]\nx=1\n");
  TIniFile ini(file.string());
  EXPECT_EQ(ini.ReadString(" A\t", " x ", "-"), "1");
  ini.WriteString(" A ", " x ", "2");
  ini.WriteString(" A ", "y ", "3");
  EXPECT_EQ(Read(), "[A]\nx=2\ny=3\n") << "the key is rewritten in place, not added again";
}

TEST_F(IniFileTest, AValueReadsBackAsItWasWritten) {
  TIniFile ini(file.string());
  for (const std::string value : {"  padded  ", "\"quoted\"", "'single'", "\t", "\"", "plain \"inner\" text"}) {
    ini.WriteString("S", "k", value);
    EXPECT_EQ(TIniFile(file.string()).ReadString("S", "k", "-"), value);
  }
  ini.WriteString("S", "k", "plain");
  EXPECT_EQ(Read(), "[S]\nk=plain\n") << "a value that needs no quotes is written as it is";
}

TEST_F(IniFileTest, StrayCarriageReturnsAtALinesEndDoNotChangeOtherKeysOnASave) {
  Write("[A]\nx=1\r\r\ny=2\r\n");
  TIniFile ini(file.string());
  EXPECT_EQ(ini.ReadString("A", "x", "-"), "1");
  ini.WriteString("A", "z", "3");
  TIniFile reread(file.string());
  EXPECT_EQ(reread.ReadString("A", "x", "-"), "1");
  EXPECT_EQ(reread.ReadString("A", "y", "-"), "2");
  EXPECT_EQ(reread.ReadString("A", "z", "-"), "3");
}

TEST_F(IniFileTest, ANewFileAndItsFolderAreCreatedOnTheFirstWrite) {
  const fs::path nested = folder / "new" / "deeper" / "file.ini";
  TIniFile ini(nested.string());
  EXPECT_EQ(ini.ReadString("S", "k", "none"), "none");
  ini.WriteString("S", "k", "v");
  std::ifstream in(nested);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "[S]\nk=v\n");
  for (const auto& entry : fs::directory_iterator(nested.parent_path()))
    EXPECT_EQ(entry.path().filename(), "file.ini") << "no half-written copy is left beside it";
}

TEST_F(IniFileTest, AFailedSaveRaisesAndLeavesTheOldFile) {
  Write("[S]\nk=old\n");
  const fs::path blocked = folder / "blocker";
  std::ofstream(blocked) << "a file where a folder would have to be";
  TIniFile elsewhere((blocked / "settings.ini").string());
  EXPECT_THROW(elsewhere.WriteString("S", "k", "new"), EIniFileException);
  EXPECT_EQ(Read(), "[S]\nk=old\n");
}

TEST_F(IniFileTest, ASaveKilledHalfwayLeavesTheOldFileOrTheNewOneWhole) {
  const std::size_t size = 1 << 20;
  Write("[S]\nk=" + std::string(size, 'a') + "\n");
  const pid_t writer = fork();
  ASSERT_GE(writer, 0);
  if (writer == 0) {
    TIniFile ini(file.string());
    for (char c = 'b';; c = c == 'z' ? 'b' : static_cast<char>(c + 1)) ini.WriteString("S", "k", std::string(size, c));
  }
  usleep(200'000);
  kill(writer, SIGKILL);
  waitpid(writer, nullptr, 0);
  const std::string value = TIniFile(file.string()).ReadString("S", "k", "");
  ASSERT_EQ(value.size(), size);
  EXPECT_EQ(value.find_first_not_of(value[0]), std::string::npos) << "the value is one save's, whole";
}

}  // namespace
