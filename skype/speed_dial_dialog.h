// The speed-dial table editor, template 155: a person's name and a Skype
// name, alias or telephone number for each of the 50 slots, and the two
// options it also edits. It reads the settings file when it opens and
// writes it only on OK.
#pragma once

#include <string>

#include "resources/resource.h"
#include "shell/dialog.h"
#include "skype/speed_dial.h"

class CSpeedDialDlg : public CDialog {
 public:
  CSpeedDialDlg() : CDialog(IDD_SPEEDDIAL, nullptr) {}

  struct Slot {
    std::string name;   // "Person's Real Name"
    std::string alias;  // "Skype Name/Alias"
  };

  // The edits of a slot from 1 to 50.
  static int NameEditId(int slot);
  static int AliasEditId(int slot);

  // The dialog's data: copied into the controls when it opens, and back
  // from them on OK.
  std::string leftAliasCaption;
  std::string rightAliasCaption;
  Slot slots[SPEED_DIAL_SLOTS];
  int autoMinimizeDialer = 1;  // only 1 is on
  int allowPinDialing = 1;

 protected:
  os::BOOL OnInitDialog() override;
  bool OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam, os::LRESULT& result) override;

 private:
  void ReadSettings();
  void WriteSettings() const;
  void ControlsFromData();
  void DataFromControls();
  void ShowCheck(int controlId, int option);
};
