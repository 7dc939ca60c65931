// A stand-in for the adapter's softphone: it shows the softphone's windows,
// keeps its registry value, takes posted handset keys through its message
// queue (so a message hook sees them), and writes a transcript of what it
// received. Built over the OS seam, it runs as a real Win32 program in the
// end-to-end tests and as the softphone model on the simulated desktop.
//
// Command line:
//   --version TEXT       registry value "usd" (default 2012.1). From "2013"
//                        on the number box is a child of the handset window.
//   --transcript PATH    where to write the transcript (default: beside the
//                        executable, softphone-transcript.txt)
//   --dialer-close MODE  what the dialer does on SC_CLOSE: hide (default) or
//                        offscreen (moves its top edge above the screen)
//
// Cues, as posted messages:
//   WM_USER+3 (1027) to the "CSJHandsetDriverWnd" window, wParam = handset
//     code: a real handset key (off hook 0x8E, on hook 0x8F, digits, 'j', 0x88).
//   SOFTPHONE_RING_CUE to the main window: an incoming call rings; wParam 0
//     shows the 280 x 126 popup, 1 the 314 x 139 one.
//   SOFTPHONE_HANG_UP_CUE to the main window: the incoming call ends.
//   WM_CLOSE to the main window: the softphone quits.
//
// Transcript lines: "start <version>", "handset 0xNN", "swallowed",
// "inject 0xNN", "edit <text>", "popup <w>x<h>", "popup-down <x>,<y>",
// "popup-click <x>,<y>", "popup-gone", "sysclose", "quit".
#pragma once

#include "platform/os_types.h"

constexpr os::UINT SOFTPHONE_RING_CUE = os::WM_APP + 1;
constexpr os::UINT SOFTPHONE_HANG_UP_CUE = os::WM_APP + 2;
constexpr const char* SOFTPHONE_REGISTRY_KEY = "Software\\talk4free\\USB Softphone";

int SoftphoneMain();
