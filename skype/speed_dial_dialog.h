// The speed-dial table editor, template 155.
#pragma once

#include "resources/resource.h"
#include "shell/dialog.h"

class CSpeedDialDlg : public CDialog {
 public:
  CSpeedDialDlg() : CDialog(IDD_SPEEDDIAL, nullptr) {}
};
