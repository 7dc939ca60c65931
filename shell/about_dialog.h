// The About box, template 100.
#pragma once

#include "resources/resource.h"
#include "shell/dialog.h"

class CAboutDlg : public CDialog {
 public:
  CAboutDlg() : CDialog(IDD_ABOUTBOX, nullptr) {}
};
