// Windows of the simulated desktop: creation, the z-order walk, text, style,
// placement and visibility, with the Win32 rules the program relies on.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/os_window.h"
#include "platform/sim/world.h"

namespace sim {

std::string ToLower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

Window* FindWindowByHandle(os::HWND handle) {
  World& world = TheWorld();
  if (handle == world.desktop.handle) return &world.desktop;
  auto found = world.windows.find(handle);
  return found == world.windows.end() ? nullptr : found->second.get();
}

Window* TopLevelOf(Window* window) {
  while (window && window->parent) window = window->parent;
  return window;
}

bool IsVisibleOnScreen(const Window* window) {
  for (; window; window = window->parent) {
    if (!(window->style & os::WS_VISIBLE)) return false;
  }
  return true;
}

void MarkNeedsPaint(Window* window) {
  window->needsPaint = true;
  for (Window* child : window->children) MarkNeedsPaint(child);
}

namespace {

// Window classes belong to the process that registered them.
std::string ClassKey(const std::string& className) {
  return std::to_string(CurrentThread()->process->id) + ":" + ToLower(className);
}

std::vector<Window*>& SiblingsOf(Window* window) {
  return window->parent ? window->parent->children : TheWorld().desktop.children;
}

void Unlink(Window* window) {
  auto& siblings = SiblingsOf(window);
  siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
}

void MoveBy(Window* window, int dx, int dy) {
  window->rect.left += dx;
  window->rect.right += dx;
  window->rect.top += dy;
  window->rect.bottom += dy;
  for (Window* child : window->children) MoveBy(child, dx, dy);
}

// Removes a window, its children and the windows it owns, without messages.
void Forget(Window* window) {
  World& world = TheWorld();
  while (!window->children.empty()) Forget(window->children.front());
  std::vector<Window*> owned;
  for (auto& entry : world.windows) {
    if (entry.second->owner == window) owned.push_back(entry.second.get());
  }
  for (Window* w : owned) Forget(w);
  for (auto it = world.timers.begin(); it != world.timers.end();) {
    it = it->first.first == window->handle ? world.timers.erase(it) : std::next(it);
  }
  if (world.foreground == window->handle) world.foreground = nullptr;
  Unlink(window);
  world.windows.erase(window->handle);
}

int CopyText(const std::string& text, char* buffer, int size) {
  if (!buffer || size <= 0) return 0;
  int length = static_cast<int>(std::min<std::size_t>(text.size(), static_cast<std::size_t>(size - 1)));
  std::memcpy(buffer, text.data(), static_cast<std::size_t>(length));
  buffer[length] = '\0';
  return length;
}

void SendDestroy(Window* window) {
  CallWindow(window, os::WM_DESTROY, 0, 0);
  std::vector<Window*> children = window->children;
  for (Window* child : children) {
    if (FindWindowByHandle(child->handle)) SendDestroy(child);
  }
}

}  // namespace

void DestroyWindowsOf(Process* process) {
  World& world = TheWorld();
  std::vector<Window*> doomed;
  for (auto& entry : world.windows) {
    Window* w = entry.second.get();
    if (!w->parent && w->thread && w->thread->process == process) doomed.push_back(w);
  }
  for (Window* w : doomed) {
    if (FindWindowByHandle(w->handle)) Forget(w);
  }
}

os::LRESULT OS_CALLBACK ControlWindowProc(os::HWND handle, os::UINT message, os::WPARAM wParam,
                                          os::LPARAM lParam) {
  Window* window = FindWindowByHandle(handle);
  if (window && message == os::BM_CLICK && window->parent) {
    return os::SendMessageA(window->parent->handle, os::WM_COMMAND,
                            static_cast<os::WPARAM>(window->controlId & 0xFFFF),
                            reinterpret_cast<os::LPARAM>(handle));
  }
  return os::DefWindowProcA(handle, message, wParam, lParam);
}

}  // namespace sim

