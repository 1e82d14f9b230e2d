// The Linux backend on real pseudo-terminals: the test holds the master side as the line.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/posix/LineSettings.h"
#include "platform/posix/PosixApi.h"
#include "tests/support/EmulatedDriver.h"
#include "tests/support/LineBlock.h"
#include "tests/support/ProcessCounts.h"
#include "tests/support/PseudoTerminal.h"

namespace {

using namespace platform;
namespace fs = std::filesystem;

class SerialDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::thread([] {}).join();  // a sanitizer's own helper thread starts with the first thread
    fdsBefore_ = OpenDescriptors();
    threadsBefore_ = SettledThreadCount();
  }
  void TearDown() override {
    for (HANDLE h : {device_, event_})
      if (h && h != INVALID_HANDLE_VALUE) api_.CloseHandle(h);
    pty_.reset();
    EXPECT_EQ(OpenDescriptors(), fdsBefore_) << "a descriptor was left open";
    EXPECT_EQ(ThreadsSettledAt(threadsBefore_), threadsBefore_) << "a thread was left running";
  }

  HANDLE Open(const std::string& path, DWORD share = 0) {
    return api_.CreateFileA(("\\\\.\\" + path).c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OVERLAPPED, nullptr);
  }
  void OpenLine() {
    pty_ = std::make_unique<PseudoTerminal>();
    device_ = Open(pty_->DevicePath());
    ASSERT_NE(device_, INVALID_HANDLE_VALUE) << GetLastError();
    event_ = api_.CreateEventA(nullptr, TRUE, TRUE, nullptr);
    overlapped_.hEvent = event_;
  }
  void SetWriteTimeout(DWORD constant) {
    const COMMTIMEOUTS timeouts{MAXDWORD, 0, 0, 0, constant};
    ASSERT_TRUE(api_.SetCommTimeouts(device_, &timeouts));
  }
  // Starts a write; true when it is still running.
  // The bytes stay in the fixture: a running write reads them until it ends.
  bool StartWrite(const std::string& bytes) {
    pending_ = bytes;
    DWORD written = 0;
    if (api_.WriteFile(device_, pending_.data(), static_cast<DWORD>(pending_.size()), &written, &overlapped_))
      return false;
    EXPECT_EQ(GetLastError(), ERROR_IO_PENDING);
    return true;
  }
  // Waits for the running write; the bytes it moved, or -1 with the error in GetLastError.
  long Finish() {
    EXPECT_EQ(api_.WaitForSingleObject(event_, INFINITE), WAIT_OBJECT_0);
    DWORD n = 0;
    return api_.GetOverlappedResult(device_, &overlapped_, &n, FALSE) ? static_cast<long>(n) : -1;
  }
  DWORD InQueue(DWORD* errors = nullptr) {
    COMSTAT stat{};
    DWORD flags = 0;
    EXPECT_TRUE(api_.ClearCommError(device_, &flags, &stat));
    if (errors) *errors = flags;
    return stat.cbInQue;
  }
  DWORD WaitForInQueue(DWORD count) {
    DWORD n = 0;
    for (int i = 0; i < 200 && (n = InQueue()) < count; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return n;
  }
  bool DriverStarted() { return api_.Device(device_)->DriverThreadStarted(); }

  posix::PosixApi api_;
  std::unique_ptr<PseudoTerminal> pty_;
  HANDLE device_ = INVALID_HANDLE_VALUE;
  HANDLE event_ = nullptr;
  OVERLAPPED overlapped_{};
  std::string pending_;
  std::size_t fdsBefore_ = 0, threadsBefore_ = 0;
};

TEST_F(SerialDeviceTest, AnyRateIsSetAndReadBackExactly) {
  OpenLine();
  for (DWORD rate : {9600u, 256000u, 250000u, 31250u}) {
    const DCB dcb = LineOf(rate);
    ASSERT_TRUE(api_.SetCommState(device_, &dcb)) << rate;
    // Termios requests on a pty's master act on its device side.
    EXPECT_EQ(posix::ReadLineSpeed(pty_->MasterFd()), rate);
  }
}

