// The built module, loaded with dlopen as a host loads it, driven through its record and
// through raw slots of the control's table of virtual functions.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>

#include "plugin/HostInterface.h"
#include "runtime/Cp1251.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/PseudoTerminal.h"
#include "tests/support/TemporaryHome.h"

namespace {

// The control's operations by slot: TObject's destructor pair, TPersistent's Assign and
// AssignTo, TComponent's Loaded and Notification come first.
enum Slot {
  GetActive = 6,
  SetActive,
  GetVisible,
  SetVisible,
  GetBackLight,
  SetBackLight,
  SetColCount,
  GetColCount,
  SetRowCount,
  GetRowCount,
  ClearScreen,
  WriteAt,
  DefineChar,
};

template <class Result, class... Args>
Result CallSlot(void* object, Slot slot, Args... args) {
  void** table = *static_cast<void***>(object);
  return reinterpret_cast<Result (*)(void*, Args...)>(table[slot])(object, args...);
}

class ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    handle = dlopen(MODULE_PATH, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    ASSERT_NE(handle, nullptr) << dlerror();
    getHardware = reinterpret_cast<HostInfoRecord* (*)()>(dlsym(handle, "getHardware"));
    ASSERT_NE(getHardware, nullptr);
  }
  void TearDown() override {
    if (getHardware) getHardware()->DoneHardware();
    if (handle) dlclose(handle);
  }

  void* handle = nullptr;
  HostInfoRecord* (*getHardware)() = nullptr;
  TemporaryHome home;
};

TEST_F(ModuleTest, TheRecordIsFilledOnceAndNamesTheDriver) {
  HostInfoRecord* record = getHardware();
  EXPECT_EQ(getHardware(), record);
  EXPECT_STREQ(record->DriverName, "HD44780-compatible comport-driver");
  const std::string description = record->DriverDescription;
  const std::string expected = Utf8ToCp1251(
      "Компонент управления HD44780-совместимым LCD-экраном, подключение к последовательному порту\r\r");
  EXPECT_EQ(description.substr(0, expected.size()), expected);
  EXPECT_GT(description.size(), expected.size()) << "an author line follows";
  EXPECT_EQ(description.find('\r', expected.size()), std::string::npos);
  EXPECT_EQ(record->Control, nullptr);
  EXPECT_NE(record->InitHardware, nullptr);
  EXPECT_NE(record->ConfigureHardware, nullptr);
  EXPECT_NE(record->DoneHardware, nullptr);
  EXPECT_EQ(reinterpret_cast<char*>(&record->DoneHardware) - reinterpret_cast<char*>(record), 5 * sizeof(void*));
}

TEST_F(ModuleTest, TheOperationsDriveTheDisplayFromTheirSlots) {
  PseudoTerminal pty;
  home.WriteSettings("[Quorvel.dll]\nPort=" + pty.DevicePath() + "\n");
  HostInfoRecord* record = getHardware();
  ASSERT_EQ(record->InitHardware(), 0);
  void* control = record->Control;
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(Hex(pty.Read(3)), "FE C0 0C");

  EXPECT_TRUE(CallSlot<bool>(control, GetActive));
  EXPECT_TRUE(CallSlot<bool>(control, GetVisible));
  EXPECT_TRUE(CallSlot<bool>(control, GetBackLight));
  CallSlot<void>(control, SetVisible, false);
  CallSlot<void>(control, SetBackLight, false);
  CallSlot<void>(control, SetColCount, std::int32_t{20});
  CallSlot<void>(control, SetRowCount, std::int32_t{4});
  EXPECT_EQ(CallSlot<std::int32_t>(control, GetColCount), 20);
  EXPECT_EQ(CallSlot<std::int32_t>(control, GetRowCount), 4);
  CallSlot<void>(control, ClearScreen);
  const std::string privet = Utf8ToCp1251("Привет");
  CallSlot<void, std::uint8_t, std::uint8_t, const std::string&>(control, WriteAt, 1, 2, privet);
  const std::uint8_t pattern[8] = {0x1F, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1F, 0x00};
  CallSlot<void, std::uint8_t, const std::uint8_t*, std::int32_t>(control, DefineChar, 3, pattern, 7);
  EXPECT_EQ(Hex(pty.Read(23)), "FE 58 FE 47 01 02 A8 70 B8 B3 65 BF FE 4E 03 1F 11 11 11 11 11 1F 00");
  CallSlot<void>(control, SetActive, false);
  EXPECT_FALSE(CallSlot<bool>(control, GetActive));

  EXPECT_EQ(record->DoneHardware(), 0);
  EXPECT_EQ(record->Control, nullptr);
}

TEST_F(ModuleTest, TheModulesExceptionsAreCaughtByTheirTypes) {
  PseudoTerminal pty;
  home.WriteSettings("[Quorvel.dll]\nPort=/dev/does-not-exist\n");
  HostInfoRecord* record = getHardware();
  try {
    record->InitHardware();
    FAIL() << "the open failure must reach the host";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), Utf8ToCp1251("Ошибка при открытии последовательного порта (/dev/does-not-exist)!"));
  }
  record->DoneHardware();

  home.WriteSettings("[Quorvel.dll]\nPort=" + pty.DevicePath() + "\n");
  record->InitHardware();
  pty.CloseMaster();
  try {
    record->Control->WriteAt(1, 1, "x");
    FAIL() << "a write on a hung-up line must fail";
  } catch (const EComPort& e) {
    EXPECT_EQ(e.ErrorNumber(), 2);
  }
}

TEST_F(ModuleTest, AHostInCServesTheQueueByItsCNames) {
  PseudoTerminal pty;
  home.WriteSettings("[Quorvel.dll]\nPort=" + pty.DevicePath() + "\n");
  const ProgramOutcome outcome = RunProgram(C_HOST_PATH, {MODULE_PATH});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out,
            "driver: HD44780-compatible comport-driver\ncontrol: present\nqueued work ran: yes\n"
            "nothing more waiting: yes\ncontrol after: nil\n");
  EXPECT_EQ(Hex(pty.Read(3)), "FE C0 0C");
}

TEST_F(ModuleTest, OnlyTheEntryAndWhatAHostCatchesAreExported) {
  EXPECT_NE(dlsym(handle, "quorvel_check_synchronize"), nullptr);
  EXPECT_NE(dlsym(handle, "quorvel_wake_handle"), nullptr);
  EXPECT_NE(dlsym(handle, CheckSynchronizeSymbol), nullptr);
  EXPECT_NE(dlsym(handle, WakeHandleSymbol), nullptr);
  EXPECT_NE(dlsym(handle, "_ZTI9Exception"), nullptr);
  EXPECT_EQ(dlsym(handle, "_ZN15TLCDControl_COMC1EP10TComponent"), nullptr) << "the control's class stays inside";
  EXPECT_EQ(dlsym(handle, "_Z14BaudRateToText9TBaudRate"), nullptr);
}

}  // namespace
