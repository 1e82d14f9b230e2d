#include "serial/ComThread.h"

#include "platform/Api.h"
#include "platform/ThreadControl.h"
#include "runtime/HiddenWindow.h"
#include "serial/ComPort.h"
#include "serial/EventSteps.h"

using namespace platform;

TComThread::TComThread(TCustomComPort* AComPort) : FOwnerPort(AComPort) {
  FQuitEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  SetPriority(AComPort->EventPriority());
  SetCommMask(AComPort->DeviceHandle(), EventsToMask(AComPort->Events()));
  Resume();
}

TComThread::~TComThread() {
  RequestQuit();
  WaitFor();
}

void TComThread::RequestQuit() {
  Terminate();
  // Should the stop event fail to signal, clearing the device's mask still ends the pending
  // wait, and the loop sees the request; otherwise closing would wait for ever.
  if (!SetEvent(FQuitEvent)) SetCommMask(FOwnerPort->DeviceHandle(), 0);
  Sleep(0);
}

void TComThread::Execute() {
  platform::SetCurrentThreadName("com-events");
  OVERLAPPED overlapped{};
  overlapped.hEvent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  const HANDLE handles[2] = {FQuitEvent, overlapped.hEvent};
  DWORD mask = 0;
  std::exception_ptr failure;
  try {
    while (!Terminated()) {
      // A wait that fails at once (the device has gone) would otherwise spin on the still
      // signalled event: it ends the loop.
      if (!WaitCommEvent(FOwnerPort->DeviceHandle(), &mask, &overlapped) && GetLastError() != ERROR_IO_PENDING) break;
      const DWORD signalled = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
      if (signalled != WAIT_OBJECT_0 + 1) break;
      DWORD unused = 0;
      if (GetOverlappedResult(FOwnerPort->DeviceHandle(), &overlapped, &unused, FALSE)) {
        FPendingEvents = MaskToEvents(mask);
        DeliverEvents();
      }
    }
  } catch (...) {
    // A failing query or handler ends delivery for this connection; the clean-up below still
    // runs and the failure stays with the thread for its owner.
    failure = std::current_exception();
  }
  SetCommMask(FOwnerPort->DeviceHandle(), 0);
  PurgeComm(FOwnerPort->DeviceHandle(), PURGE_TXCLEAR | PURGE_RXCLEAR);
  CloseHandle(overlapped.hEvent);
  CloseHandle(FQuitEvent);
  if (failure) std::rethrow_exception(failure);
}

void TComThread::DeliverEvents() {
  switch (FOwnerPort->SyncMethod()) {
    case smThreadSync:
      Synchronize([this] { ProcessEvents(); });
      break;
    case smWindowSync:
      SendEventMessages();
      break;
    default:
      ProcessEvents();
      break;
  }
}

void TComThread::SendEventMessages() {
  for (const TEventStep& entry : EventBatchOrder)
    if (FPendingEvents.Contains(entry.Event)) SendMessageA(FOwnerPort->SyncWindow(), WM_USER + 1, entry.MaskBit, 0);
}

void TComThread::ProcessEvents() {
  for (const TEventStep& entry : EventBatchOrder)
    if (FPendingEvents.Contains(entry.Event)) (FOwnerPort->*entry.Step)();
}
