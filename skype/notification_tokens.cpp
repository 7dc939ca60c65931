#include "skype/notification_tokens.h"

#include <algorithm>
#include <cstring>

namespace {

// The white space of the C locale, which the scanning format skips.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

NotificationTokens SplitNotification(const char* text, std::size_t size) {
  NotificationTokens tokens;
  if (!text) return tokens;
  std::size_t end = strnlen(text, size);
  std::size_t at = 0;
  for (std::string& token : tokens.token) {
    while (at < end && IsBlank(text[at])) ++at;
    std::size_t start = at;
    while (at < end && !IsBlank(text[at])) ++at;
    token.assign(text + start, std::min(at - start, NotificationTokens::MAX_LENGTH));
  }
  return tokens;
}
