#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/PortEnumeration.h"
#include "serial/CPort.h"
#include "tests/support/PseudoTerminal.h"

namespace {

namespace fs = std::filesystem;

// A folder laid out like /sys/class/tty, and an alias folder, built by the test.
class EnumSerialPortsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(tty_);
    fs::create_directories(aliases_);
    platform::SetDefaultPortSources({tty_.string(), aliases_.string()});
  }
  void TearDown() override {
    platform::SetDefaultPortSources({});
    fs::remove_all(root_);
  }
  void AddDevice(const std::string& name, const char* uartType = nullptr) {
    fs::create_directories(tty_ / name / "device");
    if (uartType) std::ofstream(tty_ / name / "type") << uartType << "\n";
  }
  void AddAlias(const std::string& name, const fs::path& target) { fs::create_symlink(target, aliases_ / name); }
  std::vector<std::string> List() {
    TStringList ports;
    ports.Add("left over");
    EnumSerialPorts(ports);
    return ports.Items();
  }

  const fs::path root_ = fs::temp_directory_path() / ("ports-" + std::to_string(getpid()));
  const fs::path tty_ = root_ / "tty";
  const fs::path aliases_ = root_ / "ports";
};

TEST_F(EnumSerialPortsTest, NoPortsGiveAnEmptyList) {
  fs::create_directories(tty_ / "tty0");  // a console: no device behind it
  EXPECT_TRUE(List().empty());
}

TEST_F(EnumSerialPortsTest, DevicesWithHardwareAndLiveAliasesAreListedSortedAsText) {
  AddDevice("ttyUSB0");
  AddDevice("ttyS0", "4");
  AddDevice("ttyS1", "0");  // a legacy port with no UART
  AddDevice("ttyS2");       // no type: not a UART either
  AddAlias("com1", "/dev/null");
  AddAlias("COM10", "/dev/null");
  AddAlias("com2", "/dev/null");
  AddAlias("com3", root_ / "gone");  // its device has vanished
  AddAlias("printer", "/dev/null");
  EXPECT_EQ(List(), (std::vector<std::string>{"COM1", "COM10", "COM2", "ttyS0", "ttyUSB0"}));
}

TEST_F(EnumSerialPortsTest, AnUnreadableSourceIsARegistryError) {
  platform::SetDefaultPortSources({(root_ / "missing").string(), aliases_.string()});
  TStringList ports;
  ports.Add("kept");
  try {
    EnumSerialPorts(ports);
    FAIL();
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ErrorNumber(), 23);
    EXPECT_EQ(e.WinErrorCode(), 2);
    EXPECT_STREQ(e.what(), "Registry error (win error code: 2)");
  }
  EXPECT_EQ(ports.Items(), std::vector<std::string>{"kept"});
}

TEST(EnumSystemSerialPortsTest, APseudoTerminalIsNotASerialPort) {
  PseudoTerminal pty;
  TStringList ports;
  EnumSerialPorts(ports);
  const std::string name = fs::path(pty.DevicePath()).filename().string();
  for (const std::string& port : ports.Items()) {
    EXPECT_EQ(port.find('/'), std::string::npos) << port;
    EXPECT_NE(port, name);
    const bool console = port.rfind("tty", 0) == 0 && port.size() > 3 &&
                         port.find_first_not_of("0123456789", 3) == std::string::npos;
    EXPECT_FALSE(console) << "a virtual console is listed: " << port;
  }
}

}  // namespace
