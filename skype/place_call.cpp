// Turns the dialled text into the target of a Skype call and places it, or
// tells the user in words why it cannot be placed.
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/os_kernel.h"
#include "platform/os_window.h"
#include "shell/main_dialog.h"
#include "shell/settings.h"
#include "skype/skype_commands.h"

namespace {

constexpr os::DWORD AFTER_SEND_MS = 500;

std::string Without(std::string text, const char* characters) {
  text.erase(std::remove_if(text.begin(), text.end(),
                            [characters](char c) { return std::strchr(characters, c) != nullptr && c; }),
             text.end());
  return text;
}

bool IsSpeedDialSlot(const std::string& text) {
  if (text.size() == 1) return text[0] >= '1' && text[0] <= '9';
  return text.size() == 2 && text >= "10" && text <= "50";
}

// Digits and " -()+" only, a leading "+" passed over; a lone "+" is not.
bool LooksLikePhoneNumber(const std::string& text) {
  if (text == "+") return false;
  for (std::size_t i = text.empty() || text[0] != '+' ? 0 : 1; i < text.size(); ++i) {
    char c = text[i];
    if (!(c >= '0' && c <= '9') && !std::strchr(" -()+", c)) return false;
  }
  return true;
}

std::string Trimmed(const std::string& text) {
  std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool AllDigits(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string SpeedDialTarget(const std::string& slot) {
  char value[255] = {};
  os::GetPrivateProfileStringA("SpeedDial", ("t" + slot).c_str(), slot.c_str(), value, sizeof value,
                               GetSettingsPath().c_str());
  return value[0] ? value : slot;
}

}  // namespace

void CCorvaloPluginDlg::PlaceSkypeCall(int line) {
  if (LineOf(line) != LINE_SKYPE) return;
  PutOnHook(LINE_SOFTPHONE);
  os::SendMessageA(FindSoftphoneEdit(LINE_SOFTPHONE), os::WM_SETTEXT, 0, reinterpret_cast<os::LPARAM>("Special Call"));

  struct Failure {
    const char* event;
    const char* text;
  };
  const Failure* failure = nullptr;
  static const Failure NO_SKYPE = {
      "NoSkypeRunning", "You cannot place a Skype call unless the Skype dialer is also installed and running."};
  static const Failure NO_API = {"NoSkypeAPI",
                                 "You cannot place a Skype call until you authorize the CorvaloPlugin in the "
                                 "Skype dialer advanced options."};
  static const Failure TOO_SHORT = {"NotEnoughDigits", "Insufficient number of digits entered to place call."};

  if (!FindSoftphoneMain(LINE_SKYPE)) {
    failure = &NO_SKYPE;
  } else if (!skypeApiWindow) {
    failure = &NO_API;
  } else {
    std::string target = dialledNumber;
    if (Without(target, "*").empty()) target = "*";
    if (target != "*") {
      target = Without(target, "*");
      if (IsSpeedDialSlot(target)) target = SpeedDialTarget(target);
      target = LooksLikePhoneNumber(target) ? Without(target, " ()-") : Trimmed(target);
      target = Without(target, "+");
      if (target == "0") target = "echo123";
      if (target.size() > 2 && AllDigits(target)) {
        if (target.size() == 10 && target[0] != '0') target = "1" + target;
        target = "+" + target;
      }
    }
    dialledNumber = target;
    if (target.empty()) {
      failure = &TOO_SHORT;
    } else {
      SendSkypeCommand(SKYPE_FOCUS, nullptr);
      if (target != "*") {
        skypeCallAsked = 1;
        SendSkypeCommand(SKYPE_CALL, target.c_str());
      }
      os::Sleep(AFTER_SEND_MS);
    }
  }

  if (failure) {
    SetPhoneSignal(1, true);
    os::SetWindowTextA(statusText, failure->text);
    os::ShowWindow(m_hWnd, os::SW_SHOWNORMAL);
    PlaceWindow();
    WriteLog(failure->event);
  }
  CloseDialerWindows(LINE_SOFTPHONE);
}
