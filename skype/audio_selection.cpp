// After Skype attaches it is told to use the adapter's audio devices. The
// same adapter may also be known by its name with " (2)" or " (3)" after
// it, so all three forms are sent; Skype keeps the one it knows.
#include <string>

#include "device/audio_devices.h"
#include "platform/os_kernel.h"
#include "shell/main_dialog.h"
#include "skype/skype_commands.h"

namespace {

constexpr os::DWORD PLATFORM_NT = 2;
constexpr os::DWORD VISTA_MAJOR = 6;

bool IsVistaOrLater() {
  os::OSVERSIONINFOEXA info = {};
  info.dwOSVersionInfoSize = os::OSVERSIONINFO_SIZE;
  if (!os::GetVersionExA(&info)) return false;
  return info.dwPlatformId == PLATFORM_NT && info.dwMajorVersion >= VISTA_MAJOR;
}

struct Completion {
  const char* product;
  const char* wholeEnd;
};
constexpr Completion COMPLETIONS[] = {
    {"USB Internet Phone", "USB Internet Phone by TigerJet)"},
    {"USB Audio Device", "USB Audio Device)"},
};

// From Vista on, the device list cuts the long names ("Speakers (USB Audio
// Device)") to 31 characters; Skype knows them whole, so a known product
// name ends the name again as it should.
std::string Completed(std::string name) {
  for (const Completion& completion : COMPLETIONS) {
    std::size_t at = name.find(completion.product);
    if (at != std::string::npos) name = name.substr(0, at) + completion.wholeEnd;
  }
  return name;
}

}  // namespace

void CCorvaloPluginDlg::SelectSkypeAudioDevices() {
  std::string output = GetWaveOutDeviceName(FindWaveOutDevice());
  std::string input = GetWaveInDeviceName(FindWaveInDevice());
  if (IsVistaOrLater()) {
    output = Completed(output);
    input = Completed(input);
  }
  for (const char* suffix : {"", " (2)", " (3)"}) {
    SendSkypeCommand(SKYPE_SET_AUDIO_IN, (input + suffix).c_str());
    SendSkypeCommand(SKYPE_SET_AUDIO_OUT, (output + suffix).c_str());
  }
}
