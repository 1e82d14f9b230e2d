// Settings files that are damaged, huge or hostile, read by InitHardware as the host calls it:
// none may crash or hang the module, each gives the defaults or the low eight bits of what it
// says, and nothing is written by reading. Over the fake platform, so the display's settings
// are what is checked.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>

#include "display/LCDControl_COM.h"
#include "plugin/HostInterface.h"
#include "plugin/SettingsUnit.h"
#include "runtime/IniFile.h"
#include "tests/reliability/NamedPipe.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ScriptedFormRunner.h"
#include "tests/support/TemporaryHome.h"

namespace {

namespace fs = std::filesystem;

// The module's four settings as the dialog shows them, and what the control made of them.
struct Outcome {
  std::string rows, cols, port, rate;  // the dialog's texts
  std::int32_t controlRows, controlCols;
  TBaudRate controlRate;
  std::string controlPort;
};

bool operator==(const Outcome& a, const Outcome& b) {
  return a.rows == b.rows && a.cols == b.cols && a.port == b.port && a.rate == b.rate &&
         a.controlRows == b.controlRows && a.controlCols == b.controlCols && a.controlRate == b.controlRate &&
         a.controlPort == b.controlPort;
}

std::ostream& operator<<(std::ostream& out, const Outcome& o) {
  return out << "dialog {" << o.rows << ", " << o.cols << ", " << o.port.substr(0, 40) << ", " << o.rate
             << "} control {" << o.controlRows << ", " << o.controlCols << ", " << o.controlRate << ", "
             << o.controlPort.substr(0, 40) << "}";
}

const Outcome Defaults{"2", "16", "COM2", "2400", 2, 16, br2400, "COM2"};

class BadSettingsTest : public ::testing::Test {
 protected:
  void TearDown() override { record->DoneHardware(); }
  TLCDControl_COM& Display() { return *static_cast<TLCDControl_COM*>(record->Control); }

  // InitHardware on the file as it stands, then the dialog (cancelled) for the module state.
  Outcome Initialise() {
    EXPECT_EQ(record->InitHardware(), 0);
    Outcome o{};
    ScriptedFormRunner runner([&](TForm& form) {
      auto& dialog = dynamic_cast<TfrmSettings&>(form);
      o.rows = dialog.cbRows->Text();
      o.cols = dialog.cbCols->Text();
      o.port = dialog.cbPort->Text();
      o.rate = dialog.cbBaudRate->Text();
      return mrCancel;
    });
    EXPECT_EQ(record->ConfigureHardware(), 0);
    o.controlRows = Display().GetRowCount();
    o.controlCols = Display().GetColCount();
    o.controlRate = Display().ComPort()->BaudRate();
    o.controlPort = Display().Port();
    EXPECT_TRUE(Display().GetActive());
    return o;
  }
  // Writes `contents`, initialises, and checks that reading left the file alone.
  Outcome InitialiseWith(const std::string& contents) {
    home.WriteSettings(contents);
    const Outcome o = Initialise();
    EXPECT_EQ(home.ReadSettings(), contents) << "reading the settings changed the file";
    return o;
  }
  static std::string Section(const std::string& body) { return "[Quorvel.dll]\n" + body; }

  TemporaryHome home;
  fake::ScopedFakePlatform fake;
  HostInfoRecord* record = getHardware();
};

TEST_F(BadSettingsTest, EmptyAndBinaryFilesGiveTheDefaults) {
  EXPECT_EQ(InitialiseWith(""), Defaults);
  EXPECT_EQ(InitialiseWith(std::string(4096, '\0')), Defaults);
  EXPECT_EQ(InitialiseWith("\r\n\r\n\n\r"), Defaults);
  std::mt19937 random(20261208);
  for (int round = 0; round < 20; ++round) {
    std::string garbage(64 * 1024, '\0');
    for (char& c : garbage) c = static_cast<char>(random());
    EXPECT_EQ(InitialiseWith(garbage), Defaults) << "round " << round;
  }
  // Garbage that happens to hold the section's name and broken lines around it.
  EXPECT_EQ(InitialiseWith("\xFF\xFE[Quorvel.dll\n\x00=\x01\n[\n]\n=\n==\n[Quorvel.dll]]\nLines count\n"), Defaults);
}

TEST_F(BadSettingsTest, SettingsThatAreNotARegularFileGiveTheDefaultsWithoutBlocking) {
  fs::create_directories(home.SettingsFile());  // a folder by the file's name
  EXPECT_EQ(Initialise(), Defaults);
  fs::remove(home.SettingsFile());
  fs::create_symlink("/dev/zero", home.SettingsFile());  // endless zeros
  EXPECT_EQ(Initialise(), Defaults);
  fs::remove(home.SettingsFile());

  {
    NamedPipe pipe(home.SettingsFile());
    const Outcome o = Initialise();
    EXPECT_FALSE(pipe.Blocked()) << "reading the settings waited for a writer to a named pipe";
    EXPECT_EQ(o, Defaults);
  }
  // The same for the file that names the user's folders.
  fs::create_directories(home.Path() / ".config");
  NamedPipe pipe(home.Path() / ".config" / "user-dirs.dirs");
  const Outcome o = Initialise();
  EXPECT_FALSE(pipe.Blocked()) << "finding the documents folder waited for a writer to a named pipe";
  EXPECT_EQ(o, Defaults);
}

TEST_F(BadSettingsTest, AHugeFileIsReadWholeAndItsSectionFoundAtTheEnd) {
  std::string filler;
  filler.reserve(10u << 20);
  const std::string text(1000, 't');
  for (int n = 0; filler.size() < (10u << 20); ++n)
    filler += "[Other " + std::to_string(n) + "]\nLines count=1\nText=" + text + "\n";
  EXPECT_EQ(InitialiseWith(filler), Defaults);
  Outcome expected = Defaults;
  expected.rows = "4";
  expected.controlRows = 4;
  EXPECT_EQ(InitialiseWith(filler + Section("Lines count=4\n")), expected);
}

// Far more than any settings file holds (a sparse file takes no disk): reading it whole would
// exhaust the memory; it reads as unreadable, at once.
TEST_F(BadSettingsTest, AFileFarTooLargeForSettingsGivesTheDefaultsAtOnce) {
  home.WriteSettings(Section("Lines count=4\n"));
  fs::resize_file(home.SettingsFile(), std::uintmax_t{4} << 30);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Initialise(), Defaults);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(fs::file_size(home.SettingsFile()), std::uintmax_t{4} << 30);
}

