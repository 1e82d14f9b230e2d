// The tables where the Windows view of a line meets the kernel's: a DCB as termios flags, the
// modem lines as MS_* bits, the driver's counters as CE_* errors and EV_* events. Each entry is
// checked both ways: its own bits appear when it is set, and nothing else moves.
#include <gtest/gtest.h>
#include <linux/serial.h>
#include <sys/ioctl.h>

#include <optional>

#include "platform/posix/DcbTermios.h"
#include "platform/posix/TtyDriverSeam.h"
#include "platform/posix/TtyIoctls.h"

namespace {

using namespace platform;
using namespace platform::posix;

DCB PlainLine() {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  dcb.BaudRate = 9600;
  dcb.Flags = DCB_fBinary;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.XonChar = 0x11;
  dcb.XoffChar = 0x13;
  return dcb;
}

// A tty as a fresh open leaves it: cooked, with its own line discipline and control characters.
struct termios2 CookedTty() {
  struct termios2 tio {};
  tio.c_iflag = ICRNL | IXON | IGNBRK;
  tio.c_oflag = OPOST | ONLCR;
  tio.c_lflag = ICANON | ECHO | ISIG;
  tio.c_cflag = B9600 | CS7 | PARENB;
  tio.c_line = 3;
  tio.c_cc[VINTR] = 0x03;
  tio.c_cc[VEOF] = 0x04;
  return tio;
}

TEST(DcbTermiosTest, APlainLineIsRawAtItsSpeedAndKeepsWhatTheDcbDoesNotName) {
  const struct termios2 tio = TermiosForDcb(PlainLine(), CookedTty());
  EXPECT_EQ(tio.c_iflag, tcflag_t{PARMRK});
  EXPECT_EQ(tio.c_oflag, 0u);
  EXPECT_EQ(tio.c_lflag, 0u);
  EXPECT_EQ(tio.c_cflag, tcflag_t{CREAD | CLOCAL | HUPCL | BOTHER | CS8});
  EXPECT_EQ(tio.c_ispeed, 9600u);
  EXPECT_EQ(tio.c_ospeed, 9600u);
  EXPECT_EQ(tio.c_cc[VMIN], 1);
  EXPECT_EQ(tio.c_cc[VTIME], 0);
  EXPECT_EQ(tio.c_cc[VSTART], 0x11);
  EXPECT_EQ(tio.c_cc[VSTOP], 0x13);
  EXPECT_EQ(tio.c_line, 3);
  EXPECT_EQ(tio.c_cc[VINTR], 0x03);
  EXPECT_EQ(tio.c_cc[VEOF], 0x04);
}

TEST(DcbTermiosTest, EachFlagOfTheDcbSetsItsOwnBitsAndNoOthers) {
  struct Case {
    DWORD flags;
    tcflag_t iflag, cflag;
  };
  const Case cases[] = {
      {DCB_fParity, INPCK, 0},
      {DCB_fOutxCtsFlow, 0, CRTSCTS},
      {DCB_fOutX, IXON, 0},
      {DCB_fInX, IXOFF, 0},
      {RTS_CONTROL_HANDSHAKE << DCB_fRtsControlShift, 0, CRTSCTS},
      // What termios has no flag for is handled by the device or refused before it.
      {DCB_fOutxDsrFlow, 0, 0},
      {DCB_fDsrSensitivity, 0, 0},
      {DCB_fTXContinueOnXoff, 0, 0},
      {DCB_fErrorChar, 0, 0},
      {DCB_fNull, 0, 0},
      {DCB_fAbortOnError, 0, 0},
      {DTR_CONTROL_ENABLE << DCB_fDtrControlShift, 0, 0},
      {DTR_CONTROL_HANDSHAKE << DCB_fDtrControlShift, 0, 0},
      {RTS_CONTROL_ENABLE << DCB_fRtsControlShift, 0, 0},
      {RTS_CONTROL_TOGGLE << DCB_fRtsControlShift, 0, 0},
  };
  const struct termios2 plain = TermiosForDcb(PlainLine(), {});
  for (const Case& c : cases) {
    DCB dcb = PlainLine();
    dcb.Flags |= c.flags;
    const struct termios2 tio = TermiosForDcb(dcb, {});
    EXPECT_EQ(tio.c_iflag, plain.c_iflag | c.iflag) << std::hex << c.flags;
    EXPECT_EQ(tio.c_cflag, plain.c_cflag | c.cflag) << std::hex << c.flags;
    EXPECT_EQ(tio.c_oflag | tio.c_lflag, 0u) << std::hex << c.flags;
  }
}

TEST(DcbTermiosTest, FramingBecomesExactlyItsControlFlags) {
  auto framing = [](BYTE size, BYTE parity, BYTE stop) {
    DCB dcb = PlainLine();
    dcb.ByteSize = size;
    dcb.Parity = parity;
    dcb.StopBits = stop;
    return TermiosForDcb(dcb, {}).c_cflag & FramingFlags;
  };
  EXPECT_EQ(framing(8, NOPARITY, ONESTOPBIT), tcflag_t{CS8});
  EXPECT_EQ(framing(8, ODDPARITY, ONESTOPBIT), tcflag_t{CS8 | PARENB | PARODD});
  EXPECT_EQ(framing(8, EVENPARITY, ONESTOPBIT), tcflag_t{CS8 | PARENB});
  EXPECT_EQ(framing(8, MARKPARITY, ONESTOPBIT), tcflag_t{CS8 | PARENB | CMSPAR | PARODD});
  EXPECT_EQ(framing(8, SPACEPARITY, ONESTOPBIT), tcflag_t{CS8 | PARENB | CMSPAR});
  EXPECT_EQ(framing(7, NOPARITY, ONESTOPBIT), tcflag_t{CS7});
  EXPECT_EQ(framing(6, NOPARITY, ONESTOPBIT), tcflag_t{CS6});
  EXPECT_EQ(framing(5, NOPARITY, ONE5STOPBITS), tcflag_t{CS5 | CSTOPB});
  EXPECT_EQ(framing(8, NOPARITY, TWOSTOPBITS), tcflag_t{CS8 | CSTOPB});
  for (DWORD rate : {110u, 31250u, 250000u, 3000000u}) {
    DCB dcb = PlainLine();
    dcb.BaudRate = rate;
    const struct termios2 tio = TermiosForDcb(dcb, {});
    EXPECT_EQ(tio.c_ospeed, rate);
    EXPECT_EQ(tio.c_ispeed, rate);
    EXPECT_EQ(tio.c_cflag & CBAUD, tcflag_t{BOTHER}) << "a rate is always given as a number";
  }
}

TEST(ModemStatusTest, EachKernelLineBecomesItsOwnStatusBitAndNoOther) {
  const struct {
    int line;
    DWORD status;
  } lines[] = {{TIOCM_CTS, MS_CTS_ON}, {TIOCM_DSR, MS_DSR_ON}, {TIOCM_RNG, MS_RING_ON}, {TIOCM_CAR, MS_RLSD_ON}};
  int inputs = 0;
  for (const auto& l : lines) {
    EXPECT_EQ(ModemStatusFromLines(l.line), l.status) << std::hex << l.line;
    EXPECT_EQ(ModemStatusFromLines(~l.line & 0xFFFF), (MS_CTS_ON | MS_DSR_ON | MS_RING_ON | MS_RLSD_ON) & ~l.status)
        << std::hex << l.line;
    inputs |= l.line;
  }
  // The lines this end drives (DTR, RTS, OUT1/2, loop) are not modem status.
  for (int bit = 0; bit < 16; ++bit) {
    if ((1 << bit) & inputs) continue;
    EXPECT_EQ(ModemStatusFromLines(1 << bit), 0u) << bit;
  }
}

// Answers TIOCGICOUNT for every descriptor with the counts given.
class CountingDriver : public TtyDriver {
 public:
  explicit CountingDriver(const serial_icounter_struct& counts) : counts_(counts) {}
  std::optional<int> Ioctl(int, unsigned long request, void* argument) override {
    if (request != TIOCGICOUNT) return std::nullopt;
    *static_cast<serial_icounter_struct*>(argument) = counts_;
    return 0;
  }

