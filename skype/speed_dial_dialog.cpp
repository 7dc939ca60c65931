#include "skype/speed_dial_dialog.h"

#include <vector>

#include "platform/os_kernel.h"
#include "platform/os_window.h"
#include "shell/settings.h"

namespace {

// Button messages the seam does not name yet.
constexpr os::UINT BM_SETCHECK = 0x00F1;
constexpr os::WPARAM BST_UNCHECKED = 0;
constexpr os::WPARAM BST_CHECKED = 1;
constexpr os::UINT BN_CLICKED = 0;

constexpr const char* OPTIONS_SECTION = "Options";
constexpr const char* AUTO_MINIMIZE_KEY = "AutoMinimizeDialer";
constexpr const char* ALLOW_PIN_KEY = "AllowPinDialing";
constexpr const char* ALIAS_CAPTION = "Skype Name/Alias";

constexpr int NAME_EDITS[SPEED_DIAL_SLOTS] = {
    IDC_SPEEDDIAL_NAME_1,  IDC_SPEEDDIAL_NAME_2,  IDC_SPEEDDIAL_NAME_3,  IDC_SPEEDDIAL_NAME_4,
    IDC_SPEEDDIAL_NAME_5,  IDC_SPEEDDIAL_NAME_6,  IDC_SPEEDDIAL_NAME_7,  IDC_SPEEDDIAL_NAME_8,
    IDC_SPEEDDIAL_NAME_9,  IDC_SPEEDDIAL_NAME_10, IDC_SPEEDDIAL_NAME_11, IDC_SPEEDDIAL_NAME_12,
    IDC_SPEEDDIAL_NAME_13, IDC_SPEEDDIAL_NAME_14, IDC_SPEEDDIAL_NAME_15, IDC_SPEEDDIAL_NAME_16,
    IDC_SPEEDDIAL_NAME_17, IDC_SPEEDDIAL_NAME_18, IDC_SPEEDDIAL_NAME_19, IDC_SPEEDDIAL_NAME_20,
    IDC_SPEEDDIAL_NAME_21, IDC_SPEEDDIAL_NAME_22, IDC_SPEEDDIAL_NAME_23, IDC_SPEEDDIAL_NAME_24,
    IDC_SPEEDDIAL_NAME_25, IDC_SPEEDDIAL_NAME_26, IDC_SPEEDDIAL_NAME_27, IDC_SPEEDDIAL_NAME_28,
    IDC_SPEEDDIAL_NAME_29, IDC_SPEEDDIAL_NAME_30, IDC_SPEEDDIAL_NAME_31, IDC_SPEEDDIAL_NAME_32,
    IDC_SPEEDDIAL_NAME_33, IDC_SPEEDDIAL_NAME_34, IDC_SPEEDDIAL_NAME_35, IDC_SPEEDDIAL_NAME_36,
    IDC_SPEEDDIAL_NAME_37, IDC_SPEEDDIAL_NAME_38, IDC_SPEEDDIAL_NAME_39, IDC_SPEEDDIAL_NAME_40,
    IDC_SPEEDDIAL_NAME_41, IDC_SPEEDDIAL_NAME_42, IDC_SPEEDDIAL_NAME_43, IDC_SPEEDDIAL_NAME_44,
    IDC_SPEEDDIAL_NAME_45, IDC_SPEEDDIAL_NAME_46, IDC_SPEEDDIAL_NAME_47, IDC_SPEEDDIAL_NAME_48,
    IDC_SPEEDDIAL_NAME_49, IDC_SPEEDDIAL_NAME_50,
};
constexpr int ALIAS_EDITS[SPEED_DIAL_SLOTS] = {
    IDC_SPEEDDIAL_ALIAS_1,  IDC_SPEEDDIAL_ALIAS_2,  IDC_SPEEDDIAL_ALIAS_3,  IDC_SPEEDDIAL_ALIAS_4,
    IDC_SPEEDDIAL_ALIAS_5,  IDC_SPEEDDIAL_ALIAS_6,  IDC_SPEEDDIAL_ALIAS_7,  IDC_SPEEDDIAL_ALIAS_8,
    IDC_SPEEDDIAL_ALIAS_9,  IDC_SPEEDDIAL_ALIAS_10, IDC_SPEEDDIAL_ALIAS_11, IDC_SPEEDDIAL_ALIAS_12,
    IDC_SPEEDDIAL_ALIAS_13, IDC_SPEEDDIAL_ALIAS_14, IDC_SPEEDDIAL_ALIAS_15, IDC_SPEEDDIAL_ALIAS_16,
    IDC_SPEEDDIAL_ALIAS_17, IDC_SPEEDDIAL_ALIAS_18, IDC_SPEEDDIAL_ALIAS_19, IDC_SPEEDDIAL_ALIAS_20,
    IDC_SPEEDDIAL_ALIAS_21, IDC_SPEEDDIAL_ALIAS_22, IDC_SPEEDDIAL_ALIAS_23, IDC_SPEEDDIAL_ALIAS_24,
    IDC_SPEEDDIAL_ALIAS_25, IDC_SPEEDDIAL_ALIAS_26, IDC_SPEEDDIAL_ALIAS_27, IDC_SPEEDDIAL_ALIAS_28,
    IDC_SPEEDDIAL_ALIAS_29, IDC_SPEEDDIAL_ALIAS_30, IDC_SPEEDDIAL_ALIAS_31, IDC_SPEEDDIAL_ALIAS_32,
    IDC_SPEEDDIAL_ALIAS_33, IDC_SPEEDDIAL_ALIAS_34, IDC_SPEEDDIAL_ALIAS_35, IDC_SPEEDDIAL_ALIAS_36,
    IDC_SPEEDDIAL_ALIAS_37, IDC_SPEEDDIAL_ALIAS_38, IDC_SPEEDDIAL_ALIAS_39, IDC_SPEEDDIAL_ALIAS_40,
    IDC_SPEEDDIAL_ALIAS_41, IDC_SPEEDDIAL_ALIAS_42, IDC_SPEEDDIAL_ALIAS_43, IDC_SPEEDDIAL_ALIAS_44,
    IDC_SPEEDDIAL_ALIAS_45, IDC_SPEEDDIAL_ALIAS_46, IDC_SPEEDDIAL_ALIAS_47, IDC_SPEEDDIAL_ALIAS_48,
    IDC_SPEEDDIAL_ALIAS_49, IDC_SPEEDDIAL_ALIAS_50,
};

// The whole text of a control: the edits have no length limit of their own.
std::string ControlText(os::HWND control) {
  os::LRESULT length = os::SendMessageA(control, os::WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return "";
  std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
  int read = os::GetWindowTextA(control, text.data(), static_cast<int>(text.size()));
  return std::string(text.data(), read > 0 ? static_cast<std::size_t>(read) : 0);
}

bool IsSlot(int slot) { return slot >= 1 && slot <= SPEED_DIAL_SLOTS; }

}  // namespace

int CSpeedDialDlg::NameEditId(int slot) { return IsSlot(slot) ? NAME_EDITS[slot - 1] : 0; }
int CSpeedDialDlg::AliasEditId(int slot) { return IsSlot(slot) ? ALIAS_EDITS[slot - 1] : 0; }

os::BOOL CSpeedDialDlg::OnInitDialog() {
  leftAliasCaption = ALIAS_CAPTION;
  rightAliasCaption = ALIAS_CAPTION;
  ReadSettings();
  ControlsFromData();
  return os::TRUE;
}

// OK writes the whole table, changed or not; Cancel writes nothing. The
// check boxes are toggled here, so that what they show and the options the
// dialog holds stay one and the same.
bool CSpeedDialDlg::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam, os::LRESULT& result) {
  if (message != os::WM_COMMAND) return CDialog::OnMessage(message, wParam, lParam, result);
  int control = static_cast<int>(wParam & 0xFFFF);
  os::UINT notification = static_cast<os::UINT>((wParam >> 16) & 0xFFFF);
  if (control == os::IDOK) {
    DataFromControls();
    WriteSettings();
    EndDialog(os::IDOK);
    return true;
  }
  if (notification == BN_CLICKED &&
      (control == IDC_AUTO_MINIMIZE_DIALER || control == IDC_ALLOW_PIN_DIALING)) {
    int& option = control == IDC_AUTO_MINIMIZE_DIALER ? autoMinimizeDialer : allowPinDialing;
    option = option == 1 ? 0 : 1;
    ShowCheck(control, option);
    return true;
  }
  return CDialog::OnMessage(message, wParam, lParam, result);
}

