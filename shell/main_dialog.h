// CCorvaloPluginDlg: the hidden "Call Status" dialog that is the program's
// main window. It owns every piece of run-time state as plain members; code
// outside its methods reaches it through theMainWindow.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

#include "device/critical_section.h"
#include "device/phone_sounds.h"
#include "platform/os_kernel.h"
#include "platform/os_types.h"
#include "platform/os_window.h"
#include "shell/about_dialog.h"
#include "shell/checklist_dialog.h"
#include "shell/dialog.h"
#include "skype/speed_dial_dialog.h"

// Call states (callState) and lines (lineMode). Sibling programs read these
// numbers in the status record ("cs=", "ct="), so they are fixed. A per-line
// operation takes LINE_SOFTPHONE or LINE_SKYPE, or CURRENT_LINE for lineMode.
constexpr std::int32_t CALL_IDLE = 0;
constexpr std::int32_t CALL_DIALLING = 1;
constexpr std::int32_t CALL_PLACING = 2;   // digits complete; a Skype call being placed or routed
constexpr std::int32_t CALL_ANSWERED = 3;  // talking
constexpr std::int32_t CALL_RINGING = 4;   // a call coming in
constexpr std::int32_t LINE_NONE = 0;
constexpr std::int32_t CURRENT_LINE = 0;
constexpr std::int32_t LINE_SOFTPHONE = 1;
constexpr std::int32_t LINE_SKYPE = 2;

enum class TrayState { NoAdapter, Initialising, SkypeNotAttached, Ready, OffHook };
// How the Skype call that rings the phone (callState 4 on the Skype line)
// came about: it rang in, the user started it in Skype's own window while
// the phone was idle, or it rang in and was then answered in Skype's window,
// so it no longer rings.
enum class SkypeRinging { RangIn, StartedInSkype, AnsweredInSkype };
enum class TrayUpdate { Add, Modify, Delete, Replace };
// Why the Skype link was lost: logged as "SkypeLinkLost:<reason>".
enum class SkypeLinkLoss { NoPong, Refused, SkypeGone };

class CCorvaloPluginDlg : public CDialog {
 public:
  explicit CCorvaloPluginDlg(os::HWND parent);
  ~CCorvaloPluginDlg() override;

  // Start-up, placement and shutdown.
  void PlaceWindow();
  void ProgramClose();

  // Event log.
  void OpenLog(const char* mode);
  // Any thread: the record is built and written on the GUI thread.
  void WriteLog(std::string event);
  void CloseLog();
  std::string BuildStatusRecord(const std::string& event) const;

  // Tray icon and its menu's commands.
  void SetTrayState(TrayState state, TrayUpdate update);
  void OnTrayNotify(os::WPARAM iconId, os::LPARAM mouseMessage);
  void OnAbout();
  void OnHelp();
  void OnSpeedDial();
  void UpdateCheck();

  // Call record and the handset (call state machine).
  void PrepareCall();
  // The call record back to idle: no call, no line, no Skype call.
  void ClearCall();
  void HandleKey(os::WPARAM code);
  void OnKeyReport(os::WPARAM code);
  unsigned TakeHeldHookKey();
  void KeepSoftphoneOffHandset();
  void OnOffHook();
  void OnAnswer();
  void OnOnHook();

