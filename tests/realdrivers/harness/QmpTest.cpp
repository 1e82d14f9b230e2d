#include "tests/realdrivers/harness/Qmp.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace {

using namespace realdrivers;

TEST(QmpTest, TextFieldsAreFoundWhereverTheyStand) {
  const std::string event =
      R"({"timestamp": {"seconds": 1, "microseconds": 2}, "event": "DEVICE_DELETED", "data": {"device": "ftdi", "path": "/machine/peripheral/ftdi"}})";
  EXPECT_EQ(JsonText(event, "event"), "DEVICE_DELETED");
  EXPECT_EQ(JsonText(event, "device"), "ftdi");
  EXPECT_EQ(JsonText(R"({"error": {"class": "GenericError", "desc": "Property 'usb-serial.chardev' can't take value 'usb', it's in use"}})",
                     "desc"),
            "Property 'usb-serial.chardev' can't take value 'usb', it's in use");
  EXPECT_EQ(JsonText(R"({"desc": "a \"quoted\" word"})", "desc"), "a \"quoted\" word");
  EXPECT_FALSE(JsonText(R"({"event": 3})", "event"));
  EXPECT_FALSE(JsonText(R"({"other": "x"})", "event"));
  EXPECT_FALSE(JsonText(R"({"desc": "never ends)", "desc"));
}

TEST(QmpTest, AnswersGoToTheirCommandsInOrderAndEventsToTheHandler) {
  int sockets[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets), 0);
  std::vector<std::string> events;
  Qmp qmp(sockets[0], [&](const std::string& event, const std::string&) { events.push_back(event); });
  std::vector<std::string> answers;
  qmp.Execute(R"({"execute":"device_del"})", [&](const std::string& error) { answers.push_back("del:" + error); });
  qmp.Execute(R"({"execute":"device_add"})", [&](const std::string& error) { answers.push_back("add:" + error); });
  const std::string machine =
      "{\"QMP\": {\"version\": {}}}\r\n{\"return\": {}}\r\n{\"return\": {}}\r\n"
      "{\"event\": \"DEVICE_DELETED\", \"data\": {\"device\": \"ftdi\"}}\r\n"
      "{\"error\": {\"class\": \"GenericError\", \"desc\": \"in use\"}}\r\n";
  ASSERT_EQ(write(sockets[1], machine.data(), machine.size()), static_cast<ssize_t>(machine.size()));
  qmp.End().Serve(POLLIN);
  qmp.Dispatch();
  EXPECT_EQ(answers, (std::vector<std::string>{"del:", "add:in use"})) << "the first return answers qmp_capabilities";
  EXPECT_EQ(events, std::vector<std::string>{"DEVICE_DELETED"});
  char sent[256] = {};
  const ssize_t n = read(sockets[1], sent, sizeof sent - 1);
  ASSERT_GT(n, 0);
  EXPECT_EQ(std::string(sent, static_cast<std::size_t>(n)),
            "{\"execute\":\"qmp_capabilities\"}\n{\"execute\":\"device_del\"}\n{\"execute\":\"device_add\"}\n");
  close(sockets[1]);
}

}  // namespace
