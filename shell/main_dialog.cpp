// The main window's life: construction, OnInitDialog, placement, the message
// map and the orderly shutdown.
#include "shell/main_dialog.h"

#include <cstdio>

#include "phonehook/phonehook.h"
#include "platform/os_kernel.h"
#include "platform/os_window.h"
#include "resources/resource.h"
#include "shell/ids.h"

CCorvaloPluginDlg* theMainWindow = nullptr;

CCorvaloPluginDlg::CCorvaloPluginDlg(os::HWND parent) : CDialog(IDD_CORVALOPLUGIN_DIALOG, parent) {}

CCorvaloPluginDlg::~CCorvaloPluginDlg() {
  CloseLog();
  if (theMainWindow == this) theMainWindow = nullptr;
}

os::BOOL CCorvaloPluginDlg::OnInitDialog() {
  theMainWindow = this;
  guiThreadId = os::GetCurrentThreadId();
  // The shell broadcasts this message when it starts again after a crash or
  // a restart of Explorer, with an empty notification area.
  taskbarCreatedMessage = os::RegisterWindowMessageA("TaskbarCreated");
  SetTrayState(TrayState::NoAdapter, TrayUpdate::Add);
  PlaceWindow();

  os::LONG exStyle = os::GetWindowLongA(m_hWnd, os::GWL_EXSTYLE);
  os::SetWindowLongA(m_hWnd, os::GWL_EXSTYLE, (exStyle & ~os::WS_EX_APPWINDOW) | os::WS_EX_TOPMOST);

  PrepareCall();

  os::SetPriorityClass(os::GetCurrentProcess(), os::HIGH_PRIORITY_CLASS);
  os::SetThreadPriority(os::GetCurrentThread(), os::THREAD_PRIORITY_TIME_CRITICAL);

  ReadWindowsVersion();

  OpenLog("w");
  CloseLog();
  WriteLog("ProgramStart");

  os::SetTimer(m_hWnd, POLL_TIMER_ID, POLL_FIRST_MS);
  // Shutdown waits for the thread through adapterThreadEnded, not its handle.
  if (os::HANDLE thread = os::BeginThread(&CCorvaloPluginDlg::AdapterPollThread, this, os::THREAD_PRIORITY_TIME_CRITICAL))
    os::CloseHandle(thread);
  return os::TRUE;
}

void CCorvaloPluginDlg::DoDataExchange() {
  statusText = os::GetDlgItem(m_hWnd, IDC_CALL_STATUS);
  statusRecord = os::GetDlgItem(m_hWnd, IDC_STATUS_RECORD);
}

// Windows version as "major.minor": the extended record first, then the
// basic one; if both fail the zeroed record gives "0.0".
void CCorvaloPluginDlg::ReadWindowsVersion() {
  os::OSVERSIONINFOEXA info = {};
  info.dwOSVersionInfoSize = os::OSVERSIONINFOEX_SIZE;
  if (!os::GetVersionExA(&info)) {
    info = {};
    info.dwOSVersionInfoSize = os::OSVERSIONINFO_SIZE;
    if (!os::GetVersionExA(&info)) info = {};
  }
  char text[32];
  std::snprintf(text, sizeof text, "%u.%u", static_cast<unsigned>(info.dwMajorVersion),
                static_cast<unsigned>(info.dwMinorVersion));
  windowsVersion = text;
}

void CCorvaloPluginDlg::PlaceWindow() {
  int screenWidth = os::GetSystemMetrics(os::SM_CXSCREEN);
  int screenHeight = os::GetSystemMetrics(os::SM_CYSCREEN);
  os::RECT rect = {};
  os::GetWindowRect(m_hWnd, &rect);
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  os::SetWindowPos(m_hWnd, os::HWND_TOPMOST(), screenWidth - width - 10,
                   screenHeight - height - 50, width, height, os::SWP_NOSIZE);
}

bool CCorvaloPluginDlg::OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam,
                                  os::LRESULT& result) {
  result = 0;
  switch (message) {
    case os::WM_PAINT:
      if (offHook && !os::IsIconic(m_hWnd)) return false;  // default painting
      os::ShowWindow(m_hWnd, os::SW_HIDE);
      return true;
    case os::WM_QUERYDRAGICON:
      return true;  // no dragging icon
    case os::WM_CLOSE:
      CloseSequence();
      return true;
    case os::WM_TIMER:
      OnTimer(wParam);
      return true;
    case os::WM_DESTROY:
      return false;
    case TRAY_NOTIFY_MSG:
      OnTrayNotify(wParam, lParam);
      return true;
    case os::WM_COMMAND:
      if (OnCommand(static_cast<int>(wParam & 0xFFFF))) return true;
      break;
    default:
      break;
  }
  return DefWindowProc(message, wParam, lParam, result);
}

bool CCorvaloPluginDlg::OnCommand(int command) {
  switch (command) {
    case ID_SYSTEM_CLOSE:
      CloseSequence();
      return true;
    case ID_APP_EXIT:
      WriteLog("ExitRequest");
      CloseSequence();
      return true;
    case ID_APP_ABOUT:
      OnAbout();
      return true;
    case ID_HELP_OPEN:
      OnHelp();
      return true;
    case ID_SPEED_DIAL:
      OnSpeedDial();
      return true;
    case ID_UPDATE_CHECK:
      UpdateCheck();
      return true;
    default:
      return false;
  }
}

// WM_CLOSE and the close command: shut down, then end the modal loop with 0.
// The system's own close handling would only end the dialog as well, so the
// dialog is ended here directly.
void CCorvaloPluginDlg::CloseSequence() {
  ProgramClose();
  EndDialog(0);
}

void CCorvaloPluginDlg::ProgramClose() {
  clearMyHook(m_hWnd);

  SpeedDialDialog.EndDialog(0);
  aboutDialog.EndDialog(0);
  checklistDialog.EndDialog(0);

  StopAdapterPollThread();

  SetPhoneSignal(1, false);
  SetRinging(false);
  if (adapterThreadEnded) {  // the thread has let go of the adapter: so does the program
    CSingleLock lock(adapterLock);
    os::CloseHandle(adapterHandle);
    adapterHandle = nullptr;
  }

  WriteLog("ProgramClose");
  CloseLog();

  SetTrayState(TrayState::NoAdapter, TrayUpdate::Delete);

  for (os::UINT_PTR id : {DIGIT_TIMER_ID, RING_ON_TIMER_ID, RING_OFF_TIMER_ID, UNMUTE_TIMER_ID,
                          NO_ANSWER_TIMER_ID, POLL_TIMER_ID, SPARE_TIMER_ID}) {
    os::KillTimer(m_hWnd, id);
  }
}