  // Softphone windows: finders and line operations. A line is 1 for the
  // softphone, 2 for Skype, 0 for the current lineMode.
  os::HWND FindHandsetDriver(int line) const;
  os::HWND FindIncomingPopup(int line) const;
  os::HWND FindSoftphoneMain(int line) const;
  os::HWND FindSoftphoneTarget(int line) const;
  os::HWND SoftphoneTargetBeside(os::HWND dialer) const;
  os::HWND FindSoftphoneEdit(int line) const;
  // The incoming-call popup among the top-level windows of the thread of
  // dialer (FindSoftphoneMain for line 1), or of softphoneWindow when there
  // is no dialer.
  os::HWND IncomingPopupBeside(os::HWND dialer) const;
  void PutOnHook(int line);
  void DeclineCall(int line);
  void EndCall(int line);
  void CloseDialerWindows(int line);
  void TakeLine(int line);
  void MuteOn(int line);
  void MuteOff(int line);
  void SendPinDigit(char key, int line);
  // Returns the dialer it found (FindSoftphoneMain for line 1), so that the
  // rest of the poll asks the desktop for it only once.
  os::HWND AdoptSoftphone();
  // The window adoption would hook now beside the dialer found; the current
  // one when only the handset driver is left.
  os::HWND SoftphoneCandidate(os::HWND dialer);
  void GuardSoftphoneEdit();

  // Skype link.
  void SendSkypeCommand(int code, const char* argument);
  void CloseSkypeWindows();
  void SelectSkypeAudioDevices();
  void PlaceSkypeCall(int line);
  void HandleSkypeNotification(os::HWND sender, const os::COPYDATASTRUCT& record);

  // Phone signalling.
  bool SetPhoneSignal(int kind, bool on);
  void SetRinging(bool on);
  void SendCallerId(const std::string& number, const std::string& name, int suppress);

  // Worker threads: the one that finds and watches the adapter, and the one
  // that runs once per adapter arrival.
  static os::DWORD AdapterPollThread(void* mainWindow);
  static os::DWORD AdapterArrivalThread(void* mainWindow);
  // Asks AdapterPollThread to end and waits until it has let go of this
  // window (device/adapter_poll.cpp).
  void StopAdapterPollThread();
  // adapterSerial as the poll thread last wrote it.
  std::string CopyAdapterSerial() const;

  // Members, in their fixed order.
  CSpeedDialDlg SpeedDialDialog;
  CAboutDlg aboutDialog;
  CChecklistDlg checklistDialog;
  os::HMENU popupMenu = nullptr;
  std::atomic<std::uint32_t> adapterProductId{0};
  std::int32_t offHook = 0;
  std::int32_t callerIdPending = 0;
  std::string callerName;
  std::string callerNumber;
  os::HWND statusText = nullptr;    // control 1006, the visible status line
  os::HWND statusRecord = nullptr;  // control 1007, the hidden status record
  std::string dialledNumber;
  std::int32_t callState = CALL_IDLE;
  std::int32_t lineMode = LINE_NONE;
  std::int32_t muted = 0;
  std::int32_t pinDialling = 0;
  std::string windowsVersion;
  os::HWND skypeMainWindow = nullptr;
  // The dialer the last poll found, whose class has been tested, and its
  // thread: neither changes while the window exists (0: none).
  os::HWND lastDialer = nullptr;
  os::DWORD lastDialerThread = 0;
  std::atomic<os::HWND> skypeApiWindow{nullptr};  // also read by the arrival thread
  os::HWND lastSkypeApiWindow = nullptr;
  std::int32_t skypeCallId = 0;
  SkypeRinging skypeRinging = SkypeRinging::RangIn;  // meaningful while callState is 4 on line 2
  std::int32_t skypeCallAsked = 0;  // "CALL" was sent for the call in hand: an ERROR now is its failure
  std::uint32_t attachMessage = 0xFFFFFFFF;
  std::uint32_t discoverMessage = 0xFFFFFFFF;
  std::string skypeVersion;
  std::string partnerHandle;  // the caller's Skype name while its speed-dial slot is asked of Skype
  std::atomic<os::HWND> softphoneWindow{nullptr};  // also read by the adapter thread
  std::uint32_t handsetProxyMessage = 0;
  std::atomic<os::HANDLE> adapterHandle{nullptr};
  std::atomic<std::int32_t> adapterThreadStop{0};
  std::atomic<std::int32_t> adapterReady{0};
  // The last lift or hang-up the softphone reported while the adapter was
  // not yet ready (0: none), and when; the arrival thread hands it on once
  // it is (TakeHeldHookKey).
  std::atomic<std::uint32_t> heldHookKey{0};
  std::atomic<os::DWORD> heldHookKeyAt{0};
  std::string adapterSerial;
  std::string softphoneVersion;
  std::atomic<std::int32_t> adapterPlus{0};
  std::FILE* logFile = nullptr;
  std::int32_t logLineCount = 0;
  CPhoneSounds phoneSounds;
  // Beyond the fixed members: the poll thread writes the adapter record
  // under adapterLock and sets adapterThreadEnded as its last act.
  mutable CCriticalSection adapterLock;
  std::atomic<std::int32_t> adapterThreadEnded{0};
  // The tray's current look, so the icon can be put back when the shell
  // restarts ("TaskbarCreated"); set by SetTrayState on every thread.
  std::atomic<TrayState> trayState{TrayState::NoAdapter};
  std::atomic<bool> trayIconShown{false};
  std::uint32_t taskbarCreatedMessage = 0;

