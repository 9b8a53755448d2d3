// Reading one version of a file. Where Linux gives a read lease, no writer can open the file while
// it is read: the reader waits a little for a writer that has it open to close it, and reads again
// when one asked for the file meanwhile; on a local file system a lease that held is enough. Where
// no lease can be had, or other machines may write the file too, a reading is taken only when the
// file's size and times are the same after it as before and a second reading gives the same bytes.
// Files the kernel makes up (/proc, /sys) are read once.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>

#include "platform/File.h"
#include "text/InOutError.h"

namespace quelvar::platform {
namespace {

constexpr int kAttempts = 5;
constexpr size_t kChunk = 64 * 1024;
constexpr auto kBusyAfter = std::chrono::milliseconds(500);
// How long one read waits in all for writers to close the file, and at most between two looks.
constexpr auto kWriterWait = std::chrono::milliseconds(1500);
constexpr auto kLongestWait = std::chrono::milliseconds(100);

// Tells `busy` once that a read has taken long. Without a notice the clock is never read.
class BusyWatch {
 public:
  explicit BusyWatch(const BusyNotice& busy) : busy_(busy) {
    if (busy_) start_ = std::chrono::steady_clock::now();
  }
  void Check() {
    if (told_ || !busy_ || std::chrono::steady_clock::now() - start_ < kBusyAfter) return;
    told_ = true;
    busy_();
  }

 private:
  const BusyNotice& busy_;
  std::chrono::steady_clock::time_point start_;
  bool told_ = false;
};

// A digest of the bytes seen, eight at a time, and their number: the same whatever pieces the
// bytes come in. It tells two readings of a file apart, nothing more.
struct Digest {
  uint64_t hash = 14695981039346656037ull;
  uint64_t bytes = 0;
  uint64_t word = 0;  // the bytes of a word not yet complete

  void Add(const char* data, size_t size) {
    for (; size > 0 && bytes % 8 != 0; --size) AddByte(*data++);
    for (; size >= 8; size -= 8, data += 8) {
      std::memcpy(&word, data, 8);
      bytes += 8;
      Mix();
    }
    for (; size > 0; --size) AddByte(*data++);
  }
  friend bool operator==(const Digest&, const Digest&) = default;

 private:
  void AddByte(char byte) {
    word |= uint64_t{static_cast<unsigned char>(byte)} << (8 * (bytes % 8));
    if (++bytes % 8 == 0) Mix();
  }
  void Mix() {
    hash = (hash ^ word) * 1099511628211ull;
    hash ^= hash >> 31;
    word = 0;
  }
};

// Hands the reader the file's bytes and keeps their digest.
class DigestingSource final : public ByteSource {
 public:
  DigestingSource(InputFile& file, BusyWatch& watch) : file_(file), watch_(watch) {}
  size_t Read(char* buffer, size_t size) override {
    watch_.Check();
    const size_t got = file_.Read(buffer, size);
    digest_.Add(buffer, got);
    return got;
  }
  // What the reader left unread, so that the digest covers the whole file.
  void ReadRest() {
    const std::unique_ptr<char[]> buffer(new char[kChunk]);  // not zero-filled
    while (Read(buffer.get(), kChunk) != 0) {
    }
  }
  const Digest& Seen() const { return digest_; }

 private:
  InputFile& file_;
  BusyWatch& watch_;
  Digest digest_;
};

Digest DigestOf(InputFile& file, BusyWatch& watch) {
  Digest digest;
  const std::unique_ptr<char[]> buffer(new char[kChunk]);  // not zero-filled
  for (;;) {
    watch.Check();
    const size_t got = file.ReadAt(buffer.get(), kChunk, digest.bytes);
    if (got == 0) return digest;
    digest.Add(buffer.get(), got);
  }
}

// Takes read leases for one read, waiting for writers to close the file: kWriterWait in all, from
// the first writer found. Without a writer the clock is never read.
class LeaseTaker {
 public:
  explicit LeaseTaker(BusyWatch& watch) : watch_(watch) {}

