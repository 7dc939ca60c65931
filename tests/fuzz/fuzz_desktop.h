// The shared harness of the fuzz targets: one simulated desktop per fuzzing
// process, holding the program and the outside programs it talks to, reused
// from input to input and built afresh every so often (or when an input
// leaves the program somewhere it cannot be brought back from), so that
// each input costs a few milliseconds rather than a whole start-up.
//
// Inputs reach the program only through its real entry paths: window
// messages from the windows it trusts, the USB bus, the registry, the
// settings file, the Internet replies. After each input the harness checks
// what must always hold and aborts (a finding for libFuzzer) when it does
// not.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/os_types.h"
#include "platform/sim/desktop.h"

// Reads an input from the front: bytes, small numbers and texts.
class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::size_t Left() const { return size_ - at_; }
  // The next count bytes (fewer at the end).
  std::string Bytes(std::size_t count);
  // Everything not yet read.
  std::string Rest() { return Bytes(Left()); }
  // Bytes up to the next separator byte (not included), or the rest.
  std::string Until(char separator);

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// Line feeds end a record in the record targets' inputs; a record whose
// shape byte has bit 2 set carries one for each 0x01 byte instead.
void LineBreaksFromMarks(std::string& text);

struct DesktopParts {
  bool adapter = true;    // the second-generation adapter on the bus
  bool softphone = true;  // the softphone model, which the program hooks
  bool skype = true;      // the Skype model, attached
};

class FuzzDesktop {
 public:
  static constexpr const char* EXE_PATH = "C:\\Program Files\\CorvaloPlugin\\CorvaloPlugin.exe";
  static constexpr const char* LOG_PATH = "C:\\Program Files\\CorvaloPlugin\\CorvaloPlugin$Logfile.log";
  // The settings file of the adapter's serial "MJ00A1B2C3D4".
  static constexpr const char* ADAPTER_SETTINGS =
      "C:\\Program Files\\CorvaloPlugin\\CorvaloPlugin$mj99a8b7c6d5.ini";
  static constexpr const char* SKYPE_EXE = "C:\\Program Files\\Skype\\Skype.exe";
  static constexpr const char* SKYPE_TRANSCRIPT = "C:\\Program Files\\Skype\\skype-transcript.txt";
  static constexpr const char* SKYPE_CUES = "C:\\Program Files\\Skype\\skype-cues.txt";
  static constexpr const char* SOFTPHONE_EXE = "C:\\Program Files\\magic Jack\\magicJack.exe";

  explicit FuzzDesktop(const DesktopParts& parts);
  ~FuzzDesktop();

  // The desktop of this process: built on first use, and again after
  // `uses` inputs or after Discard.
  static FuzzDesktop& Get(const DesktopParts& parts, int uses = 400);
  static void Discard();

  sim::Desktop desktop;
  os::DWORD program = 0;
  os::DWORD softphone = 0;
  os::DWORD skype = 0;
  std::string adapterPath;

  os::HWND MainWindow() const;
  os::HWND SkypeApiWindow() const;
  os::HWND SoftphoneWindow() const;

  // A real handset key at the softphone, which the hook passes on.
  void Handset(unsigned code, os::DWORD settleMs = 10);
  // Keys as the handset sends them: digits, '*', '#'.
  void Dial(const std::string& keys);
  // A cue line for the Skype model.
  void Cue(const std::string& line, os::DWORD settleMs = 50);
  // A WM_COPYDATA record of exactly cbData bytes (copied out of bytes,
  // zero-filled beyond them), sent by a thread of process `from` with
  // `sender` as wParam, as another program's window sends one. A record of
  // no bytes carries no data pointer. Returns the program's answer.
  os::LRESULT SendRecord(os::DWORD from, os::HWND sender, const std::string& bytes, os::DWORD cbData);
  // The Skype model's transcript lines of a kind ("command", "notify"...).
  std::vector<std::string> SkypeLines(const std::string& kind) const;

  // Puts the handset down, ends Skype's calls and waits until the program
  // is idle again; false when it would not come back.
  bool ReturnToIdle();
  bool Idle() const;

  // What must always hold; each aborts with a message when it does not.
  // The status record is at most 255 characters, starts with "st=" and
  // names its fourteen keys in order (the last ones may be cut off at 255).
  void CheckStatusRecord() const;
  // Every command Skype received fits the program's command buffer and
  // was a terminated text of exactly its length.
  void CheckSkypeCommands();
  // Every line the log gained since the last check is one whole record:
  // "dd/mm/yyyy; hh:mm:ss:mmm; " and a tab, then a status record.
  void CheckLogLines();
  // The program is still running and its main window is there.
  void CheckAlive() const;

  static void Fail(const std::string& what);

 private:
  std::size_t skypeLinesChecked_ = 0;
  std::size_t logBytesChecked_ = 0;
  std::string logFirstLine_;
};
