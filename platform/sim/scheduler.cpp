// One simulated thread runs at a time. A thread that waits hands the baton
// to the next runnable thread in round-robin order; when none is runnable,
// virtual time jumps to the earliest deadline. This keeps every run of a
// test identical and lets a test skip any amount of time at once.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "platform/sim/world.h"

namespace sim {

namespace {

thread_local SimThread* currentThread = nullptr;

bool Runnable(SimThread* thread, std::uint64_t now) {
  if (thread->done) return false;
  if (thread->terminating || !thread->started) return true;
  if (thread->wakeAt <= now) return true;
  return thread->ready && thread->ready();
}

// The next thread to run after `from`, advancing virtual time if nobody can
// run now. `from` itself comes last in the round.
// Only threads that have not ended take part (world.liveThreads, in
// creation order): the round is the same as over every thread ever made,
// since an ended thread never runs, but a month of simulated days does not
// make each pick walk thousands of them.
SimThread* PickNext(World& world, SimThread* from) {
  const std::vector<SimThread*>& threads = world.liveThreads;
  for (;;) {
    std::size_t count = threads.size();
    std::size_t start = 0;
    for (std::size_t i = 0; i < count; ++i) {
      if (threads[i] == from) start = i + 1;
    }
    // The driving thread goes last, so that whatever is due at the moment
    // it waits for has run before it goes on.
    for (std::size_t k = 0; k < count; ++k) {
      SimThread* candidate = threads[(start + k) % count];
      if (candidate != world.driver && Runnable(candidate, world.now)) return candidate;
    }
    if (Runnable(world.driver, world.now)) return world.driver;
    std::uint64_t earliest = NEVER;
    for (SimThread* thread : threads) {
      if (!thread->done && thread->wakeAt < earliest) earliest = thread->wakeAt;
    }
    if (earliest == NEVER) {
      std::fprintf(stderr, "sim: every simulated thread waits forever\n");
      std::abort();
    }
    world.now = earliest;
  }
}

void HandOver(SimThread* from, SimThread* to) {
  from->hasBaton = false;
  to->hasBaton = true;
  to->wake.notify_one();
}

}  // namespace

SimThread* CurrentThread() {
  if (!currentThread) {
    std::fprintf(stderr, "sim: an OS call came from outside the simulated desktop\n");
    std::abort();
  }
  return currentThread;
}

SimThread* CurrentThreadIfAny() { return currentThread; }

void SetCurrentThread(SimThread* thread) { currentThread = thread; }

void Block(std::uint64_t wakeAt, std::function<bool()> ready) {
  World& world = TheWorld();
  SimThread* self = CurrentThread();
  // A thread that is being unwound does not wait any more.
  if (self->terminating) {
    if (std::uncaught_exceptions() == 0) throw ThreadTerminated{};
    return;
  }
  std::unique_lock<std::mutex> lock(world.batonMutex);
  self->wakeAt = wakeAt;
  self->ready = std::move(ready);
  SimThread* next = PickNext(world, self);
  if (next != self) {
    HandOver(self, next);
    self->wake.wait(lock, [self] { return self->hasBaton; });
  }
  self->ready = nullptr;
  self->wakeAt = NEVER;
  lock.unlock();
  if (self->terminating && std::uncaught_exceptions() == 0) throw ThreadTerminated{};
}

SimThread* SpawnThread(Process* process, std::function<void()> body) {
  World& world = TheWorld();
  auto owned = std::make_unique<SimThread>();
  SimThread* thread = owned.get();
  thread->id = world.nextThreadId;
  world.nextThreadId += 4;
  thread->process = process;
  {
    std::lock_guard<std::mutex> lock(world.batonMutex);
    world.threads.push_back(std::move(owned));
    world.liveThreads.push_back(thread);
  }
  thread->osThread = std::thread([thread, body = std::move(body)] {
    World& world = TheWorld();
    {
      std::unique_lock<std::mutex> lock(world.batonMutex);
      thread->wake.wait(lock, [thread] { return thread->hasBaton; });
      thread->started = true;
    }
    currentThread = thread;
    if (!thread->terminating) {
      try {
        body();
      } catch (const ThreadTerminated&) {
      }
    }
    std::unique_lock<std::mutex> lock(world.batonMutex);
    thread->done = true;
    SimThread* next = PickNext(world, thread);
    auto& live = world.liveThreads;
    live.erase(std::find(live.begin(), live.end(), thread));
    HandOver(thread, next);
  });
  return thread;
}

}  // namespace sim
