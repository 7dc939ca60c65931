// Files of the simulated desktop. Windows paths map onto a host folder per
// desktop ("C:\dir\file" is <root>/c/dir/file; a relative path is taken in
// the process's current directory), and text-mode streams write CR LF line
// ends as the Windows runtime does. Each stream is counted until closed.
#include <cstdio>
#include <cstring>

#include "platform/os_kernel.h"
#include "platform/sim/world.h"

namespace sim {

namespace {

bool IsAbsolute(const std::string& path) {
  return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

// A text-mode stream over a binary host stream.
ssize_t WriteText(void* cookie, const char* data, size_t size) {
  auto* file = static_cast<std::FILE*>(cookie);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == '\n' && std::fputc('\r', file) == EOF) return -1;
    if (std::fputc(data[i], file) == EOF) return -1;
  }
  return static_cast<ssize_t>(size);
}

ssize_t ReadText(void* cookie, char* data, size_t size) {
  auto* file = static_cast<std::FILE*>(cookie);
  size_t count = 0;
  while (count < size) {
    int c = std::fgetc(file);
    if (c == EOF) break;
    if (c == '\r') {
      int next = std::fgetc(file);
      if (next == '\n') {
        c = '\n';
      } else if (next != EOF) {
        std::ungetc(next, file);
      }
    }
    data[count++] = static_cast<char>(c);
  }
  return static_cast<ssize_t>(count);
}

ssize_t ReadBinary(void* cookie, char* data, size_t size) {
  return static_cast<ssize_t>(std::fread(data, 1, size, static_cast<std::FILE*>(cookie)));
}

ssize_t WriteBinary(void* cookie, const char* data, size_t size) {
  size_t written = std::fwrite(data, 1, size, static_cast<std::FILE*>(cookie));
  return written == 0 && size > 0 ? -1 : static_cast<ssize_t>(written);
}

int SeekBinary(void* cookie, off64_t* offset, int whence) {
  auto* file = static_cast<std::FILE*>(cookie);
  if (fseeko(file, *offset, whence) != 0) return -1;
  *offset = ftello(file);
  return 0;
}

// Closing the stream closes the host file and uncounts it.
int CloseStream(void* cookie) {
  UncountObject(kinds::FILE_STREAMS, cookie);
  return std::fclose(static_cast<std::FILE*>(cookie));
}

}  // namespace

std::string WindowsToHostPath(const std::string& windowsPath, const std::string& currentDirectory) {
  std::string full = windowsPath;
  if (!IsAbsolute(full)) {
    std::string base = currentDirectory;
    if (!base.empty() && base.back() != '\\') base += '\\';
    full = base + full;
  }
  std::string host = TheWorld().rootDirectory + "/" +
                     static_cast<char>(std::tolower(static_cast<unsigned char>(full[0])));
  for (std::size_t i = 2; i < full.size(); ++i) host += full[i] == '\\' ? '/' : full[i];
  return host;
}

bool WritesDenied(const std::string& hostPath) {
  for (const std::string& denied : TheWorld().deniedWrites) {
    if (denied == hostPath) return true;
  }
  return false;
}

}  // namespace sim

namespace os {

std::FILE* OpenFileStream(const char* path, const char* mode) {
  if (!path || !*path || !mode) return nullptr;
  std::string host = sim::WindowsToHostPath(path, sim::CurrentThread()->process->currentDirectory);
  bool writes = std::strpbrk(mode, "wa+") != nullptr;
  if (writes && sim::WritesDenied(host)) return nullptr;
  bool binary = std::strchr(mode, 'b') != nullptr;
  std::string hostMode = mode;
  if (!binary) hostMode += 'b';
  std::FILE* file = std::fopen(host.c_str(), hostMode.c_str());
  if (!file) return nullptr;
  // Every stream goes through the desktop, so that its close is seen.
  cookie_io_functions_t text = {sim::ReadText, sim::WriteText, nullptr, sim::CloseStream};
  cookie_io_functions_t bytes = {sim::ReadBinary, sim::WriteBinary, sim::SeekBinary, sim::CloseStream};
  std::FILE* stream = fopencookie(file, mode, binary ? bytes : text);
  if (!stream) {
    std::fclose(file);
    return nullptr;
  }
  sim::CountObject(sim::kinds::FILE_STREAMS, file);
  return stream;
}

}  // namespace os
