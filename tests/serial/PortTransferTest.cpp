// Writes and device queries over the fake.
#include <functional>
#include <string>
#include <vector>

#include "tests/serial/SerialTestSupport.h"

namespace {

using namespace platform;

class PortTransferTest : public OpenPortTest {
 protected:
  void SetUp() override {
    OpenPortTest::SetUp();
    handlesWhenOpen = fake->OpenHandles();
  }
  std::size_t handlesWhenOpen = 0;
};

TEST_F(PortTransferTest, WriteTextSendsTheBytesOnARecordOfItsOwn) {
  const std::string bytes("\xFE\x47\x00\x0A", 4);
  EXPECT_EQ(port.WriteText(bytes), 4);
  EXPECT_EQ(port.WriteText("abc"), 3);
  EXPECT_EQ(fake->Writes(), (std::vector<std::string>{bytes, "abc"}));
  EXPECT_EQ(fake->CountOf("CreateEventA"), 2u) << "one event per write, nothing pooled";
  EXPECT_EQ(fake->CountOf("CloseHandle"), 2u);
  EXPECT_EQ(fake->OpenHandles(), handlesWhenOpen);
}

TEST_F(PortTransferTest, AnEmptyTextSendsNothingAndAsksNothing) {
  EXPECT_EQ(port.WriteText(""), 0);
  EXPECT_EQ(fake->CountOf("WriteFile"), 0u);
  EXPECT_EQ(fake->CountOf("ClearCommError"), 0u);
  EXPECT_EQ(fake->OpenHandles(), handlesWhenOpen);
  PPortTransfer none = nullptr;
  EXPECT_EQ(port.StartWriteText("", none), 0) << "the record is not even looked at";
}

TEST_F(PortTransferTest, AStartReportsWhatIsDoneSoFarAndTheWaitTheWholeCount) {
  PPortTransfer transfer = nullptr;
  TCustomComPort::NewPortTransfer(transfer);
  const std::string text = "abcdef";
  EXPECT_EQ(port.StartWriteText(text, transfer), 6) << "finished at once";
  EXPECT_EQ(port.WaitForTransfer(transfer), 6);
  fake->SetWriteMode(fake::WriteMode::Pending);
  EXPECT_EQ(port.StartWrite(text.data(), 4, transfer), 0) << "still running";
  EXPECT_EQ(port.WaitForTransfer(transfer), 4);
  TCustomComPort::DisposePortTransfer(transfer);
  EXPECT_EQ(transfer, nullptr);
  EXPECT_EQ(fake->OpenHandles(), handlesWhenOpen);
}

TEST_F(PortTransferTest, AWriteCutShortByItsTimeOutReturnsTheBytesSent) {
  fake->SetWriteMode(fake::WriteMode::Pending);
  fake->SetShortWrite(3);
  EXPECT_EQ(port.WriteText("abcdef"), 3);
  fake->SetShortWrite(0);
  EXPECT_EQ(port.WriteText("abcdef"), 0);
}

TEST_F(PortTransferTest, NoRecordIsAnInvalidAsyncParameter) {
  PPortTransfer none = nullptr;
  EComPort e = RaisedBy([&] { port.StartWrite("x", 1, none); });
  EXPECT_EQ(e.ErrorNumber(), 4);
  EXPECT_EQ(e.WinErrorCode(), -1);
  EXPECT_STREQ(e.what(), "Invalid Async parameter");
  EXPECT_EQ(RaisedBy([&] { port.StartWriteText("x", none); }).ErrorNumber(), 4);
  EXPECT_EQ(RaisedBy([&] { port.WaitForTransfer(none); }).ErrorNumber(), 4);
  EXPECT_EQ(fake->CountOf("WriteFile"), 0u);
}

TEST_F(PortTransferTest, AFailedStartOrWaitRaisesNumberTwoWithTheSystemCode) {
  const struct {
    const char* how;
    std::function<void()> arrange;
    int code;
  } cases[] = {
      {"start", [&] { fake->FailNext("WriteFile", ERROR_GEN_FAILURE); }, 31},
      {"wait",
       [&] {
         fake->SetWriteMode(fake::WriteMode::Pending);
         fake->FailNext("WaitForSingleObject", ERROR_INVALID_HANDLE);
       },
       6},
      {"result", [&] { fake->FailNext("GetOverlappedResult", ERROR_GEN_FAILURE); }, 31},
      {"aborted",
       [&] {
         fake->SetWriteMode(fake::WriteMode::Pending);
         fake->SetWriteCompletionError(ERROR_OPERATION_ABORTED);
       },
       995},
  };
  for (const auto& c : cases) {
    c.arrange();
    EComPort e = RaisedBy([&] { port.WriteText("x"); });
    EXPECT_EQ(e.ErrorNumber(), 2) << c.how;
    EXPECT_EQ(e.Message(), "WriteFile function failed (win error code: " + std::to_string(c.code) + ")") << c.how;
    EXPECT_EQ(fake->OpenHandles(), handlesWhenOpen) << "the record goes with the exception: " << c.how;
    fake->SetWriteMode(fake::WriteMode::Immediate);
    fake->SetWriteCompletionError(ERROR_SUCCESS);
  }
}

TEST_F(PortTransferTest, AFailedWaitAbortsAWriteThatMayStillRunBeforeItsRecordGoes) {
  fake->SetWriteMode(fake::WriteMode::Hang);
  fake->FailNext("WaitForSingleObject", ERROR_INVALID_HANDLE);
  EComPort e = RaisedBy([&] { port.WriteText("stuck"); });
  EXPECT_EQ(e.ErrorNumber(), 2);
  EXPECT_EQ(e.WinErrorCode(), 6);
  EXPECT_EQ(fake->Purges(), std::vector<DWORD>{PURGE_TXABORT});
  EXPECT_EQ(fake->HangingWrites(), 0u);
  EXPECT_EQ(fake->OpenHandles(), handlesWhenOpen);
}

TEST_F(PortTransferTest, UnsafeRequestsAreRefusedBeforeTheDevice) {
  PPortTransfer transfer = nullptr;
  TCustomComPort::NewPortTransfer(transfer);
  EComPort e = RaisedBy([&] { port.StartWrite("x", -1, transfer); });
  EXPECT_EQ(e.ErrorNumber(), 2);
  EXPECT_EQ(e.WinErrorCode(), 87);
  TCustomComPort::DisposePortTransfer(transfer);

  // A record without its event could never be waited for.
  fake->FailNext("CreateEventA", ERROR_NOT_ENOUGH_MEMORY);
  TCustomComPort::NewPortTransfer(transfer);
  EXPECT_EQ(RaisedBy([&] { port.StartWrite("x", 1, transfer); }).ErrorNumber(), 4);
  TCustomComPort::DisposePortTransfer(transfer);
  fake->FailNext("CreateEventA", ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(RaisedBy([&] { port.WriteText("x"); }).ErrorNumber(), 4);
  fake->FailNext("CreateEventA", ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(port.WriteText(""), 0) << "an empty text still sends nothing and succeeds";
  EXPECT_EQ(fake->CountOf("WriteFile"), 0u);
  EXPECT_EQ(fake->OpenHandles(), handlesWhenOpen);
}

TEST_F(PortTransferTest, ModemSignalsMapTheStatusBits) {
  const std::pair<DWORD, TModemSignals> cases[] = {
      {0x30, {msCTS, msDSR}}, {0x90, {msCTS, msRLSD}}, {0x40, {msRing}},
      {0x00, {}},             {0x0F, {}},              {0xF0, {msCTS, msDSR, msRing, msRLSD}},
  };
  for (auto [status, signals] : cases) {
    fake->SetModemStatus(status);
    EXPECT_EQ(port.ModemSignals().ToBits(), signals.ToBits()) << std::hex << status;
  }
  fake->FailNext("GetCommModemStatus", ERROR_GEN_FAILURE);
  EComPort e = RaisedBy([&] { port.ModemSignals(); });
  EXPECT_EQ(e.ErrorNumber(), 11);
  EXPECT_STREQ(e.what(), "GetCommModemStatus function failed (win error code: 31)");
}

TEST_F(PortTransferTest, LineErrorsMapTheErrorFlagsAndParityNeedsChecking) {
  struct Case {
    DWORD flags;
    bool check;
    TComErrors errors;
  };
  const Case cases[] = {
      {0x000C, false, {ceFrame}},
      {0x000C, true, {ceFrame, ceRxParity}},
      {0x8401, false, {ceMode, ceIO, ceRxOver}},
      {CE_OVERRUN | CE_BREAK | CE_TXFULL, false, {ceOverrun, ceBreak, ceTxFull}},
      {0x7A00, true, {}},  // flags with no element
      // Each flag alone gives its own element and no other.
      {CE_FRAME, true, {ceFrame}},     {CE_RXPARITY, true, {ceRxParity}}, {CE_OVERRUN, true, {ceOverrun}},
      {CE_BREAK, true, {ceBreak}},     {CE_IOE, true, {ceIO}},            {CE_MODE, true, {ceMode}},
      {CE_RXOVER, true, {ceRxOver}},   {CE_TXFULL, true, {ceTxFull}},
  };
  for (const Case& c : cases) {
    port.Parity()->SetCheck(c.check);
    fake->SetErrorFlags(c.flags);
    EXPECT_EQ(port.LineErrors().ToBits(), c.errors.ToBits()) << std::hex << c.flags << " check " << c.check;
  }
}

TEST_F(PortTransferTest, InQueueCountIsTheInputQueuesFill) {
  EXPECT_EQ(port.InQueueCount(), 0);
  fake->SetInQueue(5);
  EXPECT_EQ(port.InQueueCount(), 5);
  fake->FailNext("ClearCommError", ERROR_GEN_FAILURE);
  EComPort e = RaisedBy([&] { port.InQueueCount(); });
  EXPECT_EQ(e.ErrorNumber(), 10);
  EXPECT_EQ(e.WinErrorCode(), 31);
  fake->FailNext("ClearCommError", ERROR_GEN_FAILURE);
  EXPECT_EQ(RaisedBy([&] { port.LineErrors(); }).ErrorNumber(), 10);
}

TEST(ClosedPortTransferTest, TransfersAndQueriesFailWithTheirOwnNumbers) {
  fake::ScopedFakePlatform fake;
  TComPort port(nullptr);
  EXPECT_EQ(RaisedBy([&] { port.WriteText("x"); }).ErrorNumber(), 2);
  EXPECT_EQ(RaisedBy([&] { port.InQueueCount(); }).ErrorNumber(), 10);
  EXPECT_EQ(RaisedBy([&] { port.LineErrors(); }).ErrorNumber(), 10);
  EXPECT_EQ(RaisedBy([&] { port.ModemSignals(); }).ErrorNumber(), 11);
  EXPECT_EQ(fake->OpenHandles(), 0u);
}

}  // namespace
