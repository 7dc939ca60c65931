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
//                       at the next discovery; "2" refuses the program; "1"
//                       keeps it waiting for the user's authorisation (the
//                       cue "authorize").
//   --version TEXT      the answer to "GET SKYPEVERSION" (default 8.1.0.2)
//   --user NAME         the signed-in user (default corvalo.tester)
//   --delivery sync     deliver synchronously from the start (see the cue
//                       "delivery"), the attach included
//   --transcript PATH   where the transcript goes (default: beside the
//                       executable, skype-transcript.txt)
//   --cues PATH         where cues are read from (default: beside the
//                       executable, skype-cues.txt)
//
// Attaching: a discovery answered with 0 attaches the asker; a moment later
// Skype tells it "CONNSTATUS ONLINE", "CURRENTUSERHANDLE <user>" and
// "USERSTATUS ONLINE", as Skype does.
//
// Cues: the test appends lines to the cue file, then posts SKYPE_CUE_MSG
// (wParam and lParam 0) to the main window; every complete line not yet
// carried out is carried out in order. "The current call" of a cue is the
// call started last that has not ended:
//   ring PARTNER [MS]       a call from PARTNER rings in ("CALL n STATUS
//                           RINGING"); the answer prompt shows while it rings;
//                           with MS, the caller gives up after MS ms if the
//                           call still rings (MISSED)
//   manual TARGET           the user places a call in Skype's own window:
//                           UNPLACED, ROUTING, then the far end rings (it
//                           answers only on the cue "answer")
//   answer                  the far end (or, for a call ringing in, the user
//                           in Skype's window) answers the current call:
//                           INPROGRESS and "VIDEO_STATUS VIDEO_NONE"
//   end STATUS              the current call ends with STATUS (FINISHED,
//                           MISSED, REFUSED, BUSY, CANCELLED, FAILED)
//   fail REASON             the current call fails: "CALL n FAILUREREASON
//                           REASON", then "CALL n STATUS FAILED"
//   calls answer [MS]       how "CALL x" goes on from now (the default):
//                           UNPLACED and ROUTING at once; 300 ms later the
//                           far end rings (RINGING, reported twice) or, for a
//                           telephone number, the network's EARLYMEDIA; MS
//                           (default 1000) later INPROGRESS and
//                           "VIDEO_STATUS VIDEO_NONE". The echo test
//                           ("echo123") answers by itself after 600 ms.
//   calls route             the same without the answer (except echo123)
//   calls fail REASON       ROUTING, then FAILUREREASON REASON and FAILED
//   calls busy              ROUTING, then STATUS BUSY
//   calls error TEXT        "CALL x" fails at once with "ERROR TEXT"
//   repeat on|off           every status the far end causes goes out twice
//   delivery sync|async     sync: what a command causes is sent back from
//                           inside the program's WM_COPYDATA, before the
//                           send returns, and the attach from inside the
//                           discovery broadcast, as a busy Skype does;
//                           async (default): a moment later from the loop
//   notify TEXT             sends TEXT as a notification, as it stands
//   pong on|off             whether "PING" is answered with "PONG"
//   commands take|refuse|refuse-attached
//                           whether commands are taken (result 1) or not
//                           (0); while refusing, discovery goes unanswered,
//                           but with refuse-attached it is answered with an
//                           attach, as a faulty Skype does
//   speeddial NAME VALUE    user NAME's "SPEEDDIAL" property
//   window CLASS            opens a secondary window of that class
//   authorize               the user authorises the program: the one that
//                           asked while pending is sent attach status 0
//   available               broadcasts attach status 0x8001 (the API has
//                           become available) to every top-level window
//   detach                  the API goes away, as when the user signs out:
//                           the attached program is sent attach status 3, and
//                           commands are refused and discovery unanswered
//                           until "available", and commands after it only
//                           from a program that has attached again
//
// While a call is in progress "CALL n DURATION k" goes out every second.
//
// Commands: "CALL x" places a call to x; "HOOK OFF" answers the ringing
// call; "HOOK ON" ends the call in progress, else the call started last (a
// ringing one is REFUSED, one not yet answered CANCELLED, one in progress
// FINISHED); "BTN_RELEASED NO" refuses a ringing call or cancels one not
// yet answered; Alt+Page Down (WM_HOTKEY 0xB003 to the main window) acts
// like "HOOK ON". Every call opens a conversation window, and its end a
// call-quality window; both stay until closed. "GET CALL n P" answers
// PARTNER_HANDLE,
// PARTNER_DISPNAME, TYPE, STATUS, PSTN_NUMBER, FAILUREREASON, DURATION and
// VIDEO_STATUS; "GET USER u P" SPEEDDIAL, FULLNAME, DISPLAYNAME and
// ONLINESTATUS. "SET AUDIO_IN/AUDIO_OUT name" is answered "AUDIO_IN name"
// for a device of the system's wave lists (a listed name cut at 31
// characters matches any name it begins), else "ERROR 50 cannot set
// device". Errors, in the API's words: "ERROR 2 Unknown command", "ERROR 4
// Empty target not allowed" (CALL), "ERROR 7 GET: invalid WHAT", "ERROR 10
// Invalid PROP" (GET USER), "ERROR 11 Invalid call id", "ERROR 13 Invalid
// PROP" (GET CALL), "ERROR 22 SET: invalid WHAT", "ERROR 41 Call not
// active" and "ERROR 42 Invalid DTMF code" (SET CALL n DTMF).
//
// Transcript lines: "start <version>", "discover", "attach 0x<status>",
// "authorized", "available", "detach", "command <text>", "refused <text>" (while
// refusing commands), "malformed <text>" (a record whose length does not
// end just after its NUL: not taken), "notify <text>", "unsent <text>"
// (nobody attached to send it to), "cue <line>", "unknown cue <line>",
// "hotkey 0x<wParam> 0x<lParam>", "minimized", "closed <class>", "quit".
#pragma once

#include "platform/os_types.h"

constexpr os::UINT SKYPE_CUE_MSG = os::WM_APP + 1;
constexpr const char* SKYPE_MAIN_CLASS = "tSkMainForm.UnicodeClass";
constexpr const char* SKYPE_MAIN_TITLE = "Skype";

int SkypeMain();
