// Writes, device queries and the error table, over the recording fake platform.
#include <gtest/gtest.h>

#include <string>

#include "serial/CPort.h"
#include "tests/support/FakePlatform.h"

namespace {

using namespace platform;

class TransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    port.SetEvents({});  // no event thread: every platform call here is the test's own
    port.OpenPort();
    fake->ClearCalls();
    handlesWhenOpen = fake->OpenHandles();
  }
  template <class F>
  EComPort Raised(F f) {
    try {
      f();
    } catch (const EComPort& e) {
      return e;
    }
    ADD_FAILURE() << "nothing raised";
    return EComPort(0);
  }

  fake::ScopedFakePlatform fake;
  TComPort port{nullptr};
  std::size_t handlesWhenOpen = 0;
};

TEST_F(TransferTest, WriteTextWritesOnceWithARecordOfItsOwn) {
  EXPECT_EQ(port.WriteText("hello"), 5);
  EXPECT_EQ(fake->Writes(), std::vector<std::string>{"hello"});
  EXPECT_EQ(fake->CountOf("CreateEventA"), 1u);
  EXPECT_EQ(fake->OpenHandles(), handlesWhenOpen) << "the record's event is closed again";
}

TEST_F(TransferTest, AnEmptyTextTouchesNoDevice) {
  EXPECT_EQ(port.WriteText(""), 0);
  EXPECT_EQ(fake->CountOf("WriteFile"), 0u);
  EXPECT_EQ(fake->CountOf("ClearCommError"), 0u);
  PPortTransfer none = nullptr;
  EXPECT_EQ(port.StartWriteText("", none), 0);
}

TEST_F(TransferTest, ARunningWriteReportsNothingAtTheStartAndTheCountAtTheWait) {
  fake->SetWriteMode(fake::WriteMode::Pending);
  PPortTransfer transfer = nullptr;
  TCustomComPort::NewPortTransfer(transfer);
  const std::string text = "abcdef";
  EXPECT_EQ(port.StartWriteText(text, transfer), 0);
  EXPECT_EQ(port.WaitForTransfer(transfer), 6);
  EXPECT_EQ(port.WaitForTransfer(transfer), 6) << "the record stays finished";
  TCustomComPort::DisposePortTransfer(transfer);
  EXPECT_EQ(transfer, nullptr);
}

TEST_F(TransferTest, AWriteCutShortByItsTimeOutReturnsTheBytesSent) {
  fake->SetWriteMode(fake::WriteMode::Pending);
  fake->SetShortWrite(3);
  EXPECT_EQ(port.WriteText("abcdef"), 3);
}

TEST_F(TransferTest, TransferFailuresRaiseTheirNumbers) {
  PPortTransfer none = nullptr;
  EComPort e = Raised([&] { port.StartWrite("x", 1, none); });
  EXPECT_EQ(e.ErrorNumber(), 4);
  EXPECT_EQ(e.WinErrorCode(), -1);
  EXPECT_STREQ(e.what(), "Invalid Async parameter");
  EXPECT_EQ(Raised([&] { port.WaitForTransfer(none); }).ErrorNumber(), 4);

  fake->FailNext("WriteFile", ERROR_GEN_FAILURE);
  e = Raised([&] { port.WriteText("x"); });
  EXPECT_EQ(e.ErrorNumber(), 2);
  EXPECT_STREQ(e.what(), "WriteFile function failed (win error code: 31)");

  fake->SetWriteMode(fake::WriteMode::Pending);
  fake->SetWriteCompletionError(ERROR_OPERATION_ABORTED);
  e = Raised([&] { port.WriteText("x"); });
  EXPECT_EQ(e.ErrorNumber(), 2);
  EXPECT_EQ(e.WinErrorCode(), 995);
  EXPECT_EQ(fake->OpenHandles(), handlesWhenOpen) << "a failed write frees its record";
}

TEST_F(TransferTest, AFailedWaitAbortsAWriteThatMayStillRunBeforeItsRecordGoes) {
  fake->SetWriteMode(fake::WriteMode::Hang);
  fake->FailNext("WaitForSingleObject", ERROR_INVALID_HANDLE);
  EXPECT_EQ(Raised([&] { port.WriteText("stuck"); }).WinErrorCode(), 6);
  EXPECT_EQ(fake->Purges(), std::vector<DWORD>{PURGE_TXABORT});
  EXPECT_EQ(fake->HangingWrites(), 0u);
  EXPECT_EQ(fake->OpenHandles(), handlesWhenOpen);
}