 protected:
  os::BOOL OnInitDialog() override;
  bool OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam,
                 os::LRESULT& result) override;

 private:
  void DoDataExchange();
  bool OnCommand(int command);
  void OnPaint();
  void CloseSequence();
  void ReadWindowsVersion();
  // Messages the message map does not name.
  bool DefWindowProc(os::UINT message, os::WPARAM wParam, os::LPARAM lParam, os::LRESULT& result);
  void OnHookReport(const std::string& text);
  void OnDeviceAdded();
  void OnDeviceRemoved();
  void OnSkypeAttach(os::HWND apiWindow, os::LPARAM status);
  void ReadSoftphoneVersion();
  void OnTaskbarCreated();
  // The Skype link's losses, logged with their reason, and the pause of
  // discovery for a Skype that attaches but takes no command.
  void DropSkypeLink(SkypeLinkLoss reason);
  void OnSkypeGone();
  void NoteRefusalAfterAttach();
  bool DiscoveryPaused() const;
  void ForgetSkypeRefusals();
  int attachRefusals = 0;
  os::DWORD discoveryPausedAt = 0;
  os::DWORD discoveryPauseMs = 0;
  // Timers.
  void OnTimer(os::UINT_PTR id);
  void OnRingOn();
  void OnRingOff();
  void OnDiallingDone();
  void OnNoAnswer();
  void Poll();
  void WatchSoftphoneCall(os::HWND dialer);
  void WatchSkype();
  // Moves the line to the Skype line and places the call, unless a sibling
  // program shows a call of its own.
  void CallSkypeUnlessSiblingBusy();
  // Skype's notifications about calls.
  void OnSkypeCallNotification(int id, const std::string& property, const std::string& value);
  void OnSkypeCallRinging(int id);
  void OnSkypeCallRouting(int id);
  void OnSkypeCallEnded();
  void OnSkypeCallAnsweredInSkype();
  void TakeSkypeCall(int id, SkypeRinging how);
  // A Skype call still ringing the phone: not yet answered anywhere.
  bool SkypeCallRings() const;
  void OnSkypePartnerHandle(const std::string& handle);
  void OnSkypeCallType(const std::string& type);
  void OnSkypeDialingError(const std::string& reason, const std::string& detail);
  int LineOf(int line) const { return line == CURRENT_LINE ? lineMode : line; }

  // Events that worker threads hand to the GUI thread's log, by cookie.
  void OnLogRequest(os::WPARAM cookie);
  void WriteLogHere(const std::string& event);
  os::DWORD guiThreadId = 0;
  CCriticalSection pendingLogLock;
  std::map<os::WPARAM, std::string> pendingLogEvents;
  os::WPARAM lastLogCookie = 0;
};

// The one main window of the process, set at the start of OnInitDialog.
extern CCorvaloPluginDlg* theMainWindow;

// The executable's directory with its trailing backslash, or "".
std::string GetAppDirectory();
