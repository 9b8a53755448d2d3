// The real calls. They are weak definitions, so that a test executable that defines its own
// versions gets those instead.
#include "platform/SystemCalls.h"

#include <fcntl.h>
#include <unistd.h>

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

}  // namespace quelvar::platform::sys
