// Boost.Asio's serial_port as its documentation shows it: a blocking write() per string, and
// an asynchronous read whose handler the main thread runs in io_context::run_one().
#include <utility>  // Boost 1.74's Asio uses std::exchange without including it

#include <boost/asio.hpp>

#include "bench/peers/LineWay.h"

namespace {

namespace asio = boost::asio;

class Asio final : public LineWay {
 public:
  std::string Name() const override { return "Boost.Asio serial_port"; }
  void Open(const std::string& path) override {
    port_ = std::make_unique<asio::serial_port>(io_, path);
    port_->set_option(asio::serial_port_base::baud_rate(9600));
    port_->set_option(asio::serial_port_base::character_size(8));
    port_->set_option(asio::serial_port_base::parity(asio::serial_port_base::parity::none));
    port_->set_option(asio::serial_port_base::stop_bits(asio::serial_port_base::stop_bits::one));
    port_->set_option(asio::serial_port_base::flow_control(asio::serial_port_base::flow_control::none));
  }
  void Close() override {
    port_->close();
    port_.reset();
  }
  void Frame() override {
    for (const std::string& s : FrameStrings()) asio::write(*port_, asio::buffer(s));
  }
  void AwaitByte(const std::function<void()>& send) override {
    bool arrived = false;
    port_->async_read_some(asio::buffer(byte_), [&](const boost::system::error_code&, std::size_t) { arrived = true; });
    send();
    io_.restart();
    while (!arrived) io_.run_one();
  }

 private:
  asio::io_context io_;
  std::unique_ptr<asio::serial_port> port_;
  char byte_[64];
};

}  // namespace

std::unique_ptr<LineWay> AsioWay() { return std::make_unique<Asio>(); }
