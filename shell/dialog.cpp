#include "shell/dialog.h"

#include "platform/os_window.h"

namespace {
// The window property that leads from a dialog window to its object.
constexpr const char* DIALOG_OBJECT_PROP = "CorvaloPlugin.Dialog";
}  // namespace

CDialog::CDialog(int templateId, os::HWND parent) : templateId(templateId), parentWindow(parent) {}

os::INT_PTR CDialog::DoModal() {
  os::INT_PTR result = os::DialogBoxParamA(templateId, parentWindow, &CDialog::DialogProc,
                                           reinterpret_cast<os::LPARAM>(this));
  m_hWnd = nullptr;
  return result;
}

void CDialog::EndDialog(os::INT_PTR result) {
  if (m_hWnd) os::EndDialog(m_hWnd, result);
}

// OK and Cancel end the dialog with their own id.
bool CDialog::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM, os::LRESULT&) {
  int command = static_cast<int>(wParam & 0xFFFF);
  if (message == os::WM_COMMAND && (command == os::IDOK || command == os::IDCANCEL)) {
    EndDialog(command);
    return true;
  }
  return false;
}

os::INT_PTR OS_CALLBACK CDialog::DialogProc(os::HWND window, os::UINT message, os::WPARAM wParam,
                                            os::LPARAM lParam) {
  if (message == os::WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    os::SetPropA(window, DIALOG_OBJECT_PROP, dialog);
    dialog->m_hWnd = window;
    return dialog->OnInitDialog();
  }
  auto* dialog = static_cast<CDialog*>(os::GetPropA(window, DIALOG_OBJECT_PROP));
  if (!dialog) return os::FALSE;
  if (message == os::WM_DESTROY) os::RemovePropA(window, DIALOG_OBJECT_PROP);

  os::LRESULT result = 0;
  if (!dialog->OnMessage(message, wParam, lParam, result)) return os::FALSE;
  os::SetWindowLongA(window, os::DWL_MSGRESULT, static_cast<os::LONG>(result));
  return os::TRUE;
}
