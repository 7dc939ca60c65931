// The finders' rules where z-order, class "contains" tests, exact class
// names, sizes and the owning thread decide: each finder asks the system for
// windows by exact class or by thread and walks a list taken at once, so
// these pin down that the answers are the ones a plain walk of the window
// list gives.
#include <string>
#include <vector>

#include "platform/os_window.h"
#include "shell/main_dialog.h"
#include "tests/unit/call_fixture.h"

namespace {

struct Shape {
  const char* className;
  const char* title;
  os::LONG style;
  int width, height;
};

// Creates the windows in order, so the last is first in z-order.
int ShapesMain(std::vector<Shape> shapes) {
  auto plain = [](os::HWND w, os::UINT m, os::WPARAM wp, os::LPARAM lp) {
    return os::DefWindowProcA(w, m, wp, lp);
  };
  for (const Shape& s : shapes) os::RegisterWindowClass(s.className, plain);
  for (const Shape& s : shapes) {
    os::CreateWindowExA(0, s.className, s.title, s.style, 0, 0, s.width, s.height, nullptr, 0);
  }
  os::MSG msg;
  while (os::GetMessageA(&msg, nullptr, 0, 0)) os::DispatchMessageA(&msg);
  return 0;
}

std::string ClassOf(os::HWND window) {
  char name[256] = {};
  os::GetClassNameA(window, name, 255);
  return name;
}

std::string TitleOf(os::HWND window) {
  char title[257] = {};
  os::GetWindowTextA(window, title, 256);
  return title;
}

constexpr os::LONG DIALER = os::WS_POPUP | os::WS_SYSMENU | os::WS_MINIMIZEBOX | os::WS_VISIBLE;
constexpr os::LONG POPUP = os::WS_POPUP | os::WS_VISIBLE;

class FinderOrderTest : public CallTest {
 protected:
  void Shapes(std::vector<Shape> shapes) {
    StartProgram();
    MoreShapes(shapes);
  }
  // Another process's windows, above those already there.
  void MoreShapes(std::vector<Shape> shapes) {
    desktop.StartProcess("C:\\Other\\shapes.exe", [shapes] { return ShapesMain(shapes); });
    desktop.RunFor(10);
  }
  template <typename Check>
  void InProgram(Check check) {
    desktop.RunInProcess(program, check);
  }
};

}  // namespace

// The popup is looked for among the dialer's thread's windows in z-order:
// any class containing "QWidget" counts, at either size, while other classes
// and other sizes do not.
TEST_F(FinderOrderTest, PopupIsTheFirstQWidgetKindOfEitherSizeOnTheDialersThread) {
  Shapes({{"QWidget", "magicJack", DIALER, 300, 400},
          {"QWidgetOwnDC", "", POPUP, 314, 139},
          {"Qt5Popup", "", POPUP, 280, 126},
          {"QWidget", "", POPUP, 280, 125}});
  InProgram([] {
    os::HWND popup = theMainWindow->FindIncomingPopup(1);
    EXPECT_EQ(ClassOf(popup), "QWidgetOwnDC");
    EXPECT_EQ(theMainWindow->FindIncomingPopup(2), nullptr);
  });
}

TEST_F(FinderOrderTest, PopupOfTheSmallerSizeAboveTheLargerIsTakenFirst) {
  Shapes({{"QWidget", "magicJack", DIALER, 300, 400},
          {"QWidget", "", POPUP, 314, 139},
          {"QWidget", "", POPUP, 280, 126},
          {"QWidget", "", POPUP, 10, 10}});
  InProgram([] {
    os::RECT rect = {};
    os::GetWindowRect(theMainWindow->FindIncomingPopup(1), &rect);
    EXPECT_EQ(rect.right - rect.left, 280);
    EXPECT_EQ(rect.bottom - rect.top, 126);
  });
}

// Another program's Qt window of a popup's size is never the softphone's
// popup, above or below the softphone's windows; the softphone's own popup
// is found either way.
TEST_F(FinderOrderTest, OnlyTheDialersThreadIsSearchedForThePopup) {
  const Shape stranger = {"QWidget", "", POPUP, 280, 126};
  Shapes({stranger});
  MoreShapes({{"QWidget", "magicJack", DIALER, 300, 400}});
  InProgram([] { EXPECT_EQ(theMainWindow->FindIncomingPopup(1), nullptr); });
  MoreShapes({stranger, stranger});
  InProgram([] { EXPECT_EQ(theMainWindow->FindIncomingPopup(1), nullptr); });

  // A softphone with its popup up, between strangers.
  MoreShapes({{"QWidget", "magicJack", DIALER, 300, 400}, {"QWidget", "", POPUP, 314, 139}});
  MoreShapes({stranger});
  InProgram([] {
    os::HWND popup = theMainWindow->FindIncomingPopup(1);
    os::RECT rect = {};
    os::GetWindowRect(popup, &rect);
    EXPECT_EQ(rect.right - rect.left, 314);
    EXPECT_EQ(os::GetWindowThreadProcessId(popup, nullptr),
              os::GetWindowThreadProcessId(theMainWindow->FindSoftphoneMain(1), nullptr));
  });
}

