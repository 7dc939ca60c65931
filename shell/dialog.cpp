#include "shell/dialog.h"

#include "platform/os_window.h"

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
    // The dialog's user slot leads from the window to its object; reading
    // it asks nothing of the window system, unlike a window property,
    // and every message of the dialog reads it.
    os::SetWindowLongPtrA(window, os::DWLP_USER, reinterpret_cast<os::LONG_PTR>(dialog));
    dialog->m_hWnd = window;
    return dialog->OnInitDialog();
  }
  auto* dialog = reinterpret_cast<CDialog*>(os::GetWindowLongPtrA(window, os::DWLP_USER));
  if (!dialog) return os::FALSE;
  if (message == os::WM_DESTROY) os::SetWindowLongPtrA(window, os::DWLP_USER, 0);

  os::LRESULT result = 0;
  if (!dialog->OnMessage(message, wParam, lParam, result)) return os::FALSE;
  os::SetWindowLongPtrA(window, os::DWLP_MSGRESULT, result);
  return os::TRUE;
}
