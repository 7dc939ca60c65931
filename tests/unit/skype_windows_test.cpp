// Skype's windows after a call: the windows Skype opened for the call are
// closed, the call quality question last; Skype is minimised only while the
// user wants it.
#include <algorithm>

#include "phonehook/hook_messages.h"
#include "tests/unit/skype_fixture.h"
#include "tests/unit/text_lines.h"

class SkypeWindowsTest : public SkypeTest {
 protected:
  // A call rings in, is answered, ended by the caller and hung up.
  void CallAndHangUp(const std::string& option) {
    desktop.WriteFile(SETTINGS, "[Options]\r\nAutoMinimizeDialer=" + option + "\r\n");
    StartAttached();
    Cue("ring bob", 3000);
    Handset(HANDSET_OFF_HOOK, 5000);
    Cue("end FINISHED", 1000);
    before = SkypeLines("command").size();
    Handset(HANDSET_ON_HOOK, 3000);
    ASSERT_TRUE(Has(LastRecordOf("CallOnhook"), "ct=0; cs=0; of=0;"));
  }
  std::size_t before = 0;
};

TEST_F(SkypeWindowsTest, TheCallsWindowsCloseAndSkypeIsMinimisedWhenTheOptionIsOn) {
  CallAndHangUp("1");
  std::vector<std::string> closed = SkypeLines("closed");
  EXPECT_TRUE(Contains(closed, "TConversationForm.UnicodeClass"));
  ASSERT_FALSE(closed.empty());
  EXPECT_EQ(closed.back(), "TCallQualityForm");
  EXPECT_TRUE(Contains(CommandsSince(before), "MINIMIZE"));
}

TEST_F(SkypeWindowsTest, WithTheOptionOffTheWindowsStillCloseButNothingIsMinimised) {
  CallAndHangUp("0");
  std::vector<std::string> closed = SkypeLines("closed");
  EXPECT_TRUE(Contains(closed, "TConversationForm.UnicodeClass"));
  EXPECT_TRUE(Contains(closed, "TCallQualityForm"));
  EXPECT_TRUE(Contains(CommandsSince(before), "HOOK ON"));  // the hang-up reached Skype
  EXPECT_FALSE(Contains(CommandsSince(before), "MINIMIZE"));
  EXPECT_EQ(SkypeLines("minimized").size(), 0u);
}