// Without a dialer the thread of the hooked window is searched: here a
// newer softphone's handset window, kept once its dialer has gone.
TEST_F(FinderOrderTest, WithoutADialerTheHookedWindowsThreadIsSearched) {
  desktop.SetRegistryString("Software\\talk4free\\USB Softphone", "usd", "2013.1");
  Shapes({{"Static", "CSJHandsetDriverWnd", 0, 10, 10},
          {"QWidget", "", POPUP, 280, 126},
          {"QWidget", "magicJack", DIALER, 300, 400}});
  desktop.RunFor(1100);
  os::HWND handset = os::FindWindowA("Static", "CSJHandsetDriverWnd");
  ASSERT_EQ(theMainWindow->softphoneWindow, handset);
  os::PostMessageA(os::FindWindowA("QWidget", "magicJack"), os::WM_CLOSE, 0, 0);
  desktop.RunFor(1100);
  ASSERT_EQ(theMainWindow->softphoneWindow, handset);
  InProgram([] {
    ASSERT_EQ(theMainWindow->FindSoftphoneMain(1), nullptr);
    EXPECT_EQ(theMainWindow->FindIncomingPopup(1), os::FindWindowA("QWidget", nullptr));
  });
}

// The system finds "magicJack" in any case; the rule wants it exactly, so
// the walk goes on to the next window that passes every test.
TEST_F(FinderOrderTest, DialerTitleIsExactAndTheWalkGoesOnPastAFailure) {
  Shapes({{"QWidgetOwnDC", "magicJack", DIALER, 300, 400},
          {"Other", "magicJack", DIALER, 300, 400},
          {"QWidget", "MAGICJACK", DIALER, 300, 400}});
  InProgram([] {
    os::HWND dialer = theMainWindow->FindSoftphoneMain(1);
    EXPECT_EQ(ClassOf(dialer), "QWidgetOwnDC");
    EXPECT_EQ(TitleOf(dialer), "magicJack");
  });
}

TEST_F(FinderOrderTest, DialerNeedsAllThreeStyleBits) {
  Shapes({{"QWidget", "magicJack", DIALER & ~os::WS_MINIMIZEBOX, 300, 400},
          {"QWidget", "magicJack", DIALER & ~os::WS_SYSMENU, 300, 400}});
  InProgram([] { EXPECT_EQ(theMainWindow->FindSoftphoneMain(1), nullptr); });
}

// Skype's search passes over the first top-level window even when it is
// Skype's, takes either class exactly (not another case of it), wants a
// title beginning "Skype", and of the two classes takes the one earlier in
// z-order.
TEST_F(FinderOrderTest, SkypeSearchSkipsTheTopWindowAndTakesTheEarlierExactClass) {
  Shapes({{"tSkMainForm.UnicodeClass", "Skype - lower", 0, 10, 10},
          {"tSkMainForm", "Skype - plain", 0, 10, 10},
          {"tSkMainForm.UnicodeClass", "Skyp", 0, 10, 10},
          {"TSKMAINFORM", "Skype - other case", 0, 10, 10},
          {"tSkMainForm.UnicodeClass", "Skype - top", 0, 10, 10}});
  InProgram([] {
    ASSERT_EQ(TitleOf(os::GetWindow(os::GetDesktopWindow(), os::GW_CHILD)), "Skype - top");
    EXPECT_EQ(TitleOf(theMainWindow->FindSoftphoneMain(2)), "Skype - plain");
  });
}

TEST_F(FinderOrderTest, SkypeOfTheUnicodeClassAboveThePlainOneIsTaken) {
  Shapes({{"tSkMainForm", "Skype - plain", 0, 10, 10},
          {"tSkMainForm.UnicodeClass", "Skype - unicode", 0, 10, 10},
          {"Top", "", 0, 10, 10}});
  InProgram([] { EXPECT_EQ(TitleOf(theMainWindow->FindSoftphoneMain(2)), "Skype - unicode"); });
}

TEST_F(FinderOrderTest, SkypeAsTheOnlyTopLevelCandidateOnTopIsNotFound) {
  Shapes({{"tSkMainForm", "Skype", 0, 10, 10}});
  InProgram([] {
    ASSERT_EQ(TitleOf(os::GetWindow(os::GetDesktopWindow(), os::GW_CHILD)), "Skype");
    EXPECT_EQ(theMainWindow->FindSoftphoneMain(2), nullptr);
  });
}
