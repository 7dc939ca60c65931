// The GUI entry point of a Windows program built on the seam: it hands over
// to the program's own ProgramMain.
#include "platform/os_types.h"

#include "platform/win32/win32_api.h"

int ProgramMain();

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return ProgramMain(); }
