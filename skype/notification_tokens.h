// A Skype notification split into its first four words.
#pragma once

#include <cstddef>
#include <string>

struct NotificationTokens {
  static constexpr std::size_t COUNT = 4;
  static constexpr std::size_t MAX_LENGTH = 255;  // a token field holds 255 characters
  std::string token[COUNT];                       // missing words are empty
};

// Splits at white space, as "%s %s %s %s" scans. The text is read no
// further than size bytes or its first NUL; a word longer than MAX_LENGTH
// keeps its first MAX_LENGTH characters and the rest of it is skipped.
// Words after the fourth are ignored.
NotificationTokens SplitNotification(const char* text, std::size_t size);
