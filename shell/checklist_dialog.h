// The courtesy checklist shown while Skype does not attach, template 165.
#pragma once

#include "resources/resource.h"
#include "shell/dialog.h"

class CChecklistDlg : public CDialog {
 public:
  CChecklistDlg() : CDialog(IDD_CHECKLIST, nullptr) {}
};
