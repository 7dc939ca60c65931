// The system's Internet client: one session, one URL opened and read.
#pragma once

#include "platform/os_types.h"

namespace os {

struct HINTERNET__;
using HINTERNET = HINTERNET__*;

// Access types: the user's configured settings, a direct connection, or
// the proxy named in the call.
constexpr DWORD INTERNET_OPEN_TYPE_PRECONFIG = 0;
constexpr DWORD INTERNET_OPEN_TYPE_DIRECT = 1;
constexpr DWORD INTERNET_OPEN_TYPE_PROXY = 3;
constexpr DWORD INTERNET_FLAG_TRANSFER_ASCII = 0x00000001;

HINTERNET InternetOpenA(const char* agent, DWORD accessType, const char* proxy, const char* proxyBypass,
                        DWORD flags);
// Null when the URL cannot be opened (no network, unknown host, refused...).
HINTERNET InternetOpenUrlA(HINTERNET session, const char* url, const char* headers, DWORD headersLength,
                           DWORD flags, UINT_PTR context);
BOOL InternetReadFile(HINTERNET file, void* buffer, DWORD size, DWORD* read);
BOOL InternetCloseHandle(HINTERNET handle);

}  // namespace os
