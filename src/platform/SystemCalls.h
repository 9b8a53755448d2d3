#pragma once

#include <sys/stat.h>
#include <sys/types.h>
#include <sys/vfs.h>

#include <cstddef>

namespace quelvar::platform::sys {

// The POSIX calls the file layer makes, and nothing else makes: the one seam where a test or a
// fuzz target puts its own versions (defined in its own executable, they take the place of these)
// to make a call fail with a chosen errno or return fewer bytes than asked.
int Open(const char* name, int flags);
ssize_t Read(int fd, void* buffer, size_t size);
ssize_t ReadAt(int fd, void* buffer, size_t size, off_t offset);
int Close(int fd);
int Stat(int fd, struct stat* info);
int StatFileSystem(int fd, struct statfs* info);
// fcntl F_SETLEASE with `type` (F_RDLCK or F_UNLCK), and F_GETLEASE.
int SetLease(int fd, int type);
int GetLease(int fd);
// Waits until a process that wrote the file of `fd` closes it, or `milliseconds` pass: 1 for a
// close, 0 for the time, -1 when no such wait can be had here.
int WaitForWriterClose(int fd, int milliseconds);

}  // namespace quelvar::platform::sys
