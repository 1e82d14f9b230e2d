// Qt Serial Port as its documentation shows it for a program without an event loop of its own:
// write() followed by waitForBytesWritten(), and waitForReadyRead() on the main thread.
#include <QCoreApplication>
#include <QSerialPort>
#include <stdexcept>

#include "bench/peers/LineWay.h"

namespace {

class QtSerialPort final : public LineWay {
 public:
  QtSerialPort() {
    // Qt's notifiers need an application object; one for the whole run.
    static int argc = 1;
    static char name[] = "quorvel_bench";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) static QCoreApplication application(argc, argv);
  }
  std::string Name() const override { return "Qt Serial Port"; }
  void Open(const std::string& path) override {
    port_ = std::make_unique<QSerialPort>();
    port_->setPortName(QString::fromStdString(path));
    if (!port_->open(QIODevice::ReadWrite))
      throw std::runtime_error("Qt Serial Port cannot open " + path + ": " + port_->errorString().toStdString());
    port_->setBaudRate(QSerialPort::Baud9600);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
  }
  void Close() override {
    port_->close();
    port_.reset();
  }
  void Frame() override {
    for (const std::string& s : FrameStrings()) {
      port_->write(s.data(), static_cast<qint64>(s.size()));
      port_->waitForBytesWritten(-1);
    }
  }
  void AwaitByte(const std::function<void()>& send) override {
    send();
    while (port_->bytesAvailable() == 0) port_->waitForReadyRead(-1);
    port_->readAll();
  }

 private:
  std::unique_ptr<QSerialPort> port_;
};

}  // namespace

std::unique_ptr<LineWay> QtWay() { return std::make_unique<QtSerialPort>(); }
