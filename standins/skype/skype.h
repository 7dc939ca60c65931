// A stand-in for the Skype desktop client: it shows Skype's main window,
// answers the API's discovery broadcast with the attach message, takes
// commands over WM_COPYDATA and answers them the way the program relies on,
// keeps a small model of its calls, and writes a transcript of what it
// received and sent. Built over the OS seam, it runs as a real Win32
// program in the end-to-end tests and as the Skype model on the simulated
// desktop.
//
// Command line:
//   --attach S[,S...]   the attach status answered to each discovery
//                       broadcast in turn, the last one repeating (default
//                       0). "0x8001,0" announces the API first and attaches
//                       at the next discovery; "2" refuses the program.
//   --version TEXT      the answer to "GET SKYPEVERSION" (default 8.1.0.2)
//   --transcript PATH   where the transcript goes (default: beside the
//                       executable, skype-transcript.txt)
//   --cues PATH         where cues are read from (default: beside the
//                       executable, skype-cues.txt)
//
// Cues: the test appends lines to the cue file, then posts SKYPE_CUE_MSG
// (wParam and lParam 0) to the main window; every complete line not yet
// carried out is carried out in order:
//   ring PARTNER            a call from PARTNER rings in ("CALL n STATUS
//                           RINGING"); the answer prompt shows while it rings
//   manual TARGET           the user places a call in Skype's own window
//                           ("CALL n STATUS ROUTING")
//   answer                  the far end answers the current call (INPROGRESS)
//   end STATUS              the current call ends with STATUS (FINISHED,
//                           MISSED, REFUSED, BUSY, CANCELLED, FAILED)
//   calls answer|route      how "CALL x" goes on from now: ROUTING and
//                           INPROGRESS (the default), or ROUTING only
//   calls error TEXT        "CALL x" fails at once with "ERROR TEXT"
//   notify TEXT             sends TEXT as a notification, as it stands
//   pong on|off             whether "PING" is answered with "PONG"
//   commands take|refuse    whether commands are taken (result 1) or not
//                           (0); while refusing, discovery goes unanswered
//   speeddial NAME VALUE    user NAME's "SPEEDDIAL" property
//   window CLASS            opens a secondary window of that class
//
// Calls: "CALL x" places a call to x; "HOOK OFF" answers the ringing call;
// "HOOK ON" ends the current call; "BTN_RELEASED NO" refuses a ringing call
// or cancels one not yet answered; Alt+Page Down (WM_HOTKEY 0xB003 to the
// main window) ends the current call. Every call opens a conversation
// window, and its end a call-quality window; both stay until closed.
//
// Transcript lines: "start <version>", "discover", "attach 0x<status>",
// "command <text>", "refused <text>" (while refusing commands), "malformed
// <text>" (a record whose length does not end just after its NUL: not
// taken), "notify <text>", "unsent <text>" (nobody attached to send it to),
// "cue <line>", "unknown cue <line>", "hotkey 0x<wParam> 0x<lParam>",
// "minimized", "closed <class>", "quit".
#pragma once

#include "platform/os_types.h"

constexpr os::UINT SKYPE_CUE_MSG = os::WM_APP + 1;
constexpr const char* SKYPE_MAIN_CLASS = "tSkMainForm.UnicodeClass";
constexpr const char* SKYPE_MAIN_TITLE = "Skype";

int SkypeMain();
