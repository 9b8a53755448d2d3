#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "platform/File.h"

namespace quelvar::platform {

// Files put in front of the disk for the form's reads: files in memory, and names that stand for
// another file on disk. quelvar-run hands the form its --registers, --program and each case's data
// form this way: nothing is written to disk, and the names it gives may hold any byte. A name not
// put here is read from the disk, as always.
class FileTable {
 public:
  // `name` reads `bytes`.
  void Put(const std::string& name, std::string bytes);
  // `name` reads the bytes `make` gives when it is first read, and the same bytes after (for what
  // can be read once, like standard input, and only when needed). A failure of `make` is the
  // read's.
  void PutLater(const std::string& name, std::function<std::string()> make);
  // `name` reads the file `diskName` from the disk, with its failures and its name in them.
  void Alias(const std::string& name, std::string diskName);
  bool Holds(const std::string& name) const { return entries_.contains(name); }
  // Whether `name` opens for reading: a file in memory always, another when its file on disk does.
  bool Opens(const std::string& name) const;

  // platform::ReadConsistently and ReadProgramText, for the files here and the disk's.
  void ReadConsistently(const std::string& name, const std::function<void(ByteSource&)>& read,
                        const BusyNotice& busy = {}) const;
  void ReadProgramText(const std::string& name, const std::function<void(ByteSource&)>& read,
                       const BusyNotice& busy = {}) const;

 private:
  struct Entry {
    mutable std::optional<std::string> bytes;  // in memory, or else
    std::function<std::string()> make;         // to be made, or else
    std::string diskName;                      // read from the disk
  };
  using DiskRead = void (*)(const std::string&, const std::function<void(ByteSource&)>&,
                            const BusyNotice&);
  void Read(DiskRead disk, const std::string& name, const std::function<void(ByteSource&)>& read,
            const BusyNotice& busy) const;

  std::map<std::string, Entry, std::less<>> entries_;
};

}  // namespace quelvar::platform
