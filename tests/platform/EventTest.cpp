// Events, waits and overlapped results of the shared object layer, through a backend.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/Overlapped.h"
#include "tests/support/FakePlatform.h"

namespace {

using namespace platform;

class EventTest : public ::testing::Test {
 protected:
  fake::FakePlatform api;
};

TEST_F(EventTest, ManualResetStaysSignalledAutoResetReleasesOneWait) {
  HANDLE manual = api.CreateEventA(nullptr, TRUE, TRUE, nullptr);
  HANDLE automatic = api.CreateEventA(nullptr, FALSE, TRUE, nullptr);
  EXPECT_EQ(api.WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  EXPECT_EQ(api.WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  EXPECT_EQ(api.WaitForSingleObject(automatic, 0), WAIT_OBJECT_0);
  EXPECT_EQ(api.WaitForSingleObject(automatic, 0), WAIT_TIMEOUT);
  api.ResetEvent(manual);
  EXPECT_EQ(api.WaitForSingleObject(manual, 10), WAIT_TIMEOUT);
  api.CloseHandle(manual);
  api.CloseHandle(automatic);
}

TEST_F(EventTest, WaitForAnyReportsTheLowestSignalledHandle) {
  HANDLE quit = api.CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE work = api.CreateEventA(nullptr, TRUE, TRUE, nullptr);
  const HANDLE both[2] = {quit, work};
  EXPECT_EQ(api.WaitForMultipleObjects(2, both, FALSE, INFINITE), WAIT_OBJECT_0 + 1);
  api.SetEvent(quit);
  EXPECT_EQ(api.WaitForMultipleObjects(2, both, FALSE, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(api.WaitForMultipleObjects(2, both, TRUE, 0), WAIT_OBJECT_0);
  api.ResetEvent(work);
  EXPECT_EQ(api.WaitForMultipleObjects(2, both, TRUE, 0), WAIT_TIMEOUT);
  api.CloseHandle(quit);
  api.CloseHandle(work);
}

TEST_F(EventTest, ABlockedWaitWakesWhenAnotherThreadSets) {
  HANDLE a = api.CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE b = api.CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread setter([&] { api.SetEvent(b); });
  const HANDLE both[2] = {a, b};
  EXPECT_EQ(api.WaitForMultipleObjects(2, both, FALSE, INFINITE), WAIT_OBJECT_0 + 1);
  setter.join();
  api.CloseHandle(a);
  api.CloseHandle(b);
}

TEST_F(EventTest, ClosedAndForeignHandlesAreRefused) {
  HANDLE e = api.CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_EQ(api.CloseHandle(e), TRUE);
  EXPECT_EQ(api.CloseHandle(e), FALSE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(api.SetEvent(e), FALSE);
  EXPECT_EQ(api.WaitForSingleObject(e, 0), WAIT_FAILED);
  EXPECT_EQ(api.WaitForSingleObject(INVALID_HANDLE_VALUE, 0), WAIT_FAILED);
  EXPECT_EQ(api.CreateEventA(nullptr, TRUE, FALSE, "named"), nullptr);
  EXPECT_EQ(api.OpenHandles(), 0u);
}

TEST_F(EventTest, AClosedHandleIsNeverTakenForTheObjectThatReusesItsPlace) {
  HANDLE first = api.CreateEventA(nullptr, TRUE, TRUE, nullptr);
  ASSERT_EQ(api.CloseHandle(first), TRUE);
  std::vector<HANDLE> later;
  for (int i = 0; i < 1000; ++i) {
    later.push_back(api.CreateEventA(nullptr, TRUE, TRUE, nullptr));
    ASSERT_NE(later.back(), first);
    ASSERT_NE(later.back(), nullptr);
    ASSERT_EQ(reinterpret_cast<std::uintptr_t>(later.back()) % 4, 0u);
    EXPECT_EQ(api.WaitForSingleObject(first, 0), WAIT_FAILED);
    if (i % 2) api.CloseHandle(later[i - 1]);  // keeps places coming free and being reused
  }
  EXPECT_EQ(api.SetEvent(first), FALSE);
  EXPECT_EQ(api.WaitForSingleObject(reinterpret_cast<HANDLE>(std::uintptr_t{0x1001}), 0), WAIT_FAILED);
  for (std::size_t i = 1; i < later.size(); i += 2) api.CloseHandle(later[i]);
  EXPECT_EQ(api.OpenHandles(), 0u);
}

TEST_F(EventTest, OverlappedResultIsIncompleteUntilCompletedThenCarriesCountOrError) {
  HANDLE device = api.CreateFileA("\\\\.\\COM1", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OVERLAPPED, nullptr);
  HANDLE event = api.CreateEventA(nullptr, TRUE, TRUE, nullptr);
  OVERLAPPED ov{};
  ov.hEvent = event;
  auto eventObject = api.Handles().FindAs<Event>(event);
  DWORD n = 7;
  EXPECT_EQ(api.GetOverlappedResult(device, &ov, &n, FALSE), TRUE) << "a zeroed record reads as finished";
  EXPECT_EQ(n, 0u);

  BeginOverlapped(&ov, eventObject.get());
  EXPECT_EQ(api.GetOverlappedResult(device, &ov, &n, FALSE), FALSE);
  EXPECT_EQ(GetLastError(), ERROR_IO_INCOMPLETE);
  std::thread completer([&] { CompleteOverlapped(&ov, eventObject.get(), ERROR_SUCCESS, 5); });
  EXPECT_EQ(api.GetOverlappedResult(device, &ov, &n, TRUE), TRUE);
  completer.join();
  EXPECT_EQ(n, 5u);

  CompleteOverlapped(&ov, eventObject.get(), ERROR_OPERATION_ABORTED, 2);
  EXPECT_EQ(api.GetOverlappedResult(device, &ov, &n, FALSE), FALSE);
  EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);
  api.CloseHandle(event);
  api.CloseHandle(device);
}

}  // namespace
