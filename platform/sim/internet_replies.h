// The simulated Internet: tests say what a URL answers and read back every
// request the program made.
#pragma once

#include <string>
#include <vector>

#include "platform/os_types.h"

namespace sim {

struct HttpRequest {
  std::string agent;
  os::DWORD accessType;  // the session's, as InternetOpenA was given it
  std::string url;
  os::DWORD flags;
  os::UINT_PTR context;
};

// URLs that begin with prefix answer with body; with no reply set, every
// URL fails to open, as without a network.
void SetHttpReply(const std::string& urlPrefix, const std::string& body);
void ClearHttpReplies();
const std::vector<HttpRequest>& HttpRequests();
// The machine reaches the Internet only through the proxy in the user's
// settings (or, with false, directly too): a session opened for a direct
// connection then fails to open any URL, as behind such a firewall.
void RequireProxy(bool required);
// Handles the program has open that the simulated client gave it.
int OpenInternetHandles();

}  // namespace sim