TEST_F(TransferTest, UnsafeWriteRequestsAreRefusedBeforeTheDevice) {
  PPortTransfer transfer = nullptr;
  TCustomComPort::NewPortTransfer(transfer);
  EComPort e = Raised([&] { port.StartWrite("x", -1, transfer); });
  EXPECT_EQ(e.ErrorNumber(), 2);
  EXPECT_EQ(e.WinErrorCode(), 87);
  TCustomComPort::DisposePortTransfer(transfer);
  fake->FailNext("CreateEventA", ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(Raised([&] { port.WriteText("x"); }).ErrorNumber(), 4) << "a record without its event cannot be waited for";
  EXPECT_EQ(fake->CountOf("WriteFile"), 0u);
}

TEST_F(TransferTest, QueriesMapTheDevicesBits) {
  fake->SetModemStatus(0x30);
  EXPECT_EQ(port.ModemSignals(), (TModemSignals{msCTS, msDSR}));
  fake->SetModemStatus(0x90);
  EXPECT_EQ(port.ModemSignals(), (TModemSignals{msCTS, msRLSD}));
  fake->SetModemStatus(0x40);
  EXPECT_EQ(port.ModemSignals(), (TModemSignals{msRing}));

  fake->SetErrorFlags(0x000C);
  EXPECT_EQ(port.LineErrors(), (TComErrors{ceFrame}));
  port.Parity()->SetCheck(true);
  fake->SetErrorFlags(0x000C);
  EXPECT_EQ(port.LineErrors(), (TComErrors{ceFrame, ceRxParity}));
  fake->SetErrorFlags(0x8401);
  EXPECT_EQ(port.LineErrors(), (TComErrors{ceMode, ceIO, ceRxOver}));
  fake->SetErrorFlags(CE_OVERRUN | CE_BREAK | CE_TXFULL | 0x0200);
  EXPECT_EQ(port.LineErrors(), (TComErrors{ceOverrun, ceBreak, ceTxFull}));

  EXPECT_EQ(port.InQueueCount(), 0);
  fake->SetInQueue(5);
  EXPECT_EQ(port.InQueueCount(), 5);

  fake->FailNext("ClearCommError", ERROR_GEN_FAILURE);
  EXPECT_EQ(Raised([&] { port.InQueueCount(); }).ErrorNumber(), 10);
  fake->FailNext("GetCommModemStatus", ERROR_GEN_FAILURE);
  EComPort e = Raised([&] { port.ModemSignals(); });
  EXPECT_EQ(e.ErrorNumber(), 11);
  EXPECT_STREQ(e.what(), "GetCommModemStatus function failed (win error code: 31)");
}

TEST(ComErrorTest, EveryNumberHasItsTextWithAndWithoutACode) {
  const char* texts[] = {
      "Unable to open com port", "WriteFile function failed", "ReadFile function failed",
      "Invalid Async parameter", "PurgeComm function failed", "Unable to get async status",
      "SetCommState function failed", "SetCommTimeouts failed", "SetupComm function failed",
      "ClearCommError function failed", "GetCommModemStatus function failed",
      "EscapeCommFunction function failed", "TransmitCommChar function failed",
      "Cannot set property while connected", "EnumPorts function failed", "Failed to store settings",
      "Failed to load settings", "Link (un)registration failed", "Cannot change led state if ComPort is selected",
      "Cannot wait for event if event thread is created", "WaitForEvent method failed",
      "A component is linked to OnRxBuf event", "Registry error",
  };
  for (int n = 1; n <= 23; ++n) {
    EXPECT_EQ(EComPort(n).Message(), texts[n - 1]);
    EXPECT_EQ(EComPort(n, -5).Message(), std::string(texts[n - 1]) + " (win error code: -5)");
  }
  EXPECT_EQ(EComPort(99).Message(), "") << "a number outside the table reads nothing";
}

}  // namespace
