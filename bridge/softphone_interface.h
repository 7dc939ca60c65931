// What the program relies on from the adapter's softphone beyond its
// windows: the registry value that holds its version.
#pragma once

constexpr const char* SOFTPHONE_VERSION_KEY = "Software\\talk4free\\USB Softphone";  // under HKCU
constexpr const char* SOFTPHONE_VERSION_VALUE = "usd";
