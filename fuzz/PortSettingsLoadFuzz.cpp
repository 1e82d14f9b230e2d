// A port's settings loaded from any section contents: every setting ends inside its range, and
// what the port then saves loads into a fresh port as the same settings.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "fuzz/Check.h"
#include "fuzz/TemporaryFile.h"
#include "runtime/IniFile.h"
#include "serial/CPort.h"

namespace {

const TSettingGroups AllGroups{sgBasic, sgFlowControl, sgBuffer, sgTimeouts, sgParity, sgMisc};

void CheckRanges(TComPort& port) {
  FUZZ_CHECK(port.BaudRate() <= br256000);
  FUZZ_CHECK(port.StopBits() <= sbTwoStopBits);
  FUZZ_CHECK(port.DataBits() <= dbEight);
  FUZZ_CHECK(port.Parity()->Bits() <= prSpace);
  FUZZ_CHECK(port.FlowControl()->ControlDTR() <= dtrHandshake);
  FUZZ_CHECK(port.FlowControl()->ControlRTS() <= rtsToggle);
  FUZZ_CHECK(port.FlowControl()->FlowControl() <= fcCustom);
}

// The whole file that the port's save makes.
std::string Saved(TComPort& port) {
  fuzz::WriteTemporaryFile("");
  TIniFile ini(fuzz::TemporaryFile());
  port.SaveToIniFile(ini);
  return fuzz::ReadTemporaryFile();
}

TComPort* Loaded(const std::string& file) {
  fuzz::WriteTemporaryFile(file);
  auto* port = new TComPort(nullptr);
  port->SetName("ComPort1");
  port->SetSettingGroups(AllGroups);
  TIniFile ini(fuzz::TemporaryFile());
  port->LoadFromIniFile(ini);
  return port;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::unique_ptr<TComPort> port(Loaded("[ComPort1]\n" + std::string(reinterpret_cast<const char*>(data), size)));
  CheckRanges(*port);
  // What the port saves, a fresh port loads and saves alike.
  const std::string saved = Saved(*port);
  const std::unique_ptr<TComPort> again(Loaded(saved));
  FUZZ_CHECK(Saved(*again) == saved);
  return 0;
}
