// The settings dialog: port, rows, characters per row and baud rate. A plain form read from
// its stored data; it neither reads nor writes any setting itself.
#pragma once

#include "runtime/forms/Button.h"
#include "runtime/forms/ComboBox.h"
#include "runtime/forms/StoredForm.h"
#include "runtime/forms/Form.h"
#include "runtime/forms/Label.h"
#include "runtime/forms/Panel.h"
#include "serial_controls/CPortCtl.h"

class TfrmSettings : public TForm {
 public:
  explicit TfrmSettings(TComponent* AOwner);

  TPanel* pnMain;
  TLabel* Label2;
  TComboBox* cbPort;
  TLabel* Label4;
  TComboBox* cbRows;
  TLabel* Label5;
  TComboBox* cbCols;
  TLabel* Label3;
  TButton* Button1;
  TButton* Button2;
  TComComboBox* cbBaudRate;
  TLabel* Label1;
};

// The form as stored.
const TStoredComponent& SettingsFormData();
