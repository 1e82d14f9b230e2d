// Storing and loading a port's configuration, group by group, in a registry key or an INI
// section.
#include <array>
#include <cstdint>
#include <string>

#include "runtime/IniFile.h"
#include "runtime/Registry.h"
#include "serial/ComPort.h"
#include "serial/TextConversions.h"

namespace {

// The two stores as the operations see them. The registry is read without defaults; an INI
// file returns the default for an absent key.
class Store {
 public:
  virtual ~Store() = default;
  virtual void WriteText(const std::string& key, const std::string& value) = 0;
  virtual void WriteNumber(const std::string& key, std::int32_t value) = 0;
  virtual std::string ReadText(const std::string& key, const std::string& fallback) = 0;
  virtual std::int32_t ReadNumber(const std::string& key, std::int32_t fallback) = 0;
};

class RegistryStore final : public Store {
 public:
  explicit RegistryStore(TRegistry& reg) : reg_(reg) {}
  void WriteText(const std::string& key, const std::string& value) override { reg_.WriteString(key, value); }
  void WriteNumber(const std::string& key, std::int32_t value) override { reg_.WriteInteger(key, value); }
  std::string ReadText(const std::string& key, const std::string&) override { return reg_.ReadString(key); }
  std::int32_t ReadNumber(const std::string& key, std::int32_t) override { return reg_.ReadInteger(key); }

 private:
  TRegistry& reg_;
};

class IniStore final : public Store {
 public:
  IniStore(TCustomIniFile& ini, std::string section) : ini_(ini), section_(std::move(section)) {}
  void WriteText(const std::string& key, const std::string& value) override { ini_.WriteString(section_, key, value); }
  void WriteNumber(const std::string& key, std::int32_t value) override { ini_.WriteInteger(section_, key, value); }
  std::string ReadText(const std::string& key, const std::string& fallback) override {
    return ini_.ReadString(section_, key, fallback);
  }
  std::int32_t ReadNumber(const std::string& key, std::int32_t fallback) override {
    return ini_.ReadInteger(section_, key, fallback);
  }

