#include "shell/app.h"

#include "platform/os_kernel.h"
#include "platform/os_window.h"
#include "shell/ids.h"
#include "shell/main_dialog.h"

namespace {

os::LRESULT OS_CALLBACK FrameWindowProc(os::HWND window, os::UINT message, os::WPARAM wParam,
                                        os::LPARAM lParam) {
  return os::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool CCorvaloPluginApp::InitInstance() {
  os::HANDLE mutex = os::CreateMutexA(os::TRUE, SINGLE_INSTANCE_MUTEX);
  os::DWORD error = os::GetLastError();
  // The handle stays open for the life of the process, which keeps the name
  // in existence; ownership is not needed.
  if (mutex) os::ReleaseMutex(mutex);
  if (error == os::ERROR_ALREADY_EXISTS) {
    os::MessageBoxA(nullptr, "An instance of the application is already running.", "Warning",
                    os::MB_OK);
    return false;
  }

  // A hidden frame window parents the main window, so that the main window
  // gets no task-bar button of its own.
  os::RegisterWindowClass(FRAME_WINDOW_CLASS, &FrameWindowProc);
  os::HWND frame = os::CreateWindowExA(0, FRAME_WINDOW_CLASS, "", os::WS_OVERLAPPEDWINDOW,
                                       os::CW_USEDEFAULT, os::CW_USEDEFAULT, os::CW_USEDEFAULT,
                                       os::CW_USEDEFAULT, nullptr, 0);
  {
    CCorvaloPluginDlg mainWindow(frame);
    mainWindow.DoModal();
  }
  os::DestroyWindow(frame);
  return false;
}

int ProgramMain() {
  CCorvaloPluginApp app;
  app.InitInstance();
  return 0;
}
