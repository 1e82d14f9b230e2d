// The event thread of an open port: it waits on the device for the monitored events and hands
// each batch to the port, on the main thread (by Synchronize or a window message) or on itself.
#pragma once

#include "platform/Win32Types.h"
#include "runtime/Thread.h"
#include "serial/ComTypes.h"

class TCustomComPort;

class TComThread : public TThread {
 public:
  // Sets the device's event mask from the port's Events and starts waiting.
  explicit TComThread(TCustomComPort* AComPort);
  // Stops the loop and returns once the body has ended.
  ~TComThread() override;

  void RequestQuit();

 protected:
  void Execute() override;

 private:
  void DeliverEvents();
  void SendEventMessages();
  void ProcessEvents();

  TCustomComPort* FOwnerPort;  // not owned: the port owns this thread
  platform::HANDLE FQuitEvent = nullptr;
  TComEvents FPendingEvents;
};