 private:
  TCustomIniFile& ini_;
  std::string section_;
};

using Port = TCustomComPort;

// One stored setting: its text form (or number) and the setter it goes back through.
struct Setting {
  TSettingGroup group;
  const char* key;
  std::string (*text)(Port&) = nullptr;
  void (*setText)(Port&, const std::string&) = nullptr;
  std::int32_t (*number)(Port&) = nullptr;
  void (*setNumber)(Port&, std::int32_t) = nullptr;
};

Setting Text(TSettingGroup group, const char* key, std::string (*text)(Port&), void (*set)(Port&, const std::string&)) {
  return {group, key, text, set, nullptr, nullptr};
}
Setting Number(TSettingGroup group, const char* key, std::int32_t (*number)(Port&), void (*set)(Port&, std::int32_t)) {
  return {group, key, nullptr, nullptr, number, set};
}

// Groups in the order sgBasic, sgMisc, sgParity, sgBuffer, sgTimeouts, sgFlowControl; keys in
// table order within each.
const std::array<Setting, 28>& Settings() {
  static const std::array<Setting, 28> settings = {
      Text(sgBasic, "Port", [](Port& p) { return p.Port(); }, [](Port& p, const std::string& v) { p.SetPort(v); }),
      Text(sgBasic, "BaudRate", [](Port& p) { return BaudRateToText(p.BaudRate()); },
           [](Port& p, const std::string& v) { p.SetBaudRate(TextToBaudRate(v)); }),
      Text(sgBasic, "StopBits", [](Port& p) { return StopBitsToText(p.StopBits()); },
           [](Port& p, const std::string& v) { p.SetStopBits(TextToStopBits(v)); }),
      Text(sgBasic, "DataBits", [](Port& p) { return DataBitsToText(p.DataBits()); },
           [](Port& p, const std::string& v) { p.SetDataBits(TextToDataBits(v)); }),
      Text(sgBasic, "Parity", [](Port& p) { return ParityToText(p.Parity()->Bits()); },
           [](Port& p, const std::string& v) { p.Parity()->SetBits(TextToParity(v)); }),
      Text(sgBasic, "FlowControl", [](Port& p) { return FlowControlToText(p.FlowControl()->FlowControl()); },
           [](Port& p, const std::string& v) { p.FlowControl()->SetFlowControl(TextToFlowControl(v)); }),
      Text(sgMisc, "EventChar", [](Port& p) { return CharToText(p.EventChar()); },
           [](Port& p, const std::string& v) { p.SetEventChar(TextToChar(v)); }),
      Text(sgMisc, "DiscardNull", [](Port& p) { return BoolToText(p.DiscardNull()); },
           [](Port& p, const std::string& v) { p.SetDiscardNull(TextToBool(v)); }),
      Text(sgParity, "Parity.Check", [](Port& p) { return BoolToText(p.Parity()->Check()); },
           [](Port& p, const std::string& v) { p.Parity()->SetCheck(TextToBool(v)); }),
      Text(sgParity, "Parity.Replace", [](Port& p) { return BoolToText(p.Parity()->Replace()); },
           [](Port& p, const std::string& v) { p.Parity()->SetReplace(TextToBool(v)); }),
      Text(sgParity, "Parity.ReplaceChar", [](Port& p) { return CharToText(p.Parity()->ReplaceChar()); },
           [](Port& p, const std::string& v) { p.Parity()->SetReplaceChar(TextToChar(v)); }),
      Number(sgBuffer, "Buffer.OutputSize", [](Port& p) { return p.Buffer()->OutputSize(); },
             [](Port& p, std::int32_t v) { p.Buffer()->SetOutputSize(v); }),
      Number(sgBuffer, "Buffer.InputSize", [](Port& p) { return p.Buffer()->InputSize(); },
             [](Port& p, std::int32_t v) { p.Buffer()->SetInputSize(v); }),
      Number(sgTimeouts, "Timeouts.ReadInterval", [](Port& p) { return p.Timeouts()->ReadInterval(); },
             [](Port& p, std::int32_t v) { p.Timeouts()->SetReadInterval(v); }),
      Number(sgTimeouts, "Timeouts.ReadTotalConstant", [](Port& p) { return p.Timeouts()->ReadTotalConstant(); },
             [](Port& p, std::int32_t v) { p.Timeouts()->SetReadTotalConstant(v); }),
      Number(sgTimeouts, "Timeouts.ReadTotalMultiplier", [](Port& p) { return p.Timeouts()->ReadTotalMultiplier(); },
             [](Port& p, std::int32_t v) { p.Timeouts()->SetReadTotalMultiplier(v); }),
      Number(sgTimeouts, "Timeouts.WriteTotalConstant", [](Port& p) { return p.Timeouts()->WriteTotalConstant(); },
             [](Port& p, std::int32_t v) { p.Timeouts()->SetWriteTotalConstant(v); }),
      Number(sgTimeouts, "Timeouts.WriteTotalMultiplier", [](Port& p) { return p.Timeouts()->WriteTotalMultiplier(); },
             [](Port& p, std::int32_t v) { p.Timeouts()->SetWriteTotalMultiplier(v); }),
      Text(sgFlowControl, "FlowControl.ControlRTS", [](Port& p) { return RTSControlToText(p.FlowControl()->ControlRTS()); },
           [](Port& p, const std::string& v) { p.FlowControl()->SetControlRTS(TextToRTSControl(v)); }),
      Text(sgFlowControl, "FlowControl.ControlDTR", [](Port& p) { return DTRControlToText(p.FlowControl()->ControlDTR()); },
           [](Port& p, const std::string& v) { p.FlowControl()->SetControlDTR(TextToDTRControl(v)); }),
      Text(sgFlowControl, "FlowControl.DSRSensitivity", [](Port& p) { return BoolToText(p.FlowControl()->DSRSensitivity()); },
           [](Port& p, const std::string& v) { p.FlowControl()->SetDSRSensitivity(TextToBool(v)); }),
      Text(sgFlowControl, "FlowControl.OutCTSFlow", [](Port& p) { return BoolToText(p.FlowControl()->OutCTSFlow()); },
           [](Port& p, const std::string& v) { p.FlowControl()->SetOutCTSFlow(TextToBool(v)); }),
      Text(sgFlowControl, "FlowControl.OutDSRFlow", [](Port& p) { return BoolToText(p.FlowControl()->OutDSRFlow()); },
           [](Port& p, const std::string& v) { p.FlowControl()->SetOutDSRFlow(TextToBool(v)); }),
      Text(sgFlowControl, "FlowControl.TxContinueOnXoff",
           [](Port& p) { return BoolToText(p.FlowControl()->TxContinueOnXoff()); },
           [](Port& p, const std::string& v) { p.FlowControl()->SetTxContinueOnXoff(TextToBool(v)); }),
      Text(sgFlowControl, "FlowControl.XonXoffIn", [](Port& p) { return BoolToText(p.FlowControl()->XonXoffIn()); },
           [](Port& p, const std::string& v) { p.FlowControl()->SetXonXoffIn(TextToBool(v)); }),
      Text(sgFlowControl, "FlowControl.XonXoffOut", [](Port& p) { return BoolToText(p.FlowControl()->XonXoffOut()); },
           [](Port& p, const std::string& v) { p.FlowControl()->SetXonXoffOut(TextToBool(v)); }),
      Text(sgFlowControl, "FlowControl.XoffChar", [](Port& p) { return CharToText(p.FlowControl()->XoffChar()); },
           [](Port& p, const std::string& v) { p.FlowControl()->SetXoffChar(TextToChar(v)); }),
      Text(sgFlowControl, "FlowControl.XonChar", [](Port& p) { return CharToText(p.FlowControl()->XonChar()); },
           [](Port& p, const std::string& v) { p.FlowControl()->SetXonChar(TextToChar(v)); }),
  };
  return settings;
}

const char* CustomBaudRateKey = "CustomBaudRate";
constexpr std::int32_t CustomBaudRateDefault = 9600;

void Save(Port& port, Store& store) {
  for (const Setting& s : Settings()) {
    if (!port.SettingGroups().Contains(s.group)) continue;
    if (s.text)
      store.WriteText(s.key, s.text(port));
    else
      store.WriteNumber(s.key, s.number(port));
    // The rate itself follows the word "Custom", and only then.
    if (std::string(s.key) == "BaudRate" && port.BaudRate() == brCustom)
      store.WriteNumber(CustomBaudRateKey, port.CustomBaudRate());
  }
}

void Load(Port& port, Store& store) {
  for (const Setting& s : Settings()) {
    if (!port.SettingGroups().Contains(s.group)) continue;
    // The present value is the default, so an absent key leaves its setting alone.
    if (s.text)
      s.setText(port, store.ReadText(s.key, s.text(port)));
    else
      s.setNumber(port, store.ReadNumber(s.key, s.number(port)));
    if (std::string(s.key) == "BaudRate" && port.BaudRate() == brCustom)
      port.SetCustomBaudRate(store.ReadNumber(CustomBaudRateKey, CustomBaudRateDefault));
  }
}

}  // namespace

void TCustomComPort::SaveToRegistry(TRegistry& Reg) {
  RegistryStore store(Reg);
  Save(*this, store);
}

void TCustomComPort::SaveToIniFile(TCustomIniFile& IniFile) {
  IniStore store(IniFile, Name());
  Save(*this, store);
}

void TCustomComPort::LoadFromRegistry(TRegistry& Reg) {
  RegistryStore store(Reg);
  Load(*this, store);
}

void TCustomComPort::LoadFromIniFile(TCustomIniFile& IniFile) {
  IniStore store(IniFile, Name());
  Load(*this, store);
}
