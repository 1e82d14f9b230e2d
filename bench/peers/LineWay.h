// One way of driving a serial line as a program would: through the module, through a serial
// library a user might pick instead, or with the bare system calls beneath them all. The
// comparison runs each way in turn on the same pseudo-terminal.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class LineWay {
 public:
  virtual ~LineWay() = default;
  virtual std::string Name() const = 0;
  // Opens the device side and sets it to 9600 baud, 8 bits, no parity, raw.
  virtual void Open(const std::string& path) = 0;
  virtual void Close() = 0;
  // The 85 blocking writes of a 4x20 frame: a clear, then per row a position and twenty
  // one-character writes.
  virtual void Frame() = 0;
  // Returns once the byte that `send` puts on the line has reached the program's main thread.
  virtual void AwaitByte(const std::function<void()>& send) = 0;
};

// The strings of one frame, in order.
const std::vector<std::string>& FrameStrings();

// The bare system calls; `watched` starts the thread that waits for input with the open.
std::unique_ptr<LineWay> BareWay(bool watched);
// The module's display control; a host that serves the main-thread queue once per frame, or
// never.
std::unique_ptr<LineWay> ModuleWay(bool hostServesQueue);
// Null where the library was not found when the benchmarks were built.
std::unique_ptr<LineWay> AsioWay();
std::unique_ptr<LineWay> QtWay();

// Runs `rounds` rounds of every way in turn and prints the table of frames, event latency and
// open/close, each as a ratio to the bare floor and to the best peer.
void RunPeerComparison(int rounds);
