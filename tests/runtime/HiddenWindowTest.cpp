#include "runtime/HiddenWindow.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "runtime/MainThread.h"

namespace {

TEST(HiddenWindowTest, ASendFromTheMainThreadCallsTheMethodDirectly) {
  bool inSend = true;
  HWND wnd = AllocateHWnd([&](TMessage& m) {
    inSend = InSendMessage();
    m.Result = static_cast<platform::LRESULT>(m.WParam * 2);
  });
  EXPECT_EQ(SendMessageA(wnd, WM_USER + 1, 21, 0), 42);
  EXPECT_FALSE(inSend);
  DeallocateHWnd(wnd);
}

TEST(HiddenWindowTest, ACrossThreadSendRunsOnTheMainThreadAndReplyReleasesTheSenderEarly) {
  std::atomic<bool> senderReleased{false};
  std::atomic<bool> handlerDone{false};
  std::thread::id ranOn;
  HWND wnd = AllocateHWnd([&](TMessage& m) {
    ranOn = std::this_thread::get_id();
    EXPECT_TRUE(InSendMessage());
    EXPECT_TRUE(ReplyMessage(7));
    EXPECT_FALSE(ReplyMessage(8)) << "a sender is released once";
    // The sender goes on while the handler still runs.
    while (!senderReleased) std::this_thread::yield();
    m.Result = 9;
    handlerDone = true;
  });
  platform::LRESULT result = 0;
  std::thread sender([&] {
    result = SendMessageA(wnd, WM_USER + 1, 0, 0);
    senderReleased = true;
  });
  TMainThreadQueue::Instance().ServeUntil([&] { return handlerDone.load(); });
  sender.join();
  EXPECT_EQ(result, 7);
  EXPECT_EQ(ranOn, std::this_thread::get_id());
  DeallocateHWnd(wnd);
}

TEST(HiddenWindowTest, AMessageToAWindowThatWentIsAnsweredWithZero) {
  HWND wnd = AllocateHWnd([](TMessage& m) { m.Result = 5; });
  DeallocateHWnd(wnd);
  platform::LRESULT result = -1;
  std::atomic<bool> done{false};
  std::thread sender([&] {
    result = SendMessageA(wnd, WM_USER + 1, 0, 0);
    done = true;
    TMainThreadQueue::Instance().Notify();
  });
  TMainThreadQueue::Instance().ServeUntil([&] { return done.load(); });
  sender.join();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(DefWindowProcA(wnd, 1, 2, 3), 0);
}

}  // namespace
