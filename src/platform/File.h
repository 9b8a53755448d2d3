#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "text/TextReader.h"

namespace quelvar::platform {

// What tells one version of a file from another: its size and its modification and change times.
struct FileState {
  uint64_t size = 0;
  int64_t modifiedSeconds = 0;
  int64_t modifiedNanoseconds = 0;
  int64_t changedSeconds = 0;
  int64_t changedNanoseconds = 0;
  friend bool operator==(const FileState&, const FileState&) = default;
};

// A file opened for reading, closed again on every path. Only regular files are read: a folder,
// a device or a FIFO fails with "File access denied" at once, since reading one could block the
// window or never end. Failures throw InOutError with the code of the I/O error table.
class InputFile final : public ByteSource {
 public:
  // The whole name is used, as bytes. An empty name stands for standard input, read from its
  // start and only when it is a regular file (redirected from a file); otherwise it fails with the
  // invalid-handle error.
  explicit InputFile(const std::string& name);
  InputFile(int fd, bool owned) : fd_(fd), owned_(owned) {}
  ~InputFile() override;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  size_t Read(char* buffer, size_t size) override;
  // Up to `size` bytes from `offset`, leaving the position of Read where it is.
  size_t ReadAt(char* buffer, size_t size, uint64_t offset);
  FileState State() const;
  // Where the file is: one the kernel makes up as it is read (/proc, /sys), whose size says
  // nothing and whose two readings may differ without anyone writing it; one on a file system
  // that other machines write too (NFS, SMB, FUSE...), where a lease keeps out only this
  // machine's writers; or a file of this machine's own.
  enum class Place { kMadeByTheKernel, kShared, kLocal };
  Place Where() const;

  // A read lease (Linux): while it is held, another process that opens the file for writing waits
  // until it is given back, or until the kernel's lease-break time passes. Standard input is never
  // leased (its open file is the shell's).
  enum class Lease { kTaken, kWriterHasItOpen, kUnavailable };
  Lease TakeLease();
  // Waits until a writer closes the file, or `milliseconds` pass; false when no such wait can be
  // had.
  bool WaitForWriterClose(int milliseconds);
  // False once a writer has asked for the file while the lease was held.
  bool LeaseKept() const;
  void ReleaseLease();

 private:
  int fd_;
  bool owned_;
};

// A descriptor of the regular file `name`; failures throw InOutError.
int OpenRegularFile(const std::string& name);

// Reads the file `name` (standard input for an empty name) through `read`, which is handed its
// bytes from the start. The read sees one version of the file: where a read lease can be had, no
// writer opens the file while it is read (one that has it open is waited for, 1.5 s at most in
// all); when the file changes meanwhile (a writer asked for it, its size or times change, or a
// second reading gives other bytes), `read` runs again from the start, a few times; a file that
// never holds still fails with "File kept changing while it was read". A failure of `read` is
// passed on once the file is known to have held still. A file the kernel makes up (/proc, /sys)
// is read once, as it is. `busy`, when given, is called once when the read has taken more than
// about half a second.
using BusyNotice = std::function<void()>;
void ReadConsistently(const std::string& name, const std::function<void(ByteSource&)>& read,
                      const BusyNotice& busy = {});

// The same for a program text: any failure to open it, an empty name included, is
// "Cannot open file NAME".
void ReadProgramText(const std::string& name, const std::function<void(ByteSource&)>& read,
                     const BusyNotice& busy = {});

// `name` made absolute against the working directory, as bytes: no character set is assumed.
std::string AbsoluteName(const std::string& name);
// Makes the folder of the file `name` the working directory, as a file dialog does when a file is
// chosen in it; nothing changes when the folder cannot be entered (the open then says why).
void EnterFolderOf(const std::string& name);

// Opens /dev/null as standard input when the process was started without one, so that no file
// opened later can take its place and be read for an empty data-form name.
void ReserveStandardInput();

}  // namespace quelvar::platform
