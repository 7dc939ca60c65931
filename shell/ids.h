// The program's own message numbers, timer ids, menu command ids and window
// names. The messages that cross into the softphone are in
// phonehook/hook_messages.h.
#pragma once

#include "platform/os_types.h"

// Program identity, written into every status record.
constexpr const char* PROGRAM_NAME = "CorvaloPlugin";
constexpr const char* PROGRAM_RELEASE = "2.06";
constexpr const char* SINGLE_INSTANCE_MUTEX = "CorvaloPlugin-088FA840-B10D-11D3-BC36-006067709674";

// Window classes and titles.
constexpr const char* DIALOG_CLASS = "#32770";
constexpr const char* MAIN_WINDOW_TITLE = "CorvaloPlugin - Call Status";
constexpr const char* FRAME_WINDOW_CLASS = "CorvaloPluginFrame";

// Private messages of the main window.
constexpr os::UINT TRAY_NOTIFY_MSG = os::WM_USER + 1;  // 0x401
constexpr os::UINT DEVICE_ADDED_MSG = 0x1400;
constexpr os::UINT DEVICE_REMOVED_MSG = 0x1401;
// A worker thread's event for the log (wParam: its cookie), sent to the GUI
// thread, which writes every record.
constexpr os::UINT LOG_REQUEST_MSG = os::WM_APP + 0x40;

// The tray icon's id within the main window.
constexpr os::UINT TRAY_ICON_ID = 1;

// Main-window timers; every one is one-shot and re-armed by its handler.
constexpr os::UINT_PTR PING_TIMER_ID = 1;
constexpr os::UINT_PTR PONG_TIMER_ID = 2;
constexpr os::UINT_PTR RING_ON_TIMER_ID = 3;
constexpr os::UINT_PTR RING_OFF_TIMER_ID = 4;
constexpr os::UINT_PTR DIGIT_TIMER_ID = 5;
constexpr os::UINT_PTR UNMUTE_TIMER_ID = 7;
constexpr os::UINT_PTR NO_ANSWER_TIMER_ID = 9;
constexpr os::UINT_PTR POLL_TIMER_ID = 13;
constexpr os::UINT_PTR SPARE_TIMER_ID = 14;  // killed at shutdown; started by nothing

// The Skype keep-alive: a PING every 30 s, each answered within 15 s.
constexpr os::UINT PING_PERIOD_MS = 30000;
constexpr os::UINT PONG_DEADLINE_MS = 15000;

// Poll periods.
constexpr os::UINT POLL_FIRST_MS = 1;
constexpr os::UINT POLL_ATTACHED_MS = 100;
constexpr os::UINT POLL_DETACHED_MS = 1000;

// The menu commands are resource ids (resources/resource.h); this is the
// system's close command.
constexpr int ID_SYSTEM_CLOSE = os::IDCLOSE;  // 8
