// Where the simulated desktop is as strict as Windows: the notification
// area keeps only what a record's flags name and refuses sizes and icons it
// does not know; the Internet client honours the access type; a device held
// by another program opens only without data access and with full sharing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/os_hid.h"
#include "platform/os_internet.h"
#include "platform/os_kernel.h"
#include "platform/os_shell.h"
#include "platform/sim/desktop.h"
#include "platform/sim/hid_devices.h"
#include "platform/sim/internet_replies.h"

namespace {

const os::HWND OWNER = reinterpret_cast<os::HWND>(0x1234);

os::NOTIFYICONDATAA Record(os::UINT flags, int icon, const char* tip) {
  os::NOTIFYICONDATAA record = {};
  record.cbSize = os::NOTIFYICONDATA_V2_SIZE;
  record.hWnd = OWNER;
  record.uID = 1;
  record.uFlags = flags;
  record.uCallbackMessage = 0x401;
  record.hIcon = os::LoadIconResource(icon, 16, 16);
  std::strncpy(record.szTip, tip, sizeof record.szTip - 1);
  return record;
}

const os::DWORD SHARE_BOTH = os::FILE_SHARE_READ | os::FILE_SHARE_WRITE;

std::string HeldAdapter() {
  sim::HidDevice device;
  device.vendorId = 0x06E6;
  device.productId = 0xC200;
  device.featureLengths = {33};
  device.heldBySoftphone = true;
  return sim::PlugInHidDevice(device);
}

}  // namespace

TEST(StrictTray, AnIconKeepsOnlyWhatTheFlagsOfItsRecordsName) {
  sim::Desktop desktop;
  os::NOTIFYICONDATAA record = Record(os::NIF_TIP, 136, "tip only");
  ASSERT_TRUE(os::Shell_NotifyIconA(os::NIM_ADD, &record));
  sim::TrayIcon icon = desktop.TrayIcons().at(0);
  EXPECT_EQ(icon.callbackMessage, 0u);  // no NIF_MESSAGE: clicks reach nobody
  EXPECT_EQ(icon.iconResource, 0);
  EXPECT_EQ(icon.tip, "tip only");

  record = Record(os::NIF_ICON | os::NIF_MESSAGE, 144, "not taken");
  ASSERT_TRUE(os::Shell_NotifyIconA(os::NIM_MODIFY, &record));
  icon = desktop.TrayIcons().at(0);
  EXPECT_EQ(icon.callbackMessage, 0x401u);
  EXPECT_EQ(icon.iconResource, 144);
  EXPECT_EQ(icon.tip, "tip only");
  EXPECT_EQ(icon.iconWidth, 16);
  EXPECT_EQ(icon.iconHeight, 16);
}

TEST(StrictTray, UnknownRecordSizesAndIconHandlesAreRefused) {
  sim::Desktop desktop;
  os::NOTIFYICONDATAA record = Record(os::NIF_ICON | os::NIF_TIP | os::NIF_MESSAGE, 136, "x");
  record.cbSize = sizeof record;  // the seam's own layout, not a size the shell knows
  EXPECT_FALSE(os::Shell_NotifyIconA(os::NIM_ADD, &record));
  record.cbSize = 0;
  EXPECT_FALSE(os::Shell_NotifyIconA(os::NIM_ADD, &record));
  record.cbSize = os::NOTIFYICONDATA_V2_SIZE;
  record.hIcon = reinterpret_cast<os::HICON>(0x5678);  // never loaded
  EXPECT_FALSE(os::Shell_NotifyIconA(os::NIM_ADD, &record));
  EXPECT_TRUE(desktop.TrayIcons().empty());

  record = Record(os::NIF_ICON, 137, "");
  record.hIcon = os::LoadIconResource(137, 32, 32);
  ASSERT_TRUE(os::Shell_NotifyIconA(os::NIM_ADD, &record));
  EXPECT_EQ(desktop.TrayEvents().back().iconWidth, 32);  // recorded, for the tests to check
}

