#include "tests/realdrivers/harness/HostEnd.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

namespace {

using namespace realdrivers;

class HostEndTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets_), 0); }
  void TearDown() override {
    if (sockets_[1] >= 0) close(sockets_[1]);
  }
  // What QEMU's side of the socket sends and receives.
  void ModelSends(const std::string& bytes) {
    ASSERT_EQ(write(sockets_[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  std::string ModelReceives() {
    char buffer[256];
    const ssize_t n = recv(sockets_[1], buffer, sizeof buffer, MSG_DONTWAIT);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
  }
  int sockets_[2] = {-1, -1};
};

TEST_F(HostEndTest, ReceivedBytesAreKeptUntilTakenOrSkipped) {
  HostEnd end("pci", sockets_[0], false);
  ModelSends("\xFE\xC0\x0C" "abc\r\nrest");
  EXPECT_TRUE(end.Serve(POLLIN));
  EXPECT_EQ(end.Received(), 12u);
  EXPECT_EQ(end.Take(3), "\xFE\xC0\x0C");
  EXPECT_EQ(end.TakeLine(), "abc");
  EXPECT_FALSE(end.TakeLine()) << "no line end yet";
  EXPECT_EQ(end.Take(100), "rest");
  ModelSends("more");
  end.Serve(POLLIN);
  end.Skip();
  EXPECT_EQ(end.Received(), 0u);
}

TEST_F(HostEndTest, AHeldEndReadsNothingUntilReleased) {
  HostEnd end("uart", sockets_[0], false);
  end.Hold(true);
  EXPECT_EQ(end.PollEvents() & POLLIN, 0);
  ModelSends("x");
  end.Serve(POLLIN);
  EXPECT_EQ(end.Received(), 0u);
  end.Hold(false);
  end.Serve(POLLIN);
  EXPECT_EQ(end.Take(1), "x");
}

TEST_F(HostEndTest, ATelnetEndDropsTheGreetingEscapesWhatItSendsAndSendsBreaks) {
  HostEnd end("uart", sockets_[0], true);
  ModelSends(std::string("\xFF\xFB\x01\xFF\xFD\x00\xFF\x01", 8));
  end.Serve(POLLIN);
  EXPECT_EQ(end.Take(10), "\xFF\x01");
  end.Send(std::string("\xFF\x00", 2));
  EXPECT_TRUE(end.SendBreak());
  EXPECT_TRUE(end.AllSent());
  EXPECT_EQ(ModelReceives(), std::string("\xFF\xFF\x00\xFF\xF3", 5));
  HostEnd plain("pci", dup(sockets_[1]), false);
  EXPECT_FALSE(plain.SendBreak());
}

TEST_F(HostEndTest, TheEndOfTheModelsSideIsReported) {
  HostEnd end("usb", sockets_[0], false);
  ModelSends("last");
  close(sockets_[1]);
  sockets_[1] = -1;
  EXPECT_FALSE(end.Serve(POLLIN | POLLHUP));
  EXPECT_EQ(end.Take(4), "last") << "what came before the end is kept";
  EXPECT_EQ(end.PollEvents(), 0);
}

}  // namespace