void CSpeedDialDlg::ReadSettings() {
  std::string path = GetSettingsPath();
  for (int slot = 1; slot <= SPEED_DIAL_SLOTS; ++slot) {
    slots[slot - 1].name = ReadSpeedDialName(slot);
    slots[slot - 1].alias = ReadSpeedDialTarget(slot);
  }
  autoMinimizeDialer =
      static_cast<int>(os::GetPrivateProfileIntA(OPTIONS_SECTION, AUTO_MINIMIZE_KEY, 1, path.c_str()));
  allowPinDialing =
      static_cast<int>(os::GetPrivateProfileIntA(OPTIONS_SECTION, ALLOW_PIN_KEY, 1, path.c_str()));
}

void CSpeedDialDlg::WriteSettings() const {
  std::string path = GetSettingsPath();
  for (int slot = 1; slot <= SPEED_DIAL_SLOTS; ++slot) {
    std::string number = std::to_string(slot);
    os::WritePrivateProfileStringA(SPEED_DIAL_SECTION, ("n" + number).c_str(), slots[slot - 1].name.c_str(),
                                   path.c_str());
    os::WritePrivateProfileStringA(SPEED_DIAL_SECTION, ("t" + number).c_str(), slots[slot - 1].alias.c_str(),
                                   path.c_str());
  }
  os::WritePrivateProfileStringA(OPTIONS_SECTION, AUTO_MINIMIZE_KEY, autoMinimizeDialer == 1 ? "1" : "0",
                                 path.c_str());
  os::WritePrivateProfileStringA(OPTIONS_SECTION, ALLOW_PIN_KEY, allowPinDialing == 1 ? "1" : "0",
                                 path.c_str());
}

