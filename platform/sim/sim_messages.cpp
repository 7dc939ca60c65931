// Message delivery on the simulated desktop. Sent messages run at once on the
// caller's own thread, or wait for the owning thread to take them while it
// waits for messages itself; posted messages queue; WM_PAINT and WM_TIMER are
// made up when the queue is empty, in the system's order (sent, posted,
// paint, timer).
#include <algorithm>

#include "platform/os_window.h"
#include "platform/sim/world.h"

namespace sim {

os::LRESULT CallWindow(Window* window, os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
  os::HWND handle = window->handle;
  if (window->className == "#32770" && window->dialogProc) {
    os::INT_PTR handled = window->dialogProc(handle, message, wParam, lParam);
    Window* still = FindWindowByHandle(handle);
    if (!still) return 0;
    if (handled) return message == os::WM_INITDIALOG ? handled : still->messageResult;
    return DefaultDialogProcessing(still, message, wParam, lParam);
  }
  if (window->proc) return window->proc(handle, message, wParam, lParam);
  return os::DefWindowProcA(handle, message, wParam, lParam);
}

void DeliverIncomingSent(SimThread* thread) {
  while (!thread->incomingSent.empty()) {
    std::shared_ptr<SentMessage> sent = thread->incomingSent.front();
    thread->incomingSent.pop_front();
    Window* target = FindWindowByHandle(sent->target ? sent->target->handle : nullptr);
    sent->result = target ? CallWindow(target, sent->message, sent->wParam, sent->lParam) : 0;
    sent->done = true;
  }
}

// Senders waiting on a thread that ends get 0 back.
void AbandonIncomingSent(SimThread* thread) {
  for (auto& sent : thread->incomingSent) sent->done = true;
  thread->incomingSent.clear();
}

namespace {

// Sends to a window of another thread and waits, answering messages sent to
// this thread meanwhile. Returns false on time-out.
bool SendAcross(Window* window, os::UINT message, os::WPARAM wParam, os::LPARAM lParam,
                std::uint64_t deadline, os::LRESULT* result) {
  World& world = TheWorld();
  SimThread* self = CurrentThread();
  SimThread* receiver = window->thread;
  if (!receiver || receiver->done || receiver->terminating) return false;
  auto sent = std::make_shared<SentMessage>();
  sent->target = window;
  sent->message = message;
  sent->wParam = wParam;
  sent->lParam = lParam;
  receiver->incomingSent.push_back(sent);
  while (!sent->done) {
    if (world.now >= deadline) {
      auto& queue = receiver->incomingSent;
      queue.erase(std::remove(queue.begin(), queue.end(), sent), queue.end());
      return false;
    }
    Block(deadline, [self, sent] { return sent->done || !self->incomingSent.empty(); });
    DeliverIncomingSent(self);
  }
  *result = sent->result;
  return true;
}

bool PaintPending(SimThread* thread, os::MSG* msg) {
  for (auto& entry : TheWorld().windows) {
    Window* window = entry.second.get();
    if (window->thread == thread && window->needsPaint && IsVisibleOnScreen(window)) {
      if (msg) *msg = os::MSG{window->handle, os::WM_PAINT, 0, 0, 0, {0, 0}};
      return true;
    }
  }
  return false;
}

Timer* DueTimer(SimThread* thread, std::uint64_t now) {
  Timer* best = nullptr;
  for (auto& entry : TheWorld().timers) {
    Timer& timer = entry.second;
    Window* window = FindWindowByHandle(timer.window);
    if (!window || window->thread != thread || timer.due > now) continue;
    if (!best || timer.due < best->due || (timer.due == best->due && timer.order < best->order))
      best = &timer;
  }
  return best;
}

std::uint64_t NextTimerDue(SimThread* thread) {
  std::uint64_t next = NEVER;
  for (auto& entry : TheWorld().timers) {
    Window* window = FindWindowByHandle(entry.second.window);
    if (window && window->thread == thread) next = std::min(next, entry.second.due);
  }
  return next;
}

os::DWORD TickNow() { return static_cast<os::DWORD>(TheWorld().now); }

}  // namespace

}  // namespace sim

namespace os {

using sim::CurrentThread;
using sim::FindWindowByHandle;
using sim::TheWorld;
using sim::Window;

UINT RegisterWindowMessageA(const char* name) {
  auto& registered = TheWorld().registeredMessages;
  std::string key = sim::ToLower(name ? name : "");
  if (key.empty()) return 0;
  auto found = registered.find(key);
  if (found != registered.end()) return found->second;
  UINT id = 0xC000 + static_cast<UINT>(registered.size());
  registered[key] = id;
  return id;
}

LRESULT SendMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* window = FindWindowByHandle(handle);
  if (!window) return 0;
  if (window->thread == CurrentThread()) return sim::CallWindow(window, message, wParam, lParam);
  LRESULT result = 0;
  sim::SendAcross(window, message, wParam, lParam, sim::NEVER, &result);
  return result;
}

