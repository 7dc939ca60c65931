// The speed-dial table: 50 slots in section "SpeedDial" of the settings
// file, key "n<k>" for the person's name and "t<k>" for the Skype name,
// alias or telephone number. It is read afresh at every use.
#pragma once

#include <string>

constexpr int SPEED_DIAL_SLOTS = 50;
constexpr const char* SPEED_DIAL_SECTION = "SpeedDial";

// Reads "n<slot>" or "t<slot>" (empty when missing), at most 254 characters.
std::string ReadSpeedDialName(int slot);
std::string ReadSpeedDialTarget(int slot);

// The slot whose target, without blanks, "*", "#", brackets and dashes,
// equals the Skype name exactly, as decimal text; "0" when none does or
// the name is empty.
// Logs "PBSDNumberFound" or "PBSDNumberNotFound".
std::string FindSpeedDialNumber(const std::string& skypeName);

// The person's name of the first slot whose target contains the key, both
// compared without blanks, dashes, brackets, "*", "#" and "+"; "unknown"
// when no slot does, when nothing of the key is left, or when that slot
// has no name.
std::string FindSpeedDialName(const std::string& key);
