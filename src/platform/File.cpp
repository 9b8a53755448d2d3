#include "platform/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "text/InOutError.h"

namespace quelvar::platform {
namespace {

bool FolderOfNameExists(const std::string& name) {
  const size_t slash = name.find_last_of('/');
  if (slash == std::string::npos) return true;
  struct stat info {};
  const std::string folder = slash == 0 ? "/" : name.substr(0, slash);
  return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsRegularFile(int fd) {
  struct stat info {};
  return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

// The I/O error code for the errno of a failed open of `name`.
int OpenErrorCode(int error, const std::string& name) {
  switch (error) {
    case ENOENT:
      return FolderOfNameExists(name) ? kFileNotFound : kInvalidFilename;
    case ENOTDIR:
      return kInvalidFilename;
    case EMFILE:
    case ENFILE:
      return kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
      return kFileAccessDenied;
    default:
      return error;
  }
}

// A descriptor of the regular file `name`, or the I/O error code as a negative number.
int OpenRegularFile(const std::string& name) {
  // A NUL byte cannot be part of a file name here; cutting the name at it would open another file.
  if (name.find('\0') != std::string::npos) return -kInvalidFilename;
  // Non-blocking, so that opening a FIFO with no writer returns at once and is then refused.
  const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return -OpenErrorCode(errno, name);
  if (!IsRegularFile(fd)) {
    close(fd);
    return -kFileAccessDenied;
  }
  return fd;
}

}  // namespace

InputFile::InputFile(const std::string& name) : fd_(STDIN_FILENO), owned_(false) {
  if (name.empty()) {
    if (!IsRegularFile(STDIN_FILENO)) throw InOutError(kInvalidHandle);
    // Each load reads the file from its start, as it would read any named data form.
    if (lseek(STDIN_FILENO, 0, SEEK_SET) != 0) throw InOutError(errno);
    return;
  }
  const int fd = OpenRegularFile(name);
  if (fd < 0) throw InOutError(-fd);
  fd_ = fd;
  owned_ = true;
}

InputFile::~InputFile() {
  if (owned_) close(fd_);
}

size_t InputFile::Read(char* buffer, size_t size) {
  for (;;) {
    const ssize_t got = read(fd_, buffer, size);
    if (got >= 0) return static_cast<size_t>(got);
    if (errno == EINTR) continue;
    if (errno == EPIPE && !owned_) return 0;
    throw InOutError(errno);
  }
}

std::string InputFile::ReadAll() {
  struct stat info {};
  const size_t expected = fstat(fd_, &info) == 0 && info.st_size > 0 ? info.st_size : 0;
  // One byte of room beyond the expected size lets the read that finds the end land in place.
  std::string bytes(expected + 1, '\0');
  size_t used = 0;
  for (;;) {
    if (used == bytes.size()) bytes.resize(bytes.size() * 2);
    const size_t got = Read(bytes.data() + used, bytes.size() - used);
    if (got == 0) break;
    used += got;
  }
  bytes.resize(used);
  return bytes;
}

void ReserveStandardInput() {
  if (fcntl(STDIN_FILENO, F_GETFD) == -1 && errno == EBADF) {
    const int fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (fd > STDIN_FILENO) close(fd);  // fd 0 was taken meanwhile; nothing to reserve
  }
}

std::string ReadProgramText(const std::string& name) {
  const int fd = name.empty() ? -1 : OpenRegularFile(name);
  if (fd < 0) throw std::runtime_error("Cannot open file " + name);
  InputFile file(fd, true);
  return file.ReadAll();
}

}  // namespace quelvar::platform