 private:
  const serial_icounter_struct counts_;
};

TEST(LineCountersTest, EachCounterOfTheDriverIsReadIntoItsOwnField) {
  serial_icounter_struct counts{};
  counts.cts = 1;
  counts.dsr = 2;
  counts.rng = 3;
  counts.dcd = 4;
  counts.frame = 5;
  counts.overrun = 6;
  counts.parity = 7;
  counts.brk = 8;
  counts.buf_overrun = 20;  // the driver's own buffer overflowing is an overrun too
  InstallTtyDriver(std::make_shared<CountingDriver>(counts));
  LineCounters read;
  const bool answered = ReadLineCounters(-1, read);
  InstallTtyDriver(nullptr);
  ASSERT_TRUE(answered);
  EXPECT_EQ(read.cts, 1u);
  EXPECT_EQ(read.dsr, 2u);
  EXPECT_EQ(read.rng, 3u);
  EXPECT_EQ(read.dcd, 4u);
  EXPECT_EQ(read.frame, 5u);
  EXPECT_EQ(read.overrun, 26u);
  EXPECT_EQ(read.parity, 7u);
  EXPECT_EQ(read.brk, 8u);
}

TEST(LineCountersTest, EachCounterThatMovedRaisesItsOwnErrorOrEventAndNoOther) {
  const struct {
    unsigned LineCounters::*counter;
    DWORD error, event;
  } cases[] = {
      {&LineCounters::cts, 0, EV_CTS},          {&LineCounters::dsr, 0, EV_DSR},
      {&LineCounters::rng, 0, EV_RING},         {&LineCounters::dcd, 0, EV_RLSD},
      {&LineCounters::frame, CE_FRAME, 0},      {&LineCounters::overrun, CE_OVERRUN, 0},
      {&LineCounters::parity, CE_RXPARITY, 0},  {&LineCounters::brk, CE_BREAK, 0},
  };
  const LineCounters before;
  EXPECT_EQ(ErrorFlagsBetween(before, before), 0u);
  EXPECT_EQ(ModemEventsBetween(before, before), 0u);
  for (const auto& c : cases) {
    LineCounters after = before;
    after.*c.counter += 3;
    EXPECT_EQ(ErrorFlagsBetween(before, after), c.error) << c.error << "/" << c.event;
    EXPECT_EQ(ModemEventsBetween(before, after), c.event) << c.error << "/" << c.event;
  }
}

}  // namespace