TEST(StrictInternet, TheAccessTypeIsRecordedAndADirectSessionFailsBehindAProxy) {
  sim::Desktop desktop;
  sim::SetHttpReply("http://example.test/", "result=ok");
  sim::RequireProxy(true);
  os::HINTERNET direct = os::InternetOpenA("agent", os::INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  ASSERT_NE(direct, nullptr);
  EXPECT_EQ(os::InternetOpenUrlA(direct, "http://example.test/a", nullptr, 0, 0, 1), nullptr);
  os::HINTERNET configured =
      os::InternetOpenA("agent", os::INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  os::HINTERNET reply = os::InternetOpenUrlA(configured, "http://example.test/a", nullptr, 0, 0, 1);
  EXPECT_NE(reply, nullptr);
  ASSERT_EQ(sim::HttpRequests().size(), 2u);
  EXPECT_EQ(sim::HttpRequests()[0].accessType, os::INTERNET_OPEN_TYPE_DIRECT);
  EXPECT_EQ(sim::HttpRequests()[1].accessType, os::INTERNET_OPEN_TYPE_PRECONFIG);

  EXPECT_EQ(os::InternetOpenA("agent", os::INTERNET_OPEN_TYPE_PROXY, nullptr, nullptr, 0), nullptr);
  EXPECT_EQ(os::InternetOpenA("agent", 2, nullptr, nullptr, 0), nullptr);
  for (os::HINTERNET handle : {reply, configured, direct}) os::InternetCloseHandle(handle);
}

TEST(StrictDevice, ADeviceTheSoftphoneHoldsOpensOnlyWithoutDataAccessAndSharingBoth) {
  sim::Desktop desktop;
  std::string path = HeldAdapter();
  os::DWORD tool = desktop.StartProcess("C:\\Tools\\tool.exe", [] {
    os::Sleep(60000);
    return 0;
  });
  desktop.RunInProcess(tool, [&] {
    struct Attempt {
      os::DWORD access, share;
      bool opens;
    };
    for (Attempt attempt : {Attempt{os::GENERIC_READ, SHARE_BOTH, false},
                            Attempt{os::GENERIC_WRITE, SHARE_BOTH, false},
                            Attempt{0, os::FILE_SHARE_READ, false}, Attempt{0, os::FILE_SHARE_WRITE, false},
                            Attempt{0, SHARE_BOTH, true}}) {
      os::HANDLE handle =
          os::CreateFileA(path.c_str(), attempt.access, attempt.share, os::OPEN_EXISTING, os::FILE_FLAG_OVERLAPPED);
      EXPECT_EQ(handle != os::INVALID_HANDLE_VALUE(), attempt.opens) << attempt.access << " " << attempt.share;
      if (!attempt.opens) {
        EXPECT_EQ(os::GetLastError(), os::ERROR_SHARING_VIOLATION);
      }
    }
  });
  const sim::DeviceOpen& last = sim::DeviceOpens().back();
  EXPECT_TRUE(last.succeeded);
  EXPECT_EQ(last.flags, os::FILE_FLAG_OVERLAPPED);
  EXPECT_EQ(sim::DeviceOpens().size(), 5u);
}

TEST(StrictDevice, OpensOfTwoProcessesMustShareWhatTheOtherUses) {
  sim::Desktop desktop;
  sim::HidDevice free;
  free.vendorId = 0x1234;
  std::string path = sim::PlugInHidDevice(free);
  os::HANDLE reader = nullptr;
  os::DWORD first = desktop.StartProcess("C:\\Tools\\first.exe", [] {
    os::Sleep(60000);
    return 0;
  });
  desktop.RunInProcess(first, [&] {
    reader = os::CreateFileA(path.c_str(), os::GENERIC_READ, os::FILE_SHARE_READ, os::OPEN_EXISTING, 0);
  });
  ASSERT_NE(reader, os::INVALID_HANDLE_VALUE());
  os::DWORD second = desktop.StartProcess("C:\\Tools\\second.exe", [] {
    os::Sleep(60000);
    return 0;
  });
  desktop.RunInProcess(second, [&] {
    // The reader shares no writing, and it reads, so this open must share reading.
    EXPECT_EQ(os::CreateFileA(path.c_str(), os::GENERIC_WRITE, SHARE_BOTH, os::OPEN_EXISTING, 0),
              os::INVALID_HANDLE_VALUE());
    EXPECT_EQ(os::CreateFileA(path.c_str(), os::GENERIC_READ, os::FILE_SHARE_WRITE, os::OPEN_EXISTING, 0),
              os::INVALID_HANDLE_VALUE());
    EXPECT_NE(os::CreateFileA(path.c_str(), os::GENERIC_READ, SHARE_BOTH, os::OPEN_EXISTING, 0),
              os::INVALID_HANDLE_VALUE());
  });
  desktop.RunInProcess(first, [&] { os::CloseHandle(reader); });
  desktop.RunInProcess(second, [&] {
    EXPECT_NE(os::CreateFileA(path.c_str(), os::GENERIC_WRITE, os::FILE_SHARE_READ, os::OPEN_EXISTING, 0),
              os::INVALID_HANDLE_VALUE());
  });
}
