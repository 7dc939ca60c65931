// The simulated audio system that the wave player's tests rely on: buffers
// that play on virtual time, and callbacks on an audio thread of the
// calling process that reset and close wait for.
#include <gtest/gtest.h>

#include <vector>

#include "platform/os_audio.h"
#include "platform/os_kernel.h"
#include "platform/sim/audio_controls.h"
#include "platform/sim/desktop.h"

namespace {

struct CallbackEvent {
  os::UINT message;
  os::WAVEHDR* header;
  os::DWORD threadId;
  std::uint64_t at;
};
std::vector<CallbackEvent> events;
sim::Desktop* theDesktop = nullptr;

void OS_CALLBACK RecordingProc(os::HWAVEOUT, os::UINT message, os::DWORD_PTR, os::DWORD_PTR param1,
                               os::DWORD_PTR) {
  events.push_back(CallbackEvent{message, reinterpret_cast<os::WAVEHDR*>(param1),
                                 os::GetCurrentThreadId(), theDesktop->Now()});
}

class SimAudioTest : public ::testing::Test {
 protected:
  SimAudioTest() {
    events.clear();
    theDesktop = &desktop;
  }

  static os::HWAVEOUT Open() {
    const os::WAVEFORMATEX format = {os::WAVE_FORMAT_PCM, 1, 8000, 16000, 2, 16, 0};
    os::HWAVEOUT output = nullptr;
    EXPECT_EQ(os::waveOutOpen(&output, os::WAVE_MAPPER, &format,
                              reinterpret_cast<os::DWORD_PTR>(&RecordingProc), 0,
                              os::CALLBACK_FUNCTION),
              os::MMSYSERR_NOERROR);
    return output;
  }

  // A looping header over data; 16000 bytes last a second.
  static os::WAVEHDR Header(std::vector<char>& data, os::DWORD loops) {
    os::WAVEHDR header = {};
    header.lpData = data.data();
    header.dwBufferLength = static_cast<os::DWORD>(data.size());
    header.dwFlags = os::WHDR_BEGINLOOP | os::WHDR_ENDLOOP;
    header.dwLoops = loops;
    return header;
  }

  sim::Desktop desktop;
};

}  // namespace

TEST_F(SimAudioTest, ABufferPlaysItsBytesTimesItsLoopsThenComesBackOnTheAudioThread) {
  os::HWAVEOUT output = Open();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].message, os::WOM_OPEN);
  EXPECT_NE(events[0].threadId, os::GetCurrentThreadId());

  std::vector<char> data(8000, 'a');
  os::WAVEHDR header = Header(data, 3);
  EXPECT_EQ(os::waveOutWrite(output, &header, sizeof header), os::WAVERR_UNPREPARED);
  ASSERT_EQ(os::waveOutPrepareHeader(output, &header, sizeof header), os::MMSYSERR_NOERROR);
  std::uint64_t start = desktop.Now();
  ASSERT_EQ(os::waveOutWrite(output, &header, sizeof header), os::MMSYSERR_NOERROR);
  EXPECT_EQ(os::waveOutUnprepareHeader(output, &header, sizeof header), os::WAVERR_STILLPLAYING);

  desktop.RunFor(1499);
  EXPECT_FALSE(header.dwFlags & os::WHDR_DONE);
  desktop.RunFor(1);
  EXPECT_EQ(header.dwFlags & (os::WHDR_DONE | os::WHDR_INQUEUE), os::WHDR_DONE);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1].message, os::WOM_DONE);
  EXPECT_EQ(events[1].header, &header);
  EXPECT_EQ(events[1].at - start, 1500u);
  EXPECT_EQ(events[1].threadId, events[0].threadId);

  const sim::PlayedBuffer& played = sim::PlayedBuffers().at(0);
  EXPECT_EQ(played.loops, 3u);
  EXPECT_EQ(played.data, std::vector<std::uint8_t>(8000, 'a'));
  EXPECT_FALSE(played.endedByReset);
}

TEST_F(SimAudioTest, ResetReturnsEveryQueuedBufferThroughTheCallbackBeforeItReturns) {
  os::HWAVEOUT output = Open();
  std::vector<char> first(16000), second(16000);
  os::WAVEHDR one = Header(first, 0xFFFFFFFF);
  os::WAVEHDR two = Header(second, 1);
  for (os::WAVEHDR* header : {&one, &two}) {
    os::waveOutPrepareHeader(output, header, sizeof *header);
    os::waveOutWrite(output, header, sizeof *header);
  }
  desktop.RunFor(3600 * 1000);
  EXPECT_FALSE(one.dwFlags & os::WHDR_DONE);
  EXPECT_EQ(os::waveOutClose(output), os::WAVERR_STILLPLAYING);

  std::uint64_t before = desktop.Now();
  ASSERT_EQ(os::waveOutReset(output), os::MMSYSERR_NOERROR);
  EXPECT_EQ(desktop.Now(), before);
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[1].header, &one);
  EXPECT_EQ(events[2].header, &two);
  EXPECT_TRUE(sim::PlayedBuffers()[0].endedByReset);

  EXPECT_EQ(os::waveOutClose(output), os::MMSYSERR_NOERROR);
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[3].message, os::WOM_CLOSE);
  EXPECT_EQ(os::waveOutReset(output), os::MMSYSERR_INVALHANDLE);
  EXPECT_EQ(sim::PreparedHeaderCount(), 2);  // never unprepared
}

TEST_F(SimAudioTest, TheAudioThreadBelongsToTheOpeningProcessAndEndsWithTheClose) {
  int threadsWhileOpen = 0;
  os::DWORD process = 0;
  process = desktop.StartProcess("C:\\p.exe", [&] {
    os::HWAVEOUT output = Open();
    threadsWhileOpen = desktop.ThreadCountOf(process);
    os::waveOutClose(output);
    os::Sleep(1000);
    return 0;
  });
  desktop.RunFor(500);
  EXPECT_EQ(threadsWhileOpen, 2);
  EXPECT_EQ(desktop.ThreadCountOf(process), 1);
}
