// A stand-in for the adapter's softphone: it shows the softphone's windows,
// keeps its registry value, owns the handset as the real one does, rings and
// answers calls of its own, and writes a transcript of what it received and
// did. Built over the OS seam, it runs as a real Win32 program in the
// end-to-end tests and as the softphone model on the simulated desktop.
//
// Two variants, chosen by the version, as the real softphone's releases:
//   before "2013"  the handset driver window ("Static" "CSJHandsetDriverWnd")
//                  lives on the dialer's own thread, and the number box
//                  ("Edit") is a child of the dialer ("QWidget" "magicJack");
//   from "2013"    the handset driver window lives on a second thread with a
//                  message loop of its own, the number box is its child, and
//                  the driver thread passes each key on to the dialer's
//                  thread, which keeps the call state.
//
// The handset. The softphone believes the handset is off hook from an
// off-hook key (0x8E or 0xC9) to an on-hook key (0x8F), wherever the key
// came from: an injected on-hook therefore makes it let go of the handset,
// and it ignores digits until the next off-hook, which only the real handset
// sends. While it holds the handset with no call, each digit, 'j' (star) and
// 0x88 (hash) is typed into its number box as "0".."9", "*", "#"; the box is
// cleared when the handset is lifted. During its own answered call the keys
// are tones.
//
// Calls of its own. A ringing call shows the popup (280 x 126, or 314 x 139)
// and the dialer; lifting the handset answers it (the popup goes), putting
// it down ends the call. The far end giving up ends a ringing or answered
// call. A click at client point 226,103 of the popup declines it. A call
// that arrives while the softphone holds the handset is refused as busy.
// Lifting the handset also shows the dialer again.
//
// The dialer. SC_CLOSE hides it, or moves it above the screen (--dialer-close
// offscreen); it comes back when a call of its own starts or on the show cue.
//
// Command line:
//   --version TEXT       registry value "usd" (default 2012.1)
//   --transcript PATH    where to write the transcript (default: beside the
//                        executable, softphone-transcript.txt)
//   --dialer-close MODE  what the dialer does on SC_CLOSE: hide (default) or
//                        offscreen
//
// Cues, as posted messages:
//   WM_USER+3 (1027) to the "CSJHandsetDriverWnd" window, wParam = handset
//     code: a real handset key (off hook 0x8E, on hook 0x8F, digits, 'j', 0x88).
//   SOFTPHONE_RING_CUE to the dialer: a call rings; wParam 0 shows the
//     280 x 126 popup, 1 the 314 x 139 one.
//   SOFTPHONE_HANG_UP_CUE to the dialer: the far end gives up or hangs up.
//   SOFTPHONE_SHOW_CUE to the dialer: the user brings the dialer back.
//   WM_CLOSE to the dialer: the softphone quits.
//
// Transcript lines:
//   "start <version>"          started
//   "handset 0xNN"             the handset window took a key (low byte)
//   "swallowed"                the handset window took WM_TIMER 10000
//   "inject 0xNN"              the hook target window took an injected key
//   "edit <text>"              someone else set the number box's text
//   "box <text>"               the softphone typed into or cleared its box
//   "tone <c>"                 a key during its own answered call
//   "popup <w>x<h>"            a call rings
//   "busy"                     a call was refused: the handset is in use
//   "popup-down <x>,<y>", "popup-click <x>,<y>"  mouse on the popup
//   "popup-gone"               the popup closed (answered, declined, given up)
//   "answer"                   lifting the handset answered the ringing call
//   "call-end"                 its answered call ended (on hook or far end)
//   "sysclose"                 the dialer took SC_CLOSE
//   "dialer-shown"             the hidden or moved-away dialer came back
//   "quit"                     the dialer was destroyed
#pragma once

#include "platform/os_types.h"

constexpr os::UINT SOFTPHONE_RING_CUE = os::WM_APP + 1;
constexpr os::UINT SOFTPHONE_HANG_UP_CUE = os::WM_APP + 2;
constexpr os::UINT SOFTPHONE_SHOW_CUE = os::WM_APP + 3;
constexpr const char* SOFTPHONE_REGISTRY_KEY = "Software\\talk4free\\USB Softphone";

int SoftphoneMain();
