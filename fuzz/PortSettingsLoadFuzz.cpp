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

// The port's save, kept in memory in the order of the writes.
class SavedSection final : public TCustomIniFile {
 public:
  SavedSection() : TCustomIniFile("") {}
  std::string ReadString(const std::string&, const std::string&, const std::string& Default) override { return Default; }
  void WriteString(const std::string&, const std::string& Ident, const std::string& Value) override {
    FText += Ident + "=" + Value + "\n";
  }
  bool ValueExists(const std::string&, const std::string&) override { return false; }
  const std::string& Text() const { return FText; }

 private:
  std::string FText;
};

std::string Saved(TComPort& port) {
  SavedSection section;
  port.SaveToIniFile(section);
  return section.Text();
}

TComPort* Loaded(const std::string& sectionText) {
  fuzz::WriteTemporaryFile("[ComPort1]\n" + sectionText);
  auto* port = new TComPort(nullptr);
  port->SetName("ComPort1");
  port->SetSettingGroups(AllGroups);
  TIniFile ini(fuzz::TemporaryFile());
  port->LoadFromIniFile(ini);
  return port;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::unique_ptr<TComPort> port(Loaded(std::string(reinterpret_cast<const char*>(data), size)));
  CheckRanges(*port);
  const std::string saved = Saved(*port);
  // What the port saves is what a fresh port loads.
  const std::unique_ptr<TComPort> again(Loaded(saved));
  FUZZ_CHECK(Saved(*again) == saved);
  return 0;
}
