// The module as a host drives it: the display control for frames, and a port whose OnRxChar
// runs on the main thread, which the host serves from its own loop on the queue's wake handle.
#include <poll.h>

#include <atomic>
#include <stdexcept>

#include "bench/peers/LineWay.h"
#include "display/LCDControl_COM.h"
#include "runtime/MainThread.h"

namespace {

class Module final : public LineWay {
 public:
  explicit Module(bool hostServesQueue) : serves_(hostServesQueue) {}
  std::string Name() const override {
    return serves_ ? "the module, host serves its queue" : "the module, host never serves it";
  }
  void Open(const std::string& path) override {
    lcd_ = std::make_unique<TLCDControl_COM>(nullptr);
    lcd_->SetPort(path);
    lcd_->SetRowCount(4);
    lcd_->SetColCount(20);
    lcd_->SetBaudate(br9600);
    TComPort& port = *lcd_->ComPort();
    port.Buffer()->SetInputSize(1 << 20);  // nobody reads the queue: room for every byte sent
    port.SetOnRxChar([this](TObject*, std::int32_t) { received_.fetch_add(1, std::memory_order_release); });
    lcd_->SetActive(true);
    if (serves_) CheckSynchronize(0);
  }
  void Close() override {
    lcd_->SetActive(false);
    lcd_.reset();
  }
  void Frame() override {
    lcd_->ClearScreen();
    for (std::uint8_t row = 1; row <= 4; ++row) lcd_->WriteAt(1, row, "Quorvel frame 123456");
    if (serves_) CheckSynchronize(0);
  }
  void AwaitByte(const std::function<void()>& send) override {
    const int before = received_.load(std::memory_order_acquire);
    send();
    const int wake = static_cast<int>(MainThreadWakeHandle());
    while (received_.load(std::memory_order_acquire) == before) {
      pollfd pfd{wake, POLLIN, 0};
      poll(&pfd, 1, 1000);
      CheckSynchronize(0);
    }
  }

 private:
  const bool serves_;
  std::unique_ptr<TLCDControl_COM> lcd_;
  std::atomic<int> received_{0};
};

}  // namespace

std::unique_ptr<LineWay> ModuleWay(bool hostServesQueue) { return std::make_unique<Module>(hostServesQueue); }