namespace os {

using sim::FindWindowByHandle;
using sim::TheWorld;
using sim::Window;

BOOL RegisterWindowClass(const char* className, WNDPROC proc) {
  auto& classes = TheWorld().classes;
  std::string key = sim::ClassKey(className);
  if (classes.count(key)) return FALSE;
  classes[key] = proc;
  return TRUE;
}

HWND CreateWindowExA(LONG exStyle, const char* className, const char* title, LONG style, int x,
                     int y, int width, int height, HWND parent, int controlId) {
  sim::World& world = TheWorld();
  std::string key = sim::ToLower(className ? className : "");
  // A class the process registered itself comes before the system's own.
  WNDPROC proc = nullptr;
  auto registered = world.classes.find(sim::ClassKey(key));
  if (registered != world.classes.end()) {
    proc = registered->second;
  } else if (key == "static" || key == "edit" || key == "button") {
    proc = &sim::ControlWindowProc;
  } else if (key != "#32770") {
    return nullptr;
  }
  Window* parentWindow = FindWindowByHandle(parent);
  if (parent && !parentWindow) return nullptr;

  auto owned = std::make_unique<Window>();
  Window* window = owned.get();
  window->handle = reinterpret_cast<HWND>(world.nextWindowHandle);
  world.nextWindowHandle += 4;
  window->className = className;
  window->title = title ? title : "";
  window->style = style;
  window->exStyle = exStyle;
  window->controlId = controlId;
  window->proc = proc;
  window->thread = sim::CurrentThread();
  if (x == CW_USEDEFAULT) x = 100, y = 100;
  if (width == CW_USEDEFAULT) width = 400, height = 300;

  if ((style & WS_CHILD) && parentWindow && parentWindow != &world.desktop) {
    window->parent = parentWindow;
    x += parentWindow->rect.left;
    y += parentWindow->rect.top;
    parentWindow->children.push_back(window);  // new children go to the bottom
  } else {
    window->owner = sim::TopLevelOf(parentWindow == &world.desktop ? nullptr : parentWindow);
    world.desktop.children.insert(world.desktop.children.begin(), window);  // and top-levels on top
  }
  window->rect = RECT{x, y, x + width, y + height};
  world.windows[window->handle] = std::move(owned);
  if (style & WS_VISIBLE) sim::MarkNeedsPaint(window);
  if (proc && proc != &sim::ControlWindowProc) sim::CallWindow(window, WM_CREATE, 0, 0);
  return window->handle;
}

BOOL DestroyWindow(HWND handle) {
  Window* window = FindWindowByHandle(handle);
  if (!window || window == &TheWorld().desktop) return FALSE;
  if (window->thread != sim::CurrentThread()) return FALSE;
  sim::SendDestroy(window);
  if (FindWindowByHandle(handle)) sim::Forget(window);
  return TRUE;
}

LRESULT DefWindowProcA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* window = FindWindowByHandle(handle);
  if (!window) return 0;
  switch (message) {
    case WM_SETTEXT:
      window->title = lParam ? reinterpret_cast<const char*>(lParam) : "";
      return TRUE;
    case WM_GETTEXT:
      return sim::CopyText(window->title, reinterpret_cast<char*>(lParam), static_cast<int>(wParam));
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(window->title.size());
    case WM_PAINT:
      window->needsPaint = false;
      return 0;
    case WM_CLOSE:
      DestroyWindow(handle);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(handle, WM_CLOSE, 0, 0);
      return 0;
    default:
      return 0;
  }
}

HWND FindWindowA(const char* className, const char* title) {
  return FindWindowExA(nullptr, nullptr, className, title);
}

// Class and title compare without regard to case, as the system's do.
HWND FindWindowExA(HWND parent, HWND childAfter, const char* className, const char* title) {
  Window* owner = parent ? FindWindowByHandle(parent) : &TheWorld().desktop;
  if (!owner) return nullptr;
  auto& children = owner->children;
  auto it = children.begin();
  if (childAfter) {
    it = std::find_if(children.begin(), children.end(),
                      [childAfter](Window* w) { return w->handle == childAfter; });
    if (it == children.end()) return nullptr;
    ++it;
  }
  std::string wantClass = className ? sim::ToLower(className) : "";
  std::string wantTitle = title ? sim::ToLower(title) : "";
  for (; it != children.end(); ++it) {
    Window* window = *it;
    if (className && sim::ToLower(window->className) != wantClass) continue;
    if (title && sim::ToLower(window->title) != wantTitle) continue;
    return window->handle;
  }
  return nullptr;
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM param) {
  if (!proc) return FALSE;
  std::vector<HWND> list;
  for (Window* window : TheWorld().desktop.children) list.push_back(window->handle);
  for (HWND window : list) {
    if (!proc(window, param)) return FALSE;
  }
  return TRUE;
}

BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM param) {
  if (!proc) return FALSE;
  std::vector<HWND> list;
  for (Window* window : TheWorld().desktop.children) {
    if (window->thread && window->thread->id == threadId) list.push_back(window->handle);
  }
  if (list.empty()) return FALSE;  // as on Windows: no window of that thread
  for (HWND window : list) {
    if (!proc(window, param)) return FALSE;
  }
  return TRUE;
}

HWND GetDesktopWindow() { return TheWorld().desktop.handle; }

HWND GetWindow(HWND handle, UINT relation) {
  Window* window = FindWindowByHandle(handle);
  if (!window) return nullptr;
  if (relation == GW_CHILD) return window->children.empty() ? nullptr : window->children.front()->handle;
  if (relation == GW_OWNER) return window->owner ? window->owner->handle : nullptr;
  if (window == &TheWorld().desktop) return nullptr;
  auto& siblings = sim::SiblingsOf(window);
  if (relation == GW_HWNDFIRST) return siblings.front()->handle;
  if (relation == GW_HWNDNEXT) {
    auto it = std::find(siblings.begin(), siblings.end(), window);
    if (it != siblings.end() && ++it != siblings.end()) return (*it)->handle;
  }
  return nullptr;
}

HWND GetDlgItem(HWND dialog, int controlId) {
  Window* window = FindWindowByHandle(dialog);
  if (!window) return nullptr;
  for (Window* child : window->children) {
    if (child->controlId == controlId) return child->handle;
  }
  return nullptr;
}

int GetDlgCtrlID(HWND handle) {
  Window* window = FindWindowByHandle(handle);
  return window ? window->controlId : 0;
}

BOOL IsWindow(HWND handle) { return FindWindowByHandle(handle) != nullptr; }

DWORD GetWindowThreadProcessId(HWND handle, DWORD* processId) {
  Window* window = FindWindowByHandle(handle);
  if (!window || !window->thread) {
    if (processId) *processId = 0;
    return 0;
  }
  if (processId) *processId = window->thread->process->id;
  return window->thread->id;
}

int GetClassNameA(HWND handle, char* buffer, int size) {
  Window* window = FindWindowByHandle(handle);
  return window ? sim::CopyText(window->className, buffer, size) : 0;
}

// Within the process the text comes from the window procedure; from another
// process it is the text the system keeps for the window.
int GetWindowTextA(HWND handle, char* buffer, int size) {
  Window* window = FindWindowByHandle(handle);
  if (!window) {
    if (buffer && size > 0) buffer[0] = '\0';
    return 0;
  }
  if (window->thread && window->thread->process == sim::CurrentThread()->process) {
    return static_cast<int>(SendMessageA(handle, WM_GETTEXT, static_cast<WPARAM>(size),
                                         reinterpret_cast<LPARAM>(buffer)));
  }
  return sim::CopyText(window->title, buffer, size);
}

