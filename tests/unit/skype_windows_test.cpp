// Skype's windows after a call: every call window is closed, the call
// quality question last; Skype is minimised only while the user wants it.
#include "shell/main_dialog.h"
#include "tests/unit/skype_fixture.h"

namespace {

const char* const CALL_WINDOWS[] = {"TConversationForm.UnicodeClass",
                                    "TskCallPhonesForm.UnicodeClass",
                                    "TDirectoryForm.UnicodeClass",
                                    "TShopForm.UnicodeClass",
                                    "TLiveConversationWindow",
                                    "TConversationForm",
                                    "TDirectoryForm",
                                    "TShopForm",
                                    "TskCallPhonesForm",
                                    "TCallPhonesForm",
                                    "THomeForm",
                                    "TCallQualityForm"};

}  // namespace

class SkypeWindowsTest : public SkypeTest {
 protected:
  void CloseAfterCall(const std::string& option) {
    desktop.WriteFile(SETTINGS, "[Options]\r\nAutoMinimizeDialer=" + option + "\r\n");
    StartAttached();
    for (const char* name : CALL_WINDOWS) Cue(std::string("window ") + name, 0);
    desktop.RunFor(50);
    theMainWindow->lineMode = 2;  // a Skype call not answered: the softphone's dialer goes too
    desktop.RunInProcess(program, [] { theMainWindow->CloseDialerWindows(2); });
    desktop.RunFor(50);
  }
};

TEST_F(SkypeWindowsTest, AllCallWindowsCloseAndSkypeIsMinimisedWhenTheOptionIsOn) {
  CloseAfterCall("1");
  EXPECT_EQ(SkypeLines("closed"), std::vector<std::string>(std::begin(CALL_WINDOWS), std::end(CALL_WINDOWS)));
  EXPECT_EQ(SkypeLines("command").back(), "MINIMIZE");
  EXPECT_EQ(CountOf("AutoMinimizeDialerOn"), 2);  // read again for the softphone's dialer
  EXPECT_EQ(Transcript().back(), "sysclose");
}

TEST_F(SkypeWindowsTest, WithTheOptionOffTheWindowsStillCloseButNothingIsMinimised) {
  CloseAfterCall("0");
  EXPECT_EQ(SkypeLines("closed").size(), 12u);
  EXPECT_EQ(SkypeLines("command").back(), "GET SKYPEVERSION");
  EXPECT_EQ(SkypeLines("minimized").size(), 0u);
  EXPECT_EQ(CountOf("AutoMinimizeDialerOff"), 1);
  EXPECT_NE(Transcript().back(), "sysclose");
}
