#include "platform/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <stdexcept>

#include "platform/SystemCalls.h"
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

// The file systems whose files the kernel makes up as they are read, as <linux/magic.h> numbers
// them: proc, sysfs, cgroup, cgroup2, debugfs, tracefs, securityfs.
constexpr decltype(statfs::f_type) kKernelFileSystems[] = {
    0x9fa0, 0x62656572, 0x27e0eb, 0x63677270, 0x64626720, 0x74726163, 0x73636673};
// The file systems that other machines (or user-space servers) write too: NFS, SMB, CIFS, SMB2,
// Ceph, FUSE, AFS, 9P, Coda, NCP.
constexpr decltype(statfs::f_type) kSharedFileSystems[] = {
    0x6969,
    0x517b,
    static_cast<decltype(statfs::f_type)>(0xff534d42),
    static_cast<decltype(statfs::f_type)>(0xfe534d42),
    0x00c36400,
    0x65735546,
    0x5346414f,
    0x01021997,
    0x73757245,
    0x564c};

template <size_t N>
bool IsOneOf(decltype(statfs::f_type) type, const decltype(statfs::f_type) (&types)[N]) {
  return std::find(std::begin(types), std::end(types), type) != std::end(types);
}

bool IsRegularFile(int fd) {
  struct stat info {};
  return sys::Stat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

// The failure of an open of `name`: a missing file in a missing folder is an invalid name.
InOutError OpenError(int error, const std::string& name) {
  if (error == ENOENT && !FolderOfNameExists(name)) return InOutError(kInvalidFilename);
  return InOutError::Platform(error);
}

}  // namespace

int OpenRegularFile(const std::string& name) {
  // A NUL byte cannot be part of a file name here; cutting the name at it would open another file.
  if (name.find('\0') != std::string::npos) throw InOutError(kInvalidFilename);
  // Non-blocking, so that opening a FIFO with no writer returns at once and is then refused.
  const int fd = sys::Open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) throw OpenError(errno, name);
  struct stat info {};
  if (sys::Stat(fd, &info) != 0) {
    const int error = errno;
    sys::Close(fd);
    throw InOutError::Platform(error);
  }
  if (!S_ISREG(info.st_mode)) {
    sys::Close(fd);
    throw InOutError(kFileAccessDenied);
  }
  return fd;
}

InputFile::InputFile(const std::string& name) : fd_(STDIN_FILENO), owned_(false) {
  if (name.empty()) {
    if (!IsRegularFile(STDIN_FILENO)) throw InOutError(kInvalidHandle);
    // Each load reads the file from its start, as it would read any named data form.
    if (lseek(STDIN_FILENO, 0, SEEK_SET) != 0) throw InOutError::Platform(errno);
    return;
  }
  fd_ = OpenRegularFile(name);
  owned_ = true;
}

InputFile::~InputFile() {
  if (owned_) sys::Close(fd_);
}

size_t InputFile::Read(char* buffer, size_t size) {
  for (;;) {
    const ssize_t got = sys::Read(fd_, buffer, size);
    if (got >= 0) return static_cast<size_t>(got);
    if (errno == EINTR) continue;
    if (errno == EPIPE && !owned_) return 0;
    throw InOutError::Platform(errno);
  }
}

size_t InputFile::ReadAt(char* buffer, size_t size, uint64_t offset) {
  for (;;) {
    const ssize_t got = sys::ReadAt(fd_, buffer, size, static_cast<off_t>(offset));
    if (got >= 0) return static_cast<size_t>(got);
    if (errno != EINTR) throw InOutError::Platform(errno);
  }
}

FileState InputFile::State() const {
  struct stat info {};
  if (sys::Stat(fd_, &info) != 0) throw InOutError::Platform(errno);
  return {static_cast<uint64_t>(info.st_size), info.st_mtim.tv_sec, info.st_mtim.tv_nsec,
          info.st_ctim.tv_sec, info.st_ctim.tv_nsec};
}

InputFile::Place InputFile::Where() const {
  struct statfs info {};
  // Where nothing can be told, the readings decide, as on a shared file system.
  if (sys::StatFileSystem(fd_, &info) != 0) return Place::kShared;
  if (IsOneOf(info.f_type, kKernelFileSystems)) return Place::kMadeByTheKernel;
  return IsOneOf(info.f_type, kSharedFileSystems) ? Place::kShared : Place::kLocal;
}

InputFile::Lease InputFile::TakeLease() {
  if (!owned_) return Lease::kUnavailable;
  if (sys::SetLease(fd_, F_RDLCK) == 0) return Lease::kTaken;
  // EAGAIN: a process has the file open for writing. Anything else (EACCES or EPERM for a file of
  // another owner, EINVAL where the file system gives no leases) means no lease can be had.
  return errno == EAGAIN ? Lease::kWriterHasItOpen : Lease::kUnavailable;
}

bool InputFile::WaitForWriterClose(int milliseconds) {
  return sys::WaitForWriterClose(fd_, milliseconds) >= 0;
}

bool InputFile::LeaseKept() const {
  return sys::GetLease(fd_) == F_RDLCK;
}

void InputFile::ReleaseLease() {
  sys::SetLease(fd_, F_UNLCK);
}

std::string AbsoluteName(const std::string& name) {
  if (!name.empty() && name.front() == '/') return name;
  std::string folder(256, '\0');
  while (getcwd(folder.data(), folder.size()) == nullptr) {
    if (errno != ERANGE) return name;  // no working directory to resolve against
    folder.resize(folder.size() * 2);
  }
  folder.resize(folder.find('\0'));
  return (folder == "/" ? "" : folder) + "/" + name;
}

void EnterFolderOf(const std::string& name) {
  const size_t slash = name.find_last_of('/');
  if (slash == std::string::npos) return;
  const std::string folder = slash == 0 ? "/" : name.substr(0, slash);
  if (folder.find('\0') != std::string::npos) return;
  [[maybe_unused]] const int ignored = chdir(folder.c_str());
}

void ReserveStandardInput() {
  if (fcntl(STDIN_FILENO, F_GETFD) == -1 && errno == EBADF) {
    const int fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (fd > STDIN_FILENO) close(fd);  // fd 0 was taken meanwhile; nothing to reserve
  }
}

}  // namespace quelvar::platform