TEST_F(BadSettingsTest, LinesOfAHundredThousandCharacters) {
  const std::string longText(100'000, '7');
  EXPECT_EQ(InitialiseWith(Section("Lines count=" + longText + "\nCols count=" + longText + "\nBaudrate=" + longText + "\n")),
            Defaults)
      << "numbers far past 32 bits are no numbers";
  EXPECT_EQ(InitialiseWith("[" + longText + "]\nLines count=4\n" + std::string(100'000, 'x') + "\n"), Defaults);
  EXPECT_EQ(InitialiseWith(Section(std::string(100'000, ' ') + "\n" + longText + "=" + longText + "\n")), Defaults);
  // A port name is passed on as written, however long.
  const std::string longName(100'000, 'P');
  Outcome expected = Defaults;
  expected.port = expected.controlPort = longName;
  EXPECT_EQ(InitialiseWith(Section("Port=" + longName + "\n")), expected);
}

TEST_F(BadSettingsTest, NumbersThatOverflowOrAreNegativeKeepTheirLowEightBitsOrTheDefault) {
  struct Case {
    const char* body;
    const char* rows;
    const char* cols;
    const char* rate;
  };
  const Case cases[] = {
      {"Lines count=4294967296\nCols count=2147483648\nBaudrate=99999999999999999999\n", "2", "16", "2400"},
      {"Lines count=-2147483649\nCols count=-9223372036854775809\n", "2", "16", "2400"},
      {"Lines count=2147483647\nCols count=-2147483648\nBaudrate=2147483647\n", "255", "0", "2400"},
      {"Lines count=0xFFFFFFFF\nCols count=0x100000014\nBaudrate=0xFFFFFFFF\n", "255", "16", "2400"},
      {"Lines count=-254\nCols count=-240\nBaudrate=-243\n", "2", "16", "115200"},
      {"Lines count=-1\nCols count=-16\nBaudrate=-1\n", "255", "240", "2400"},
      {"Lines count=260\nCols count=276\nBaudrate=269\n", "4", "20", "115200"},
      {"Lines count=- 4\nCols count=--20\nBaudrate=+-5\n", "2", "16", "2400"},
  };
  for (const Case& c : cases) {
    const Outcome o = InitialiseWith(Section(c.body));
    EXPECT_EQ(o.rows, c.rows) << c.body;
    EXPECT_EQ(o.cols, c.cols) << c.body;
    EXPECT_EQ(o.rate, c.rate) << c.body;
    // The control takes only the counts it knows and keeps 2 and 16 otherwise.
    const int rows = std::stoi(c.rows), cols = std::stoi(c.cols);
    EXPECT_EQ(o.controlRows, rows == 1 || rows == 2 || rows == 4 ? rows : 2) << c.body;
    EXPECT_EQ(o.controlCols, cols == 16 || cols == 20 || cols == 24 || cols == 32 || cols == 40 ? cols : 16) << c.body;
  }
}

TEST_F(BadSettingsTest, TextThatIsNoNumberGivesTheDefault) {
  for (const char* value : {"four", "4x", "x4", "4.0", "1e1", "0x", "$", "-", "+", "\"\"", "4 4", "\x01", "0x1G",
                            "\xD0\xA7\xD0\xB5\xD1\x82\xD1\x8B\xD1\x80\xD0\xB5"}) {
    const std::string body =
        std::string("Lines count=") + value + "\nCols count=" + value + "\nBaudrate=" + value + "\n";
    EXPECT_EQ(InitialiseWith(Section(body)), Defaults) << value;
  }
  // Blanks around a number and quotes are not part of it.
  Outcome expected = Defaults;
  expected.rows = "4";
  expected.controlRows = 4;
  EXPECT_EQ(InitialiseWith(Section("Lines count=\t 4 \t\n")), expected);
  EXPECT_EQ(InitialiseWith(Section("Lines count=\"4\"\n")), expected);
  EXPECT_EQ(InitialiseWith(Section("Lines count=+4\n")), expected);
  // An empty value or an empty port name is taken as written: the port is then named "".
  Outcome emptyPort = Defaults;
  emptyPort.port = emptyPort.controlPort = "";
  EXPECT_EQ(InitialiseWith(Section("Port=\n")), emptyPort);
}

TEST_F(BadSettingsTest, OfDuplicateSectionsAndKeysTheFirstCounts) {
  Outcome first = Defaults;
  first.rows = "4";
  first.controlRows = 4;
  EXPECT_EQ(InitialiseWith(Section("Lines count=4\n") + Section("Lines count=1\nCols count=20\n")), first)
      << "a second section of the same name is not read";
  EXPECT_EQ(InitialiseWith(Section("Lines count=4\nLines count=1\n")), first);
  EXPECT_EQ(InitialiseWith("[QUORVEL.DLL]\nLines count=4\n[quorvel.dll]\nLines count=1\n"), first);
}

}  // namespace