  // Whether `file` is now leased; false where no lease can be had.
  bool Take(InputFile& file) {
    for (;;) {
      switch (file.TakeLease()) {
        case InputFile::Lease::kTaken:
          return true;
        case InputFile::Lease::kUnavailable:
          return false;
        case InputFile::Lease::kWriterHasItOpen:
          break;
      }
      const auto now = std::chrono::steady_clock::now();
      if (!end_) end_ = now + kWriterWait;
      if (now >= *end_) throw InOutError(kFileKeptChanging);
      watch_.Check();
      // Woken by the writer's close; the longest wait covers a close made before the watch was.
      const auto wait = std::min<std::chrono::steady_clock::duration>(kLongestWait, *end_ - now);
      const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(wait).count();
      if (!file.WaitForWriterClose(static_cast<int>(milliseconds))) return false;
    }
  }

 private:
  BusyWatch& watch_;
  std::optional<std::chrono::steady_clock::time_point> end_;
};

// A lease taken (or not) on a file, given back on every path.
class HeldLease {
 public:
  HeldLease(InputFile& file, bool taken) : file_(file), taken_(taken) {}
  ~HeldLease() {
    if (taken_) file_.ReleaseLease();
  }
  HeldLease(const HeldLease&) = delete;
  HeldLease& operator=(const HeldLease&) = delete;
  // False when a writer asked for the file while it was leased: the reading may be older than
  // the file now is.
  bool Kept() const { return !taken_ || file_.LeaseKept(); }
  bool Taken() const { return taken_; }

 private:
  InputFile& file_;
  bool taken_;
};

bool HeldStill(InputFile& file, const FileState& before, DigestingSource& source,
               BusyWatch& watch) {
  source.ReadRest();
  if (file.State() != before || source.Seen().bytes != before.size) return false;
  return DigestOf(file, watch) == source.Seen();
}

void ReadOneVersion(const std::function<std::unique_ptr<InputFile>()>& open,
                    const std::function<void(ByteSource&)>& read, const BusyNotice& busy) {
  BusyWatch watch(busy);
  LeaseTaker leases(watch);
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const std::unique_ptr<InputFile> file = open();
    const InputFile::Place place = file->Where();
    if (place == InputFile::Place::kMadeByTheKernel) {
      read(*file);
      return;
    }
    const HeldLease lease(*file, leases.Take(*file));
    const FileState before = file->State();
    DigestingSource source(*file, watch);
    std::exception_ptr failure;
    try {
      read(source);
    } catch (...) {
      // A torn file can make the reader fail too; whether it did is known only below.
      failure = std::current_exception();
    }
    // Under a lease that held on a file of this machine's own, no writer had the file open or
    // opened it: what was read is one version, and a second reading would tell nothing more.
    const bool oneVersion = lease.Taken() && place == InputFile::Place::kLocal
                                ? lease.Kept() && file->State() == before
                                : HeldStill(*file, before, source, watch) && lease.Kept();
    if (oneVersion) {
      if (failure) std::rethrow_exception(failure);
      return;
    }
  }
  throw InOutError(kFileKeptChanging);
}

}  // namespace

void ReadConsistently(const std::string& name, const std::function<void(ByteSource&)>& read,
                      const BusyNotice& busy) {
  ReadOneVersion([&name] { return std::make_unique<InputFile>(name); }, read, busy);
}

void ReadProgramText(const std::string& name, const std::function<void(ByteSource&)>& read,
                     const BusyNotice& busy) {
  ReadOneVersion(
      [&name] {
        const std::string cannotOpen = "Cannot open file " + name;
        if (name.empty()) throw std::runtime_error(cannotOpen);
        try {
          return std::make_unique<InputFile>(OpenRegularFile(name), true);
        } catch (const InOutError&) {
          // Whatever the reason, a program text that cannot be opened says only that.
          throw std::runtime_error(cannotOpen);
        }
      },
      read, busy);
}

}  // namespace quelvar::platform