BOOL SetWindowTextA(HWND handle, const char* text) {
  Window* window = FindWindowByHandle(handle);
  if (!window) return FALSE;
  return SendMessageA(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0;
}

LONG GetWindowLongA(HWND handle, int index) {
  Window* window = FindWindowByHandle(handle);
  if (!window) return 0;
  if (index == GWL_STYLE) return window->style;
  if (index == GWL_EXSTYLE) return window->exStyle;
  return 0;
}

LONG SetWindowLongA(HWND handle, int index, LONG value) {
  Window* window = FindWindowByHandle(handle);
  if (!window) return 0;
  LONG* slot = nullptr;
  if (index == GWL_STYLE) slot = &window->style;
  if (index == GWL_EXSTYLE) slot = &window->exStyle;
  if (!slot) return 0;
  LONG previous = *slot;
  *slot = value;
  return previous;
}

BOOL GetWindowRect(HWND handle, RECT* rect) {
  Window* window = FindWindowByHandle(handle);
  if (!window) return FALSE;
  *rect = window == &TheWorld().desktop
              ? RECT{0, 0, TheWorld().screenWidth, TheWorld().screenHeight}
              : window->rect;
  return TRUE;
}

BOOL SetWindowPos(HWND handle, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
  Window* window = FindWindowByHandle(handle);
  if (!window || window == &TheWorld().desktop) return FALSE;
  if (!(flags & SWP_NOMOVE)) {
    int left = x, top = y;
    if (window->parent) left += window->parent->rect.left, top += window->parent->rect.top;
    sim::MoveBy(window, left - window->rect.left, top - window->rect.top);
  }
  if (!(flags & SWP_NOSIZE)) {
    window->rect.right = window->rect.left + width;
    window->rect.bottom = window->rect.top + height;
  }
  if (!(flags & SWP_NOZORDER)) {
    auto& siblings = sim::SiblingsOf(window);
    sim::Unlink(window);
    if (insertAfter == HWND_TOPMOST() || insertAfter == nullptr) {
      if (insertAfter == HWND_TOPMOST()) window->exStyle |= WS_EX_TOPMOST;
      siblings.insert(siblings.begin(), window);
    } else {
      Window* after = FindWindowByHandle(insertAfter);
      auto it = std::find(siblings.begin(), siblings.end(), after);
      siblings.insert(it == siblings.end() ? siblings.end() : std::next(it), window);
    }
  }
  return TRUE;
}

BOOL ShowWindow(HWND handle, int command) {
  Window* window = FindWindowByHandle(handle);
  if (!window) return FALSE;
  BOOL wasVisible = (window->style & WS_VISIBLE) != 0;
  switch (command) {
    case SW_HIDE:
      window->style &= ~WS_VISIBLE;
      return wasVisible;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
      window->style |= WS_VISIBLE | WS_MINIMIZE;
      break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
      window->style = (window->style | WS_VISIBLE) & ~WS_MINIMIZE;
      break;
    default:
      window->style |= WS_VISIBLE;
      break;
  }
  if (!wasVisible) sim::MarkNeedsPaint(window);
  return wasVisible;
}

BOOL IsWindowVisible(HWND handle) { return sim::IsVisibleOnScreen(FindWindowByHandle(handle)); }

BOOL IsIconic(HWND handle) {
  Window* window = FindWindowByHandle(handle);
  return window && (window->style & WS_MINIMIZE) != 0;
}

BOOL EnableWindow(HWND handle, BOOL enable) {
  Window* window = FindWindowByHandle(handle);
  if (!window) return FALSE;
  BOOL wasDisabled = (window->style & WS_DISABLED) != 0;
  if (enable) {
    window->style &= ~WS_DISABLED;
  } else {
    window->style |= WS_DISABLED;
  }
  return wasDisabled;
}

BOOL SetForegroundWindow(HWND handle) {
  Window* window = FindWindowByHandle(handle);
  if (!window) return FALSE;
  window = sim::TopLevelOf(window);
  TheWorld().foreground = window->handle;
  sim::Unlink(window);
  TheWorld().desktop.children.insert(TheWorld().desktop.children.begin(), window);
  return TRUE;
}

int GetSystemMetrics(int index) {
  if (index == SM_CXSCREEN) return TheWorld().screenWidth;
  if (index == SM_CYSCREEN) return TheWorld().screenHeight;
  return 0;
}

// A dialog's result and user slots; like Windows, a window without such
// extra bytes has neither.
namespace {
LONG_PTR* DialogSlot(HWND handle, int index) {
  Window* window = FindWindowByHandle(handle);
  if (!window || window->className != "#32770") return nullptr;
  if (index == DWLP_MSGRESULT) return &window->messageResult;
  if (index == DWLP_USER) return &window->dialogUser;
  return nullptr;
}
}  // namespace

LONG_PTR GetWindowLongPtrA(HWND handle, int index) {
  LONG_PTR* slot = DialogSlot(handle, index);
  return slot ? *slot : 0;
}

LONG_PTR SetWindowLongPtrA(HWND handle, int index, LONG_PTR value) {
  LONG_PTR* slot = DialogSlot(handle, index);
  if (!slot) return 0;
  LONG_PTR previous = *slot;
  *slot = value;
  return previous;
}

}  // namespace os
