// The whole desktop of one simulated day: the adapter on the USB bus, held
// by the softphone model, the Skype model, the sibling programs and the
// program. Events reach the program only through its inputs: cues to the
// models, keys of the handset, the bus, the tray icon, and processes
// starting and ending.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/os_types.h"
#include "platform/sim/desktop.h"
#include "tests/sim/scenario.h"

namespace desktop_sim {

class World {
 public:
  static constexpr const char* PROGRAM_EXE = "C:\\Program Files\\CorvaloPlugin\\CorvaloPlugin.exe";
  static constexpr const char* LOG_PATH = "C:\\Program Files\\CorvaloPlugin\\CorvaloPlugin$Logfile.log";
  static constexpr const char* SKYPE_EXE = "C:\\Program Files\\Skype\\Skype.exe";
  static constexpr const char* SKYPE_TRANSCRIPT = "C:\\Program Files\\Skype\\skype-transcript.txt";
  static constexpr const char* SKYPE_CUES = "C:\\Program Files\\Skype\\skype-cues.txt";
  static constexpr const char* SOFTPHONE_EXE = "C:\\Program Files\\magic Jack\\magicJack.exe";

  World();
  // Plugs in the adapter and starts the softphone, Skype and the program;
  // false when the program does not come up with the adapter in use.
  bool Start();
  void Apply(const Event& event);

  sim::Desktop desktop;
  os::DWORD program = 0;
  os::DWORD skype = 0;
  os::DWORD softphone = 0;
  std::string adapterPath;
  std::string storagePath;  // the first generation's storage device, "" when none
  std::string adapterKind;  // what was plugged in last (see PlugIn)
  std::uint64_t pluggedAt = 0;
  std::uint64_t programStartedAt = 0;
  // The handset as the softphone last heard it through the adapter, and
  // when: a lift or hang-up while the adapter is away is heard only once
  // the softphone has the adapter open again.
  bool handsetOff = false;
  std::uint64_t offHookAt = 0;  // virtual time the last lift was heard
  std::uint64_t onHookAt = 0;   // and the last hang-up
  bool handsetLifted = false;   // what the person holding the handset did last
  // The program could hear the last lift the softphone reported: it ran,
  // and the softphone's handset window was there with the program's hook
  // on it. A lift it could not hear, it cannot know of until the next one.
  bool liftHeard = false;
  bool hangUpHeard = true;  // the same for the last hang-up
  bool pluggedIn = false;
  // A call rang in and the far end has not ended it. The Skype model's
  // "end" ends its newest call; a second caller gives up by itself.
  bool skypeCallRinging = false;
  std::uint64_t unpluggedAt = 0;
  std::uint64_t adapterOpenAt = 0;  // when the softphone has a replugged adapter open
  bool adapterOpening = false;
  // The user chose Exit; the program is expected to be gone.
  bool programExited = false;
  std::uint64_t exitAt = 0;
  // Sibling programs running, by name: their process ids, and the records
  // their windows show.
  std::map<std::string, os::DWORD> siblings;
  std::map<std::string, std::string> siblingRecords;
  // What the checks remember from one check to the next.
  struct Observed {
    std::uint64_t checkedAt = 0;
    bool skypeCallRingable = false;  // a Skype call was ringing or being placed
    std::size_t hidCallsSeen = 0;
    os::DWORD skype = 0;          // the Skype process, and the calls it had
    std::size_t skypeCalls = 0;
    os::DWORD busySibling = 0;    // the busy "TesselbayPlugin" sibling, 0 when none
    std::size_t callsTaken = 0;   // "IncomingSkypeCall" records in the log
    // How far NoCommandWhileDetached has read the Skype transcript, and
    // what it had seen by then.
    std::size_t transcriptRead = 0;
    bool skypeAttached = false;
    bool refusalMayCome = false;
    // The siblings that showed a call in progress ("cs=3") at the last
    // check, and how far the check of outgoing calls has read the
    // transcript.
    std::string siblingsInCall;
    std::size_t callsRead = 0;
    // What the program held when first idle, by situation (see
    // NothingGrowsAtIdle), and which program that was.
    os::DWORD objectsProgram = 0;
    std::map<std::string, std::map<std::string, int>> idleObjects;
  } observed;

 private:
  void Handset(unsigned code);
  // Lets virtual time pass, opening a replugged adapter for the softphone
  // when its time comes.
  void RunFor(os::DWORD ms);
  // The softphone passes the handset's state on to its handset window.
  void SendHandsetState();
  void ReportHandset();
  void SoftphoneOpensAdapter();
  bool SoftphoneHearsHandset() const;
  bool ProgramHearsHandset() const;
  bool SkypeHasLiveCall() const;
  void Cue(const std::string& line);
  void StartSkype(const std::string& attachStatuses);
  void StartSoftphone(const std::string& version);
  void RestartSoftphone(const std::string& version);
  void PlugIn(const std::string& adapter);
  void UnplugAdapter();
  void PostToDialer(os::UINT message, os::WPARAM wParam);
  void StartSibling(const std::string& name, std::uint32_t record);
  void QuitSibling(const std::string& name);
  bool ChooseFromTrayMenu(const std::string& command);
  void CloseDialogs();
  void StartProgram();
  void Quiet();
};

}  // namespace desktop_sim
