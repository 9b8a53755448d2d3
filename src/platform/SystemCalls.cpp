// The real calls. They are weak definitions, so that a test executable that defines its own
// versions gets those instead.
#include "platform/SystemCalls.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <csignal>
#include <string>

namespace quelvar::platform::sys {

[[gnu::weak]] int Open(const char* name, int flags) {
  return open(name, flags);
}

[[gnu::weak]] ssize_t Read(int fd, void* buffer, size_t size) {
  return read(fd, buffer, size);
}

[[gnu::weak]] ssize_t ReadAt(int fd, void* buffer, size_t size, off_t offset) {
  return pread(fd, buffer, size, offset);
}

[[gnu::weak]] int Close(int fd) {
  return close(fd);
}

[[gnu::weak]] int Stat(int fd, struct stat* info) {
  return fstat(fd, info);
}

[[gnu::weak]] int StatFileSystem(int fd, struct statfs* info) {
  return fstatfs(fd, info);
}

[[gnu::weak]] int SetLease(int fd, int type) {
  // A writer that opens the file makes the kernel signal the lease holder, with SIGIO unless told
  // otherwise, which would end the process; SIGURG is ignored unless a program asks for it.
  if (type != F_UNLCK && fcntl(fd, F_SETSIG, SIGURG) != 0) return -1;
  return fcntl(fd, F_SETLEASE, type);
}

[[gnu::weak]] int GetLease(int fd) {
  return fcntl(fd, F_GETLEASE);
}

[[gnu::weak]] int WaitForWriterClose(int fd, int milliseconds) {
#ifdef __EMSCRIPTEN__
  // The page's files have no other writer to wait for.
  (void)fd, (void)milliseconds;
  return -1;
#else
  const int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  if (watch < 0) return -1;
  // The open file's own link, so that the watch is on the file read even if it was renamed.
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  int result = -1;
  if (inotify_add_watch(watch, self.c_str(), IN_CLOSE_WRITE) >= 0) {
    pollfd events{watch, POLLIN, 0};
    result = poll(&events, 1, milliseconds);
  }
  close(watch);
  return result;
#endif
}

}  // namespace quelvar::platform::sys
