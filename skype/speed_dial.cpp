// Looking up the speed-dial table for incoming callers.
#include "skype/speed_dial.h"

#include <algorithm>
#include <cstring>

#include "platform/os_kernel.h"
#include "shell/main_dialog.h"
#include "shell/settings.h"

namespace {

constexpr std::size_t VALUE_BUFFER = 255;
constexpr const char* UNKNOWN = "unknown";

std::string ReadSlotKey(char prefix, int slot) {
  char value[VALUE_BUFFER] = {};
  std::string key = prefix + std::to_string(slot);
  os::GetPrivateProfileStringA(SPEED_DIAL_SECTION, key.c_str(), "", value, sizeof value,
                               GetSettingsPath().c_str());
  value[VALUE_BUFFER - 1] = '\0';
  return value;
}

std::string Without(std::string text, const char* characters) {
  text.erase(std::remove_if(text.begin(), text.end(),
                            [characters](char c) { return c && std::strchr(characters, c); }),
             text.end());
  return text;
}

}  // namespace

std::string ReadSpeedDialName(int slot) { return ReadSlotKey('n', slot); }
std::string ReadSpeedDialTarget(int slot) { return ReadSlotKey('t', slot); }

// An empty name would match the first empty slot; it names nobody.
std::string FindSpeedDialNumber(const std::string& skypeName) {
  for (int slot = 1; slot <= SPEED_DIAL_SLOTS && !skypeName.empty(); ++slot) {
    if (Without(ReadSpeedDialTarget(slot), " *#()-") == skypeName) {
      theMainWindow->WriteLog("PBSDNumberFound");
      return std::to_string(slot);
    }
  }
  theMainWindow->WriteLog("PBSDNumberNotFound");
  return "0";
}

// A key made only of separators would be found in every slot; it names
// nobody.
std::string FindSpeedDialName(const std::string& key) {
  const char* separators = " -()*#+";
  std::string cleanKey = Without(key, separators);
  if (cleanKey.empty()) return UNKNOWN;
  for (int slot = 1; slot <= SPEED_DIAL_SLOTS; ++slot) {
    if (Without(ReadSpeedDialTarget(slot), separators).find(cleanKey) == std::string::npos) continue;
    std::string name = ReadSpeedDialName(slot);
    return name.empty() ? UNKNOWN : name;
  }
  return UNKNOWN;
}
