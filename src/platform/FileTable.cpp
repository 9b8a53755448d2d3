#include "platform/FileTable.h"

#include "text/MemorySource.h"

namespace quelvar::platform {

void FileTable::Put(const std::string& name, std::string bytes) {
  entries_[name] = Entry{std::move(bytes), {}, {}};
}

void FileTable::PutLater(const std::string& name, std::function<std::string()> make) {
  entries_[name] = Entry{std::nullopt, std::move(make), {}};
}

void FileTable::Alias(const std::string& name, std::string diskName) {
  entries_[name] = Entry{std::nullopt, {}, std::move(diskName)};
}

bool FileTable::Opens(const std::string& name) const {
  const auto entry = entries_.find(name);
  if (entry != entries_.end() && (entry->second.bytes || entry->second.make)) return true;
  try {
    const InputFile file(entry == entries_.end() ? name : entry->second.diskName);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void FileTable::ReadConsistently(const std::string& name,
                                 const std::function<void(ByteSource&)>& read,
                                 const BusyNotice& busy) const {
  Read(&platform::ReadConsistently, name, read, busy);
}

void FileTable::ReadProgramText(const std::string& name,
                                const std::function<void(ByteSource&)>& read,
                                const BusyNotice& busy) const {
  Read(&platform::ReadProgramText, name, read, busy);
}

void FileTable::Read(DiskRead disk, const std::string& name,
                     const std::function<void(ByteSource&)>& read, const BusyNotice& busy) const {
  const auto entry = entries_.find(name);
  if (entry == entries_.end()) return disk(name, read, busy);
  const Entry& file = entry->second;
  if (!file.bytes && file.make) file.bytes = file.make();
  if (!file.bytes) return disk(file.diskName, read, busy);
  MemorySource source(*file.bytes);
  read(source);
}

}  // namespace quelvar::platform