LRESULT SendMessageTimeoutA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam, UINT,
                            UINT timeoutMs, UINT_PTR* result) {
  auto sendOne = [&](Window* window) -> LRESULT {
    LRESULT answer = 0;
    if (window->thread == CurrentThread()) {
      answer = sim::CallWindow(window, message, wParam, lParam);
    } else if (!sim::SendAcross(window, message, wParam, lParam, TheWorld().now + timeoutMs,
                                &answer)) {
      return 0;
    }
    if (result) *result = static_cast<UINT_PTR>(answer);
    return 1;
  };
  if (handle == HWND_BROADCAST()) {
    std::vector<HWND> targets;
    for (Window* window : TheWorld().desktop.children) targets.push_back(window->handle);
    for (HWND target : targets) {
      if (Window* window = FindWindowByHandle(target)) sendOne(window);
    }
    return 1;
  }
  Window* window = FindWindowByHandle(handle);
  return window ? sendOne(window) : 0;
}

// A null window posts to the calling thread's own queue.
BOOL PostMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  sim::SimThread* receiver = CurrentThread();
  if (handle) {
    Window* window = FindWindowByHandle(handle);
    if (!window || !window->thread) return FALSE;
    receiver = window->thread;
  }
  if (receiver->done || receiver->terminating) return FALSE;
  receiver->posted.push_back(MSG{handle, message, wParam, lParam, sim::TickNow(), {0, 0}});
  return TRUE;
}

}  // namespace os

namespace sim {
namespace {

// The next message for the thread, in the system's order, or false when
// there is none; sent messages are answered on the way. Removing takes it off
// the queue (and restarts a timer's period); the thread's hooks see it.
bool NextMessage(SimThread* self, bool removing, os::MSG* msg) {
  World& world = TheWorld();
  DeliverIncomingSent(self);
  bool found = true;
  if (!self->posted.empty()) {
    *msg = self->posted.front();
    if (removing) self->posted.pop_front();
  } else if (self->quitPosted) {
    if (removing) self->quitPosted = false;
    *msg = os::MSG{nullptr, os::WM_QUIT, 0, 0, TickNow(), {0, 0}};
  } else if (PaintPending(self, msg)) {
  } else if (Timer* timer = DueTimer(self, world.now)) {
    *msg = os::MSG{timer->window, os::WM_TIMER, timer->id, 0, TickNow(), {0, 0}};
    if (removing) timer->due = world.now + timer->period;
  } else {
    found = false;
  }
  if (found) RunMessageHooks(self, msg, removing);
  return found;
}

}  // namespace
}  // namespace sim

namespace os {

BOOL GetMessageA(MSG* msg, HWND, UINT, UINT) {
  sim::SimThread* self = CurrentThread();
  while (!sim::NextMessage(self, true, msg)) {
    sim::Block(sim::NextTimerDue(self), [self] {
      return !self->posted.empty() || !self->incomingSent.empty() || self->quitPosted ||
             sim::PaintPending(self, nullptr);
    });
  }
  return msg->message != WM_QUIT;
}

BOOL PeekMessageA(MSG* msg, HWND, UINT, UINT, UINT removal) {
  return sim::NextMessage(CurrentThread(), (removal & PM_REMOVE) != 0, msg) ? TRUE : FALSE;
}

LRESULT DispatchMessageA(const MSG* msg) {
  Window* window = FindWindowByHandle(msg->hwnd);
  if (!window) return 0;
  return sim::CallWindow(window, msg->message, msg->wParam, msg->lParam);
}

void PostQuitMessage(int) { CurrentThread()->quitPosted = true; }

// As on Windows, a timer asked for less than USER_TIMER_MINIMUM (10 ms)
// runs every 10 ms; the event keeps the period asked for.
UINT_PTR SetTimer(HWND handle, UINT_PTR id, UINT periodMs) {
  constexpr UINT USER_TIMER_MINIMUM = 10;
  Window* window = FindWindowByHandle(handle);
  if (!window || window->thread != CurrentThread()) return 0;
  sim::World& world = TheWorld();
  sim::Timer& timer = world.timers[{handle, id}];
  timer.window = handle;
  timer.id = id;
  timer.period = std::max(periodMs, USER_TIMER_MINIMUM);
  timer.due = world.now + timer.period;
  timer.order = ++world.timerOrder;
  world.timerEvents.push_back(sim::TimerEvent{handle, id, periodMs, true, false});
  return id;
}

BOOL KillTimer(HWND handle, UINT_PTR id) {
  bool existed = TheWorld().timers.erase({handle, id}) != 0;
  TheWorld().timerEvents.push_back(sim::TimerEvent{handle, id, 0, false, existed});
  return existed ? TRUE : FALSE;
}

}  // namespace os
