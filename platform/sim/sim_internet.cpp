// The Internet client of the simulated desktop: URLs answer with the bodies
// a test set, or fail to open.
#include <cstring>
#include <map>
#include <set>

#include "platform/os_internet.h"
#include "platform/sim/internet_replies.h"
#include "platform/sim/world.h"

namespace sim {

struct InternetState {
  std::vector<std::pair<std::string, std::string>> replies;  // URL prefix, body
  std::vector<HttpRequest> requests;
  struct Session {
    std::string agent;
    os::DWORD accessType;
    std::string proxy;
  };
  std::map<os::HINTERNET, Session> sessions;
  bool proxyRequired = false;
  std::map<os::HINTERNET, std::pair<std::string, std::size_t>> files;  // handle -> body, read position
  std::uintptr_t nextHandle = 0xB000;
};

namespace {

InternetState& State() {
  World& world = TheWorld();
  if (!world.internet) world.internet = std::make_shared<InternetState>();
  return *world.internet;
}

os::HINTERNET NewHandle() {
  auto handle = reinterpret_cast<os::HINTERNET>(State().nextHandle);
  State().nextHandle += 4;
  CountObject(kinds::INTERNET_HANDLES, handle);
  return handle;
}

}  // namespace

void SetHttpReply(const std::string& urlPrefix, const std::string& body) {
  State().replies.emplace_back(urlPrefix, body);
}
void ClearHttpReplies() { State().replies.clear(); }
void RequireProxy(bool required) { State().proxyRequired = required; }
const std::vector<HttpRequest>& HttpRequests() { return State().requests; }
int OpenInternetHandles() { return static_cast<int>(State().sessions.size() + State().files.size()); }

}  // namespace sim

namespace os {

// An unknown access type, or a named proxy without a name, is refused as
// the system's client refuses it.
HINTERNET InternetOpenA(const char* agent, DWORD accessType, const char* proxy, const char*, DWORD) {
  bool known = accessType == INTERNET_OPEN_TYPE_PRECONFIG || accessType == INTERNET_OPEN_TYPE_DIRECT ||
               accessType == INTERNET_OPEN_TYPE_PROXY;
  if (!known || (accessType == INTERNET_OPEN_TYPE_PROXY && (!proxy || !*proxy))) {
    sim::CurrentThread()->lastError = 87;  // ERROR_INVALID_PARAMETER
    return nullptr;
  }
  HINTERNET session = sim::NewHandle();
  sim::State().sessions[session] = {agent ? agent : "", accessType, proxy ? proxy : ""};
  return session;
}

HINTERNET InternetOpenUrlA(HINTERNET session, const char* url, const char*, DWORD, DWORD flags,
                           UINT_PTR context) {
  sim::InternetState& state = sim::State();
  auto found = state.sessions.find(session);
  if (found == state.sessions.end() || !url) return nullptr;
  state.requests.push_back(sim::HttpRequest{found->second.agent, found->second.accessType, url, flags, context});
  if (state.proxyRequired && found->second.accessType == INTERNET_OPEN_TYPE_DIRECT) return nullptr;
  for (auto it = state.replies.rbegin(); it != state.replies.rend(); ++it) {
    if (std::string(url).rfind(it->first, 0) == 0) {
      HINTERNET file = sim::NewHandle();
      state.files[file] = {it->second, 0};
      return file;
    }
  }
  return nullptr;
}

BOOL InternetReadFile(HINTERNET file, void* buffer, DWORD size, DWORD* read) {
  auto found = sim::State().files.find(file);
  if (found == sim::State().files.end()) return FALSE;
  auto& [body, position] = found->second;
  std::size_t count = std::min<std::size_t>(size, body.size() - position);
  std::memcpy(buffer, body.data() + position, count);
  position += count;
  if (read) *read = static_cast<DWORD>(count);
  return TRUE;
}

BOOL InternetCloseHandle(HINTERNET handle) {
  sim::InternetState& state = sim::State();
  if (!(state.files.erase(handle) + state.sessions.erase(handle))) return FALSE;
  sim::UncountObject(sim::kinds::INTERNET_HANDLES, handle);
  return TRUE;
}

}  // namespace os
