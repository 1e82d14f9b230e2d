// The display-control interface a host drives. A host calls these thirteen operations by
// their position in the table of virtual functions, so their order is binding, including the
// setter-before-getter order of the two count pairs.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/Component.h"
#include "runtime/Export.h"

class QUORVEL_API TLCDBaseControl : public TComponent {
 public:
  explicit TLCDBaseControl(TComponent* AOwner) : TComponent(AOwner) {}

  virtual bool GetActive() { return false; }
  virtual void SetActive(bool) {}
  virtual bool GetVisible() { return false; }
  virtual void SetVisible(bool) {}
  virtual bool GetBackLight() { return false; }
  virtual void SetBackLight(bool) {}
  virtual void SetColCount(std::int32_t) {}
  virtual std::int32_t GetColCount() { return 0; }
  virtual void SetRowCount(std::int32_t) {}
  virtual std::int32_t GetRowCount() { return 0; }
  virtual void ClearScreen() {}
  virtual void WriteAt(std::uint8_t, std::uint8_t, const std::string&) {}
  // Data holds High + 1 pattern bytes.
  virtual void DefineChar(std::uint8_t, const std::uint8_t*, std::int32_t) {}
};
