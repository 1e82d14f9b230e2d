#include "plugin/SettingsUnit.h"

#include "runtime/Exception.h"
#include "runtime/forms/StoredForm.h"

namespace {

// Captions are Windows-1251.
const TStoredComponent Stored = {
    "TfrmSettings",
    "frmSettings",
    {{"BorderStyle", "bsDialog"},
     {"Caption", " \xCA\xEE\xED\xF4\xE8\xE3\xF3\xF0\xE0\xF6\xE8\xFF..."},  // " Конфигурация..."
     {"ClientHeight", "233"},
     {"ClientWidth", "273"},
     {"Color", "clBtnFace"},
     {"Font.Charset", "DEFAULT_CHARSET"},
     {"Font.Color", "clWindowText"},
     {"Font.Height", "-11"},
     {"Font.Name", "MS Sans Serif"},
     {"Font.Style", "[]"},
     {"Position", "poMainFormCenter"}},
    {{"TPanel",
      "pnMain",
      {{"Left", "8"},
       {"Top", "8"},
       {"Width", "257"},
       {"Height", "217"},
       {"BevelInner", "bvRaised"},
       {"BevelOuter", "bvLowered"},
       {"Font.Charset", "DEFAULT_CHARSET"},
       {"Font.Color", "clWindowText"},
       {"Font.Height", "-13"},
       {"Font.Name", "MS Sans Serif"},
       {"Font.Style", "[fsBold]"},
       {"TabOrder", "0"}},
      {
          {"TLabel", "Label2", {{"Left", "92"}, {"Top", "16"}, {"Width", "42"}, {"Height", "16"},
                                {"Caption", "\xCF\xEE\xF0\xF2:"}}},  // "Порт:"
          {"TComboBox", "cbPort", {{"Left", "146"}, {"Top", "12"}, {"Width", "100"}, {"Height", "24"},
                                   {"ItemHeight", "16"}, {"TabOrder", "0"}, {"Text", "$378"},
                                   {"Items.Strings", "$378"}, {"Items.Strings", "$278"}, {"Items.Strings", "$3BC"}}},
          {"TLabel", "Label4", {{"Left", "87"}, {"Top", "80"}, {"Width", "47"}, {"Height", "16"},
                                {"Caption", "\xF1\xF2\xF0\xEE\xEA:"}}},  // "строк:"
          {"TComboBox", "cbRows", {{"Left", "148"}, {"Top", "76"}, {"Width", "70"}, {"Height", "24"},
                                   {"ItemHeight", "16"}, {"TabOrder", "1"}, {"Text", "2"},
                                   {"Items.Strings", "1"}, {"Items.Strings", "2"}, {"Items.Strings", "4"}}},
          {"TLabel", "Label5", {{"Left", "57"}, {"Top", "112"}, {"Width", "77"}, {"Height", "16"},
                                {"Caption", "\xF1\xE8\xEC\xE2\xEE\xEB\xEE\xE2:"}}},  // "символов:"
          {"TComboBox", "cbCols", {{"Left", "148"}, {"Top", "108"}, {"Width", "70"}, {"Height", "24"},
                                   {"ItemHeight", "16"}, {"TabOrder", "2"}, {"Text", "16"},
                                   {"Items.Strings", "8"}, {"Items.Strings", "16"}, {"Items.Strings", "20"},
                                   {"Items.Strings", "24"}, {"Items.Strings", "32"}, {"Items.Strings", "40"}}},
          {"TLabel", "Label3", {{"Left", "16"}, {"Top", "48"}, {"Width", "118"}, {"Height", "16"},
                                {"Caption", "\xD0\xE0\xE7\xEC\xE5\xF0 \xFD\xEA\xF0\xE0\xED\xE0:"}}},  // "Размер экрана:"
          {"TButton", "Button1", {{"Left", "55"}, {"Top", "184"}, {"Width", "75"}, {"Height", "25"},
                                  {"Caption", "\xCE\xEA"},  // "Ок"
                                  {"Default", "True"}, {"ModalResult", "1"}, {"TabOrder", "3"}}},
          {"TButton", "Button2", {{"Left", "146"}, {"Top", "184"}, {"Width", "75"}, {"Height", "25"},
                                  {"Cancel", "True"}, {"Caption", "\xCE\xF2\xEC\xE5\xED\xE0"},  // "Отмена"
                                  {"ModalResult", "2"}, {"TabOrder", "4"}}},
          {"TComComboBox", "cbBaudRate", {{"Left", "146"}, {"Top", "144"}, {"Width", "100"}, {"Height", "24"},
                                          {"ComProperty", "cpBaudRate"}, {"AutoApply", "False"}, {"Text", "Custom"},
                                          {"Style", "csDropDownList"}, {"ItemHeight", "16"}, {"ItemIndex", "0"},
                                          {"TabOrder", "5"}}},
          {"TLabel", "Label1", {{"Left", "60"}, {"Top", "148"}, {"Width", "74"}, {"Height", "16"},
                                {"Caption", "\xD1\xEA\xEE\xF0\xEE\xF1\xF2\xFC:"}}},  // "Скорость:"
      }}},
};

template <class T>
T* Field(TForm& form, const char* name) {
  auto* field = dynamic_cast<T*>(form.FindComponent(name));
  if (!field) throw Exception(std::string("The settings form has no ") + name);
  return field;
}

}  // namespace

const TStoredComponent& SettingsFormData() { return Stored; }

TfrmSettings::TfrmSettings(TComponent* AOwner) : TForm(AOwner) {
  RegisterPortControls();
  LoadForm(*this, Stored);
  pnMain = Field<TPanel>(*this, "pnMain");
  Label2 = Field<TLabel>(*this, "Label2");
  cbPort = Field<TComboBox>(*this, "cbPort");
  Label4 = Field<TLabel>(*this, "Label4");
  cbRows = Field<TComboBox>(*this, "cbRows");
  Label5 = Field<TLabel>(*this, "Label5");
  cbCols = Field<TComboBox>(*this, "cbCols");
  Label3 = Field<TLabel>(*this, "Label3");
  Button1 = Field<TButton>(*this, "Button1");
  Button2 = Field<TButton>(*this, "Button2");
  cbBaudRate = Field<TComComboBox>(*this, "cbBaudRate");
  Label1 = Field<TLabel>(*this, "Label1");
}
