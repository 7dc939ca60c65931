// The real program with writers of its own: once the program has made its
// adapter ready, THREADS threads call the main window's WriteLog COUNT times
// each, with real concurrency, while the test drives the handset, so the GUI
// thread changes the call record the whole time. Each writer's events are
// "Stress<thread>_<n>", n counting from 0; "StressDone" follows the last.
//
//   logstress.exe [THREADS COUNT]   (default 8 10000)
#include "shell/main_dialog.h"

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

// After the seam's headers, so that the system's macros cannot reach them.
#include <windows.h>

int ProgramMain();

namespace {

int threads = 8;
int count = 10000;

void Stress() {
  // The program sets the pointer on its GUI thread before it starts the
  // adapter thread, which in turn starts the arrival thread that makes
  // the adapter ready.
  while (!theMainWindow || !theMainWindow->adapterReady) Sleep(50);
  CCorvaloPluginDlg* program = theMainWindow;
  std::vector<std::thread> writers;
  for (int t = 0; t < threads; ++t) {
    writers.emplace_back([program, t] {
      for (int n = 0; n < count; ++n) {
        program->WriteLog("Stress" + std::to_string(t) + "_" + std::to_string(n));
      }
    });
  }
  for (std::thread& writer : writers) writer.join();
  program->WriteLog("StressDone");
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  int a = 0, b = 0;
  if (std::sscanf(commandLine, "%d %d", &a, &b) == 2 && a > 0 && b > 0) {
    threads = a;
    count = b;
  }
  std::thread(Stress).detach();
  return ProgramMain();
}
