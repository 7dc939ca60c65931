// A modal dialog built from a dialog template, with a message handler that
// subclasses override. Handled messages answer with their result; the rest
// take the system's standard dialog processing.
#pragma once

#include "platform/os_types.h"

class CDialog {
 public:
  CDialog(int templateId, os::HWND parent);
  virtual ~CDialog() = default;
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Runs the dialog's modal loop; returns the result given to EndDialog.
  os::INT_PTR DoModal();
  // Ends the modal loop if the dialog is open; a closed dialog ignores it.
  void EndDialog(os::INT_PTR result);
  os::HWND GetSafeHwnd() const { return m_hWnd; }
  void SetParent(os::HWND parent) { parentWindow = parent; }

 protected:
  virtual os::BOOL OnInitDialog() { return os::TRUE; }
  // Returns true when the message was handled; result is then its answer.
  virtual bool OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam,
                         os::LRESULT& result);

  os::HWND m_hWnd = nullptr;

 private:
  static os::INT_PTR OS_CALLBACK DialogProc(os::HWND window, os::UINT message, os::WPARAM wParam,
                                            os::LPARAM lParam);

  int templateId;
  os::HWND parentWindow;
};
