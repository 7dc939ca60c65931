// The About box, template 100: the program's name and its release.
#pragma once

#include <string>

#include "resources/resource.h"
#include "shell/dialog.h"

class CAboutDlg : public CDialog {
 public:
  CAboutDlg() : CDialog(IDD_ABOUTBOX, nullptr) {}

  std::string releaseText;  // shown in control 1062

 protected:
  os::BOOL OnInitDialog() override;
};
