// The simulated desktop's text conversion, which the Skype link relies on
// for device names: Windows-1252 as the ANSI code page, UTF-16 and UTF-8,
// with the system's rules for sizes and failures.
#include <gtest/gtest.h>

#include <string>

#include "platform/os_kernel.h"
#include "platform/os_text.h"
#include "platform/sim/desktop.h"

namespace {

std::u16string Wide(const std::string& ansi) {
  os::WCHAR wide[64] = {};
  int units = os::MultiByteToWideChar(os::CP_ACP, 0, ansi.c_str(), -1, wide, 64);
  return units > 0 ? std::u16string(wide, static_cast<std::size_t>(units - 1)) : u"<failed>";
}

std::string Utf8(const std::u16string& wide) {
  char text[64] = {};
  int bytes = os::WideCharToMultiByte(os::CP_UTF8, 0, wide.c_str(), -1, text, sizeof text, nullptr, nullptr);
  return bytes > 0 ? std::string(text, static_cast<std::size_t>(bytes - 1)) : "<failed>";
}

class TextTest : public ::testing::Test {
 protected:
  sim::Desktop desktop;
};

}  // namespace

TEST_F(TextTest, AnsiIsWindows1252IncludingItsUndefinedBytes) {
  EXPECT_EQ(Wide("a\xE9\x80\x9F"), u"a\u00E9\u20AC\u0178");
  EXPECT_EQ(Wide("\x81\x8D"), u"\u0081\u008D");
  char back[8] = {};
  os::BOOL defaulted = os::FALSE;
  const os::WCHAR wide[] = u"\u20AC\u4E2D";
  EXPECT_EQ(os::WideCharToMultiByte(os::CP_ACP, 0, wide, 2, back, sizeof back, nullptr, &defaulted), 2);
  EXPECT_STREQ(back, "\x80?");
  EXPECT_EQ(defaulted, os::TRUE);
}

TEST_F(TextTest, Utf8EncodesPairsAndReplacesLoneSurrogates) {
  EXPECT_EQ(Utf8(u"\u00E9\u20AC"), "\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(Utf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8(std::u16string(1, u'\xD800') + u"x"), "\xEF\xBF\xBDx");
  os::WCHAR wide[8] = {};
  EXPECT_EQ(os::MultiByteToWideChar(os::CP_UTF8, 0, "\xC3\xA9\xC3", -1, wide, 8), 3);
  EXPECT_EQ(std::u16string(wide, 2), u"\u00E9\uFFFD");
}

TEST_F(TextTest, SizesAreAskedForWithZeroAndShortBuffersFail) {
  const os::WCHAR wide[] = u"\u00E9\u00E9";
  EXPECT_EQ(os::WideCharToMultiByte(os::CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr), 5);
  char text[4] = {};
  EXPECT_EQ(os::WideCharToMultiByte(os::CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr), 0);
  EXPECT_EQ(os::GetLastError(), os::ERROR_INSUFFICIENT_BUFFER);
  os::BOOL defaulted = os::FALSE;
  EXPECT_EQ(os::WideCharToMultiByte(os::CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, &defaulted), 0);
  EXPECT_EQ(os::GetLastError(), os::ERROR_INVALID_PARAMETER);  // UTF-8 takes no default character
  EXPECT_EQ(os::MultiByteToWideChar(1250, 0, "a", -1, nullptr, 0), 0);
}