TEST_F(SerialDeviceTest, ImpossibleFramingIsRefusedAsWindowsRefusesIt) {
  OpenLine();
  for (const DCB& dcb : {LineOf(0), LineOf(9600, 9), LineOf(9600, 8, 5), LineOf(9600, 8, NOPARITY, ONE5STOPBITS),
                         LineOf(9600, 5, NOPARITY, TWOSTOPBITS)}) {
    EXPECT_FALSE(api_.SetCommState(device_, &dcb));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  }
  const DCB fiveAndAHalf = LineOf(9600, 5, NOPARITY, ONE5STOPBITS);
  EXPECT_TRUE(api_.SetCommState(device_, &fiveAndAHalf)) << "a pseudo-terminal forces 8 bits; it has no wire";
}

TEST_F(SerialDeviceTest, ASettingTheDriverRefusesLeavesTheDeviceExactlyAsItWas) {
  pty_ = std::make_unique<PseudoTerminal>();
  InstalledDriver uart(EveryDriverProfile().front(), *pty_);  // an 8250: nothing above 115200
  device_ = Open(pty_->DevicePath());
  ASSERT_NE(device_, INVALID_HANDLE_VALUE);
  const DCB odd = LineOf(9600, 8, ODDPARITY);
  ASSERT_TRUE(api_.SetCommState(device_, &odd));
  DCB refused = LineOf(250000, 7, EVENPARITY, TWOSTOPBITS);
  refused.Flags |= DCB_fOutX | DCB_fInX;
  EXPECT_FALSE(api_.SetCommState(device_, &refused));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(uart->TakenSpeed(), 9600u);
  EXPECT_EQ(uart->TakenControlFlags(), unsigned{CS8 | PARENB | PARODD});
  termios line{};
  ASSERT_EQ(tcgetattr(pty_->MasterFd(), &line), 0);
  EXPECT_EQ(line.c_iflag & (IXON | IXOFF), 0u) << "no part of the refused setting stays";
  api_.CloseHandle(device_);
  device_ = INVALID_HANDLE_VALUE;
}

