// The settings file: one initialisation file per adapter beside the
// executable, never held open; every use rebuilds its path.
#pragma once

#include <string>

// GetAppDirectory() + "CorvaloPlugin$" + MirrorDigits(adapterSerial) + ".ini"
std::string GetSettingsPath();
// Every decimal digit d becomes 9 - d; everything else stays.
std::string MirrorDigits(const std::string& text);

// The two options, read anew at every use (default on; only 1 is on); each
// reading logs the option's name with "On" or "Off".
bool IsAutoMinimizeDialerOn();
bool IsAllowPinDialingOn();
