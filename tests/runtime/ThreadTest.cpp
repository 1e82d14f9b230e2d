#include "runtime/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "runtime/MainThread.h"
#include "tests/support/Worker.h"

namespace {

TEST(ThreadTest, ABodyRunsOnlyAfterResume) {
  std::atomic<bool> ran{false};
  {
    Worker never([&](Worker&) { ran = true; });
  }
  EXPECT_FALSE(ran) << "a thread freed before Resume never runs its body";
  Worker once([&](Worker&) { ran = true; });
  once.Resume();
  once.WaitFor();
  EXPECT_TRUE(ran);
  EXPECT_TRUE(once.Finished());
}

TEST(ThreadTest, SynchronizeRunsOnTheMainThreadWhileTheWorkerWaits) {
  std::thread::id ranOn;
  Worker worker([&](Worker& self) { self.Synchronize([&] { ranOn = std::this_thread::get_id(); }); });
  worker.Resume();
  worker.WaitFor();  // serves the main-thread queue meanwhile
  EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(ThreadTest, AnExceptionInSynchronizeReachesTheWorkerAndEndingTheBodyKeepsIt) {
  Worker worker([](Worker& self) { self.Synchronize([] { throw std::runtime_error("handler failed"); }); });
  worker.Resume();
  worker.WaitFor();
  ASSERT_TRUE(worker.FatalException());
  EXPECT_THROW(std::rethrow_exception(worker.FatalException()), std::runtime_error);
}

TEST(ThreadTest, TheQueueIsServedThroughItsWakeHandleAndCheckSynchronize) {
  std::atomic<bool> handedOver{false};
  Worker worker([&](Worker& self) { self.Synchronize([&] { handedOver = true; }); });
  worker.Resume();
  // What a host's event loop does: nothing until work is announced.
  while (!CheckSynchronize(1000)) {
  }
  EXPECT_TRUE(handedOver);
  worker.WaitFor();
  EXPECT_FALSE(platform::PollHandleSignalled(TMainThreadQueue::Instance().WakeHandle(), 0))
      << "an empty queue must not look busy to the host's loop";
}

}  // namespace
