// The application object: guards the single instance and runs the main
// window modally; the process ends when the main window's loop is over.
#pragma once

class CCorvaloPluginApp {
 public:
  // Always false, so that the process ends once the main window has closed.
  bool InitInstance();
};

// The program's entry, called by the platform's process start.
int ProgramMain();