TEST_F(SerialDeviceTest, AHangUpEndsTheWaitForTheLinesByItselfBeforeTheHandleCloses) {
  pty_ = std::make_unique<PseudoTerminal>();
  InstalledDriver card(EveryDriverProfile().front(), *pty_);  // a PCI card: only a signal ends the wait
  device_ = Open(pty_->DevicePath());
  ASSERT_NE(device_, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(api_.SetCommMask(device_, EV_CTS));
  for (int i = 0; i < 200 && card->BlockedWaits() == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_EQ(card->BlockedWaits(), 1);
  pty_->CloseMaster();
  // Nobody calls the device meanwhile (its event thread could be waiting for the main thread).
  for (int i = 0; i < 200 && card->BlockedWaits() > 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(card->BlockedWaits(), 0) << "a wait left blocked holds up the card's removal";
  COMSTAT stat{};
  EXPECT_FALSE(api_.ClearCommError(device_, nullptr, &stat));
  EXPECT_EQ(GetLastError(), ERROR_GEN_FAILURE) << "the line has gone";
  api_.CloseHandle(device_);
  device_ = INVALID_HANDLE_VALUE;
}

TEST_F(SerialDeviceTest, TheLineIsRawBothWays) {
  OpenLine();
  const std::string out("\x0A\x0D\xFF\x00\x03", 5);
  EXPECT_FALSE(StartWrite(out)) << "a short write to an idle line finishes at once";
  EXPECT_EQ(Hex(pty_->Read(out.size())), Hex(out));
  pty_->Write(std::string("\x03\x0D\x0A\xFF\x00", 5));  // ^C, CR, LF, 0xFF, NUL
  EXPECT_EQ(WaitForInQueue(5), 5u) << "nothing received is cooked, escaped or dropped";
}

TEST_F(SerialDeviceTest, AWriteLongerThanATtyBufferIsUnderWayWhenItsStartReturns) {
  OpenLine();
  const std::string eight(8192, 'l');  // an idle line would take it all in one call
  ASSERT_TRUE(StartWrite(eight)) << "a long write is handed over, not done in the caller's thread";
  EXPECT_EQ(Finish(), 8192);
  EXPECT_EQ(pty_->Read(eight.size()).size(), eight.size());
}

TEST_F(SerialDeviceTest, WritesThatFinishAtOnceStartNoThread) {
  OpenLine();
  for (int i = 0; i < 20; ++i) ASSERT_FALSE(StartWrite("x"));
  EXPECT_FALSE(DriverStarted());
  EXPECT_EQ(pty_->Read(20).size(), 20u);
}

TEST_F(SerialDeviceTest, AWriteNobodyReadsEndsWithTheBytesSentWhenItsTimeOutRunsOut) {
  OpenLine();
  SetWriteTimeout(200);
  const std::string big(256 * 1024, 'a');
  ASSERT_TRUE(StartWrite(big));
  const long sent = Finish();
  EXPECT_GT(sent, 0);
  EXPECT_LT(sent, static_cast<long>(big.size())) << "a time-out is a success with fewer bytes";
  EXPECT_TRUE(DriverStarted());
}

TEST_F(SerialDeviceTest, AWriteHeldByXoffEndsWhenItsTimeOutPerByteRunsOutAndXonLetsTheLineGoOn) {
  OpenLine();
  DCB dcb = LineOf(9600);
  dcb.Flags |= DCB_fOutX;
  ASSERT_TRUE(api_.SetCommState(device_, &dcb));
  const COMMTIMEOUTS perByte{MAXDWORD, 0, 0, 20, 0};  // no constant: ten bytes may take 200 ms
  ASSERT_TRUE(api_.SetCommTimeouts(device_, &perByte));
  pty_->Write("\x13");  // XOFF from the far end stops the tty's output
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(StartWrite("0123456789")) << "the far end holds the line";
  EXPECT_EQ(Finish(), 0);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(190));
  pty_->Write("\x11");
  EXPECT_EQ(pty_->Read(1, std::chrono::milliseconds(200)).size(), 0u) << "a timed-out write sent nothing";
  const COMMTIMEOUTS none{};
  ASSERT_TRUE(api_.SetCommTimeouts(device_, &none));
  if (StartWrite("go")) {
    EXPECT_EQ(Finish(), 2);
  }
  EXPECT_EQ(pty_->Read(2), "go");
}

TEST_F(SerialDeviceTest, APendingWriteFinishesWhenTheLineDrains) {
  OpenLine();
  const std::string big(256 * 1024, 'b');
  ASSERT_TRUE(StartWrite(big));
  std::size_t drained = 0;
  std::thread reader([&] { drained = pty_->Read(big.size(), std::chrono::seconds(20)).size(); });
  EXPECT_EQ(Finish(), static_cast<long>(big.size()));
  reader.join();
  EXPECT_EQ(drained, big.size());
}

TEST_F(SerialDeviceTest, PurgeAbortsARunningWrite) {
  OpenLine();
  ASSERT_TRUE(StartWrite(std::string(256 * 1024, 'c')));
  ASSERT_TRUE(api_.PurgeComm(device_, PURGE_TXABORT | PURGE_RXABORT));
  EXPECT_EQ(Finish(), -1);
  EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);
  EXPECT_FALSE(api_.PurgeComm(device_, 0x10));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(SerialDeviceTest, ClosingTheHandleAbortsARunningWriteAndStopsItsThread) {
  OpenLine();
  ASSERT_TRUE(StartWrite(std::string(256 * 1024, 'd')));
  ASSERT_TRUE(api_.CloseHandle(device_));
  EXPECT_EQ(api_.WaitForSingleObject(event_, INFINITE), WAIT_OBJECT_0);
  device_ = INVALID_HANDLE_VALUE;  // TearDown counts the thread and descriptors
}

TEST_F(SerialDeviceTest, InputBeyondTheQueueSizeIsLostAndReported) {
  OpenLine();
  ASSERT_TRUE(api_.SetupComm(device_, 16, 16));
  pty_->Write(std::string(32, 'e'));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  DWORD errors = 0;
  EXPECT_EQ(InQueue(&errors), 16u);
  EXPECT_EQ(errors & CE_RXOVER, CE_RXOVER);
  InQueue(&errors);
  EXPECT_EQ(errors, 0u) << "reading the error state clears it";
  ASSERT_TRUE(api_.PurgeComm(device_, PURGE_RXCLEAR));
  EXPECT_EQ(InQueue(), 0u);
  EXPECT_FALSE(api_.SetupComm(device_, 0xFFFFFFFDu, 1024)) << "a negative size must not be taken as huge";
  EXPECT_FALSE(api_.SetupComm(device_, 1024, 0xFFFFFFFDu));
}

// The events recorded since the last look: a wait that completes at once holds them; one that
// would have to wait is ended by setting the mask again and holds none.
DWORD EventsRecorded(posix::PosixApi& api, HANDLE device, DWORD mask) {
  const HANDLE done = api.CreateEventA(nullptr, TRUE, FALSE, nullptr);
  OVERLAPPED overlapped{};
  overlapped.hEvent = done;
  DWORD events = 0;
  if (!api.WaitCommEvent(device, &events, &overlapped)) {
    EXPECT_EQ(GetLastError(), ERROR_IO_PENDING);
    EXPECT_TRUE(api.SetCommMask(device, mask));
    EXPECT_EQ(api.WaitForSingleObject(done, INFINITE), WAIT_OBJECT_0);
  }
  api.CloseHandle(done);
  return events;
}

TEST_F(SerialDeviceTest, TheEventCharacterIsReportedAndDiscardedNullsAreNotReceived) {
  OpenLine();
  DCB dcb = LineOf(9600);
  dcb.EvtChar = '\n';
  dcb.Flags |= DCB_fNull;
  ASSERT_TRUE(api_.SetCommState(device_, &dcb));
  ASSERT_TRUE(api_.SetCommMask(device_, EV_RXCHAR | EV_RXFLAG));
  pty_->Write(std::string("ab\0", 3));
  ASSERT_EQ(WaitForInQueue(2), 2u);
  EXPECT_EQ(EventsRecorded(api_, device_, EV_RXCHAR | EV_RXFLAG), EV_RXCHAR);
  pty_->Write("c\n");
  ASSERT_EQ(WaitForInQueue(4), 4u);
  EXPECT_EQ(EventsRecorded(api_, device_, EV_RXCHAR | EV_RXFLAG), EV_RXCHAR | EV_RXFLAG);
  pty_->Write(std::string(1, '\0'));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(InQueue(), 4u) << "a NUL alone is discarded";
  EXPECT_EQ(EventsRecorded(api_, device_, EV_RXCHAR | EV_RXFLAG), 0u) << "and is no news";
}

TEST_F(SerialDeviceTest, TheInputQueueIsReportedEightyPercentFullAtExactlyEightyPercentOnTheWayUp) {
  OpenLine();
  for (DWORD size : {10u, 20u, 5u}) {
    const DWORD threshold = size * 4 / 5;
    ASSERT_TRUE(api_.SetupComm(device_, size, 16));
    ASSERT_TRUE(api_.PurgeComm(device_, PURGE_RXCLEAR));
    ASSERT_TRUE(api_.SetCommMask(device_, EV_RX80FULL));
    pty_->Write(std::string(threshold - 1, 'x'));
    ASSERT_EQ(WaitForInQueue(threshold - 1), threshold - 1);
    EXPECT_EQ(EventsRecorded(api_, device_, EV_RX80FULL), 0u) << "one byte short of 80 % of " << size;
    pty_->Write("x");
    ASSERT_EQ(WaitForInQueue(threshold), threshold);
    EXPECT_EQ(EventsRecorded(api_, device_, EV_RX80FULL), EV_RX80FULL) << "80 % of " << size;
    pty_->Write("x");
    ASSERT_EQ(WaitForInQueue(threshold + 1), threshold + 1);
    EXPECT_EQ(EventsRecorded(api_, device_, EV_RX80FULL), 0u) << "still above 80 % of " << size << " is no news";
  }
  // Emptied, the queue reports it again; one arrival that jumps past the mark counts too.
  ASSERT_TRUE(api_.PurgeComm(device_, PURGE_RXCLEAR));
  pty_->Write(std::string(5, 'y'));
  ASSERT_EQ(WaitForInQueue(5), 5u);
  EXPECT_EQ(EventsRecorded(api_, device_, EV_RX80FULL), EV_RX80FULL);
}

TEST_F(SerialDeviceTest, AHungUpLineFailsWritesAndQueriesButStillPurgesAndCloses) {
  OpenLine();
  pty_->CloseMaster();
  DWORD written = 0;
  EXPECT_FALSE(api_.WriteFile(device_, "x", 1, &written, &overlapped_));
  EXPECT_EQ(GetLastError(), ERROR_GEN_FAILURE);
  EXPECT_EQ(api_.WaitForSingleObject(event_, 0), WAIT_OBJECT_0) << "a failed start leaves nothing to wait for";
  COMSTAT stat{};
  EXPECT_FALSE(api_.ClearCommError(device_, nullptr, &stat));
  EXPECT_EQ(GetLastError(), ERROR_GEN_FAILURE);
  EXPECT_TRUE(api_.PurgeComm(device_, PURGE_TXABORT | PURGE_RXABORT));
}

TEST_F(SerialDeviceTest, HangingUpFailsTheWriteThatIsWaiting) {
  OpenLine();
  ASSERT_TRUE(StartWrite(std::string(256 * 1024, 'f')));
  pty_->CloseMaster();
  EXPECT_EQ(Finish(), -1);
  EXPECT_EQ(GetLastError(), ERROR_GEN_FAILURE);
}

TEST_F(SerialDeviceTest, NoModemLinesOnAPseudoTerminalReadAsAllOff) {
  OpenLine();
  DWORD status = 0xFF;
  ASSERT_TRUE(api_.GetCommModemStatus(device_, &status));
  EXPECT_EQ(status, 0u);
  DCB dcb = LineOf(9600);
  dcb.Flags |= (DTR_CONTROL_ENABLE << DCB_fDtrControlShift) | (RTS_CONTROL_ENABLE << DCB_fRtsControlShift);
  EXPECT_TRUE(api_.SetCommState(device_, &dcb));
}

TEST_F(SerialDeviceTest, ASecondOpenOfAnOpenDeviceIsDeniedUntilTheFirstCloses) {
  OpenLine();
  EXPECT_EQ(Open(pty_->DevicePath()), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  ASSERT_TRUE(api_.CloseHandle(device_));
  device_ = Open(pty_->DevicePath());
  EXPECT_NE(device_, INVALID_HANDLE_VALUE);
}

TEST_F(SerialDeviceTest, OnlyTerminalsOpenAsPorts) {
  const fs::path folder = fs::temp_directory_path() / ("not-ports-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const std::string fifo = (folder / "fifo").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  { std::ofstream((folder / "file").string()) << "x"; }
  for (const std::string& path : {fifo, (folder / "file").string(), folder.string(), std::string("/dev/null"),
                                 std::string("/dev/does-not-exist")}) {
    EXPECT_EQ(Open(path), INVALID_HANDLE_VALUE) << path;
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND) << path;
  }
  fs::remove_all(folder);
}

TEST_F(SerialDeviceTest, AComAliasInTheConfigurationFolderOpensItsDevice) {
  pty_ = std::make_unique<PseudoTerminal>();
  const fs::path config = fs::temp_directory_path() / ("config-" + std::to_string(getpid()));
  fs::create_directories(config / "quorvel" / "ports");
  fs::create_symlink(pty_->DevicePath(), config / "quorvel" / "ports" / "com7");
  const char* saved = getenv("XDG_CONFIG_HOME");
  const std::string savedValue = saved ? saved : "";
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  device_ = Open("COM7");
  if (saved) setenv("XDG_CONFIG_HOME", savedValue.c_str(), 1); else unsetenv("XDG_CONFIG_HOME");
  fs::remove_all(config);
  ASSERT_NE(device_, INVALID_HANDLE_VALUE) << GetLastError();
}

}  // namespace
