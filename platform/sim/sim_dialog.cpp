// Modal dialogs and message boxes on the simulated desktop. Dialogs are
// built from the program's own resource script.
#include <cstdlib>

#include "platform/os_window.h"
#include "platform/sim/world.h"

namespace sim {

namespace {

// Dialog units to pixels, for a dialog font of about ten points.
constexpr int BASE_UNIT_X = 6;
constexpr int BASE_UNIT_Y = 13;
constexpr int BORDER = 3;
constexpr int CAPTION = 22;

int PixelsX(int units) { return units * BASE_UNIT_X / 4; }
int PixelsY(int units) { return units * BASE_UNIT_Y / 8; }

}  // namespace

const ResourceScript& Resources() {
  World& world = TheWorld();
  if (!world.resources) world.resources = std::make_unique<ResourceScript>(CORVALO_RESOURCE_SCRIPT);
  return *world.resources;
}

// What the system's dialog procedure does with a message the dialog's own
// procedure left alone.
os::LRESULT DefaultDialogProcessing(Window* dialog, os::UINT message, os::WPARAM wParam,
                                    os::LPARAM lParam) {
  switch (message) {
    case os::WM_CLOSE:
      os::PostMessageA(dialog->handle, os::WM_COMMAND, static_cast<os::WPARAM>(os::IDCANCEL), 0);
      return 0;
    default:
      return os::DefWindowProcA(dialog->handle, message, wParam, lParam);
  }
}

}  // namespace sim

namespace os {

using sim::FindWindowByHandle;
using sim::TheWorld;
using sim::Window;

INT_PTR DialogBoxParamA(int templateId, HWND parent, DLGPROC proc, LPARAM param) {
  const sim::DialogTemplate* layout = sim::Resources().Dialog(templateId);
  if (!layout) return -1;

  Window* owner = sim::TopLevelOf(FindWindowByHandle(parent));
  int left = (owner ? owner->rect.left : 0) + sim::PixelsX(layout->x);
  int top = (owner ? owner->rect.top : 0) + sim::PixelsY(layout->y);
  int width = sim::PixelsX(layout->width) + 2 * sim::BORDER;
  int height = sim::PixelsY(layout->height) + sim::BORDER +
               ((layout->style & WS_CAPTION) == WS_CAPTION ? sim::CAPTION : sim::BORDER);
  HWND handle = CreateWindowExA(layout->exStyle, "#32770", layout->caption.c_str(),
                                layout->style & ~WS_VISIBLE, left, top, width, height,
                                owner ? owner->handle : nullptr, 0);
  Window* dialog = FindWindowByHandle(handle);
  dialog->dialogProc = proc;
  int clientLeft = sim::BORDER;
  int clientTop = (layout->style & WS_CAPTION) == WS_CAPTION ? sim::CAPTION : sim::BORDER;
  for (const sim::DialogItem& item : layout->items) {
    CreateWindowExA(item.exStyle, item.className.c_str(), item.text.c_str(), item.style | WS_CHILD,
                    clientLeft + sim::PixelsX(item.x), clientTop + sim::PixelsY(item.y),
                    sim::PixelsX(item.width), sim::PixelsY(item.height), handle, item.id);
  }

  sim::CallWindow(dialog, WM_INITDIALOG, 0, param);
  if (owner) EnableWindow(owner->handle, FALSE);
  dialog = FindWindowByHandle(handle);
  if (dialog && !dialog->dialogEnded) ShowWindow(handle, SW_SHOW);

  MSG msg = {};
  bool quit = false;
  while ((dialog = FindWindowByHandle(handle)) && !dialog->dialogEnded) {
    if (!GetMessageA(&msg, nullptr, 0, 0)) {
      quit = true;
      break;
    }
    DispatchMessageA(&msg);
  }
  INT_PTR result = dialog ? dialog->dialogResult : 0;
  if (owner && FindWindowByHandle(owner->handle)) EnableWindow(owner->handle, TRUE);
  if (dialog) {
    ShowWindow(handle, SW_HIDE);
    DestroyWindow(handle);
  }
  if (quit) PostQuitMessage(static_cast<int>(msg.wParam));
  return result;
}

// May come from another thread: the flag ends the loop at its next message.
BOOL EndDialog(HWND handle, INT_PTR result) {
  Window* dialog = FindWindowByHandle(handle);
  if (!dialog || dialog->className != "#32770") return FALSE;
  dialog->dialogEnded = true;
  dialog->dialogResult = result;
  TheWorld().dialogEnds.push_back(sim::DialogEnd{dialog->title, result});
  PostMessageA(handle, WM_NULL, 0, 0);
  return TRUE;
}

// Recorded for the test and answered with OK at once, as a user would.
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
  TheWorld().messageBoxes.push_back(sim::MessageBoxRecord{sim::CurrentThread()->process->id, owner,
                                                          text ? text : "",
                                                          caption ? caption : "Error", type});
  return IDOK;
}

}  // namespace os
