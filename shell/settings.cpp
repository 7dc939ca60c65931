#include "shell/settings.h"

#include "platform/os_kernel.h"
#include "shell/ids.h"
#include "shell/main_dialog.h"

namespace {

bool ReadOption(const char* key) {
  bool on = os::GetPrivateProfileIntA("Options", key, 1, GetSettingsPath().c_str()) == 1;
  theMainWindow->WriteLog(std::string(key) + (on ? "On" : "Off"));
  return on;
}

}  // namespace

std::string MirrorDigits(const std::string& text) {
  std::string mirrored = text;
  for (char& c : mirrored) {
    if (c >= '0' && c <= '9') c = static_cast<char>('9' - (c - '0'));
  }
  return mirrored;
}

std::string GetSettingsPath() {
  return GetAppDirectory() + PROGRAM_NAME + "$" + MirrorDigits(theMainWindow->CopyAdapterSerial()) + ".ini";
}

bool IsAutoMinimizeDialerOn() { return ReadOption("AutoMinimizeDialer"); }
bool IsAllowPinDialingOn() { return ReadOption("AllowPinDialing"); }
