#include "tests/sim/parallel.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

namespace desktop_sim {

namespace {

// The child's last line tells the parent how the seed went.
constexpr const char* RESULT_MARK = "\n#result ";

struct Child {
  pid_t pid = -1;
  int fd = -1;
  std::string output;
  bool finished = false;
};

void RunChild(int writeFd, std::uint64_t seed, const std::function<bool(std::uint64_t, std::uint64_t*)>& runSeed) {
  std::fflush(stdout);
  dup2(writeFd, STDOUT_FILENO);
  close(writeFd);
  std::uint64_t virtualMs = 0;
  bool passed = runSeed(seed, &virtualMs);
  std::printf("%s%llu %d\n", RESULT_MARK, static_cast<unsigned long long>(virtualMs), passed ? 1 : 0);
  std::fflush(stdout);
  std::_Exit(0);  // no destructors of the parent's state in the child
}

bool Start(std::uint64_t seed, const std::function<bool(std::uint64_t, std::uint64_t*)>& runSeed, Child* child) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  std::fflush(stdout);
  pid_t pid = fork();
  if (pid < 0) {
    close(fds[0]);
    close(fds[1]);
    return false;
  }
  if (pid == 0) {
    close(fds[0]);
    RunChild(fds[1], seed, runSeed);
  }
  close(fds[1]);
  child->pid = pid;
  child->fd = fds[0];
  return true;
}

// Reads what is there; at end of file the child is reaped.
void ReadFrom(Child* child) {
  char buffer[4096];
  ssize_t got = read(child->fd, buffer, sizeof buffer);
  if (got > 0) {
    child->output.append(buffer, static_cast<std::size_t>(got));
    return;
  }
  close(child->fd);
  child->fd = -1;
  int status = 0;
  waitpid(child->pid, &status, 0);
  child->finished = true;
}

// Prints the child's output without its result line and adds its result;
// a child that died without one counts as a failure.
void Report(const Child& child, Totals* totals) {
  ++totals->runs;
  std::size_t mark = child.output.rfind(RESULT_MARK);
  unsigned long long virtualMs = 0;
  int passed = 0;
  bool known = mark != std::string::npos &&
               std::sscanf(child.output.c_str() + mark + std::string(RESULT_MARK).size(), "%llu %d", &virtualMs,
                           &passed) == 2;
  std::string shown = known ? child.output.substr(0, mark) : child.output;
  if (!shown.empty() && shown.back() != '\n') shown += '\n';
  std::fwrite(shown.data(), 1, shown.size(), stdout);
  if (!known) std::printf("a child process ended without a result\n");
  totals->virtualMs += virtualMs;
  if (!known || !passed) ++totals->failures;
  std::fflush(stdout);
}

}  // namespace

Totals RunInChildren(int jobs, const std::function<bool(std::uint64_t*)>& nextSeed,
                     const std::function<bool(std::uint64_t, std::uint64_t*)>& runSeed) {
  Totals totals;
  std::deque<Child> children;  // in the order the seeds were given
  bool more = true;
  while (more || !children.empty()) {
    int running = 0;
    for (const Child& child : children) running += child.finished ? 0 : 1;
    while (more && running < jobs) {
      std::uint64_t seed = 0;
      more = nextSeed(&seed);
      if (!more) break;
      Child child;
      if (!Start(seed, runSeed, &child)) {
        std::printf("could not start a child process for seed %llu\n", static_cast<unsigned long long>(seed));
        ++totals.runs, ++totals.failures;
        continue;
      }
      children.push_back(child);
      ++running;
    }
    std::vector<pollfd> waiting;
    std::vector<Child*> owners;
    for (Child& child : children) {
      if (child.finished) continue;
      waiting.push_back(pollfd{child.fd, POLLIN, 0});
      owners.push_back(&child);
    }
    if (!waiting.empty() && poll(waiting.data(), waiting.size(), -1) > 0) {
      for (std::size_t i = 0; i < waiting.size(); ++i) {
        if (waiting[i].revents != 0) ReadFrom(owners[i]);
      }
    }
    while (!children.empty() && children.front().finished) {
      Report(children.front(), &totals);
      children.pop_front();
    }
  }
  return totals;
}

}  // namespace desktop_sim