void CSpeedDialDlg::ControlsFromData() {
  os::SetWindowTextA(os::GetDlgItem(m_hWnd, IDC_SPEEDDIAL_ALIAS_CAPTION_LEFT), leftAliasCaption.c_str());
  os::SetWindowTextA(os::GetDlgItem(m_hWnd, IDC_SPEEDDIAL_ALIAS_CAPTION_RIGHT), rightAliasCaption.c_str());
  for (int slot = 1; slot <= SPEED_DIAL_SLOTS; ++slot) {
    os::SetWindowTextA(os::GetDlgItem(m_hWnd, NameEditId(slot)), slots[slot - 1].name.c_str());
    os::SetWindowTextA(os::GetDlgItem(m_hWnd, AliasEditId(slot)), slots[slot - 1].alias.c_str());
  }
  ShowCheck(IDC_AUTO_MINIMIZE_DIALER, autoMinimizeDialer);
  ShowCheck(IDC_ALLOW_PIN_DIALING, allowPinDialing);
}

void CSpeedDialDlg::DataFromControls() {
  leftAliasCaption = ControlText(os::GetDlgItem(m_hWnd, IDC_SPEEDDIAL_ALIAS_CAPTION_LEFT));
  rightAliasCaption = ControlText(os::GetDlgItem(m_hWnd, IDC_SPEEDDIAL_ALIAS_CAPTION_RIGHT));
  for (int slot = 1; slot <= SPEED_DIAL_SLOTS; ++slot) {
    slots[slot - 1].name = ControlText(os::GetDlgItem(m_hWnd, NameEditId(slot)));
    slots[slot - 1].alias = ControlText(os::GetDlgItem(m_hWnd, AliasEditId(slot)));
  }
}

void CSpeedDialDlg::ShowCheck(int controlId, int option) {
  os::SendMessageA(os::GetDlgItem(m_hWnd, controlId), BM_SETCHECK, option == 1 ? BST_CHECKED : BST_UNCHECKED,
                   0);
}
