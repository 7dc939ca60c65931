#include "standins/common/standin_util.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/os_kernel.h"

std::string NextCommandLineWord(const char*& cursor) {
  while (*cursor == ' ') ++cursor;
  std::string word;
  bool quoted = false;
  for (; *cursor && (quoted || *cursor != ' '); ++cursor) {
    if (*cursor == '"') {
      quoted = !quoted;
    } else {
      word += *cursor;
    }
  }
  return word;
}

std::string BesideExecutable(const char* name) {
  char path[260] = {};
  os::GetModuleFileNameA(path, sizeof path - 1);
  std::string exe = path;
  std::size_t slash = exe.find_last_of('\\');
  return (slash == std::string::npos ? "" : exe.substr(0, slash + 1)) + name;
}

void AppendTranscriptLine(const std::string& path, const char* format, va_list args) {
  char line[600];
  std::vsnprintf(line, sizeof line, format, args);
  if (std::FILE* file = os::OpenFileStream(path.c_str(), "a")) {
    std::fprintf(file, "%s\n", line);
    std::fclose(file);
  }
  AppendTimingLine(path, line);
}

// Benchmarks set CORVALO_BENCH_TIMING to learn when each line was written;
// the transcript itself stays as it is.
void AppendTimingLine(const std::string& path, const char* line) {
  if (!std::getenv("CORVALO_BENCH_TIMING")) return;
  long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::system_clock::now().time_since_epoch())
                     .count();
  if (std::FILE* file = os::OpenFileStream((path + ".timing").c_str(), "a")) {
    std::fprintf(file, "%lld %s\n", ms, line);
    std::fclose(file);
  }
}

bool StartsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

std::string After(const std::string& text, const std::string& start) {
  std::string rest = text.substr(std::min(start.size(), text.size()));
  rest.erase(rest.find_last_not_of(' ') + 1);
  return rest;
}
