// The Internet client seam over the real wininet API.
#include "platform/os_internet.h"

// Read before <wininet.h>, whose macros of the same names would replace them.
static constexpr os::DWORD seamPreconfig = os::INTERNET_OPEN_TYPE_PRECONFIG;
static constexpr os::DWORD seamDirect = os::INTERNET_OPEN_TYPE_DIRECT;
static constexpr os::DWORD seamProxy = os::INTERNET_OPEN_TYPE_PROXY;

#include "platform/win32/win32_api.h"

#include <wininet.h>

static_assert(seamPreconfig == INTERNET_OPEN_TYPE_PRECONFIG && seamDirect == INTERNET_OPEN_TYPE_DIRECT &&
                  seamProxy == INTERNET_OPEN_TYPE_PROXY,
              "the seam's access types are the system's");

namespace os {

namespace {
::HINTERNET I(HINTERNET handle) { return reinterpret_cast<::HINTERNET>(handle); }
HINTERNET I(::HINTERNET handle) { return reinterpret_cast<HINTERNET>(handle); }
}  // namespace

HINTERNET InternetOpenA(const char* agent, DWORD accessType, const char* proxy, const char* proxyBypass,
                        DWORD flags) {
  return I(::InternetOpenA(agent, accessType, proxy, proxyBypass, flags));
}
HINTERNET InternetOpenUrlA(HINTERNET session, const char* url, const char* headers, DWORD headersLength,
                           DWORD flags, UINT_PTR context) {
  return I(::InternetOpenUrlA(I(session), url, headers, headersLength, flags, context));
}
BOOL InternetReadFile(HINTERNET file, void* buffer, DWORD size, DWORD* read) {
  ::DWORD count = 0;
  BOOL ok = ::InternetReadFile(I(file), buffer, size, &count);
  if (read) *read = count;
  return ok;
}
BOOL InternetCloseHandle(HINTERNET handle) { return ::InternetCloseHandle(I(handle)); }

}  // namespace os
