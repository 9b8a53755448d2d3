#include "support/FaultyCalls.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <map>
#include <set>
#include <vector>

#include "platform/SystemCalls.h"

namespace quelvar::test::faults {
namespace {

struct Fault {
  Call call;
  std::string suffix;
  int error;
  int after;
  int times;
};

// Test-only state: the faults asked for, and which file each open descriptor belongs to.
struct Plan {
  std::vector<Fault> faults;
  std::map<Call, std::map<std::string, int>> uses;
  size_t readLimit = 0;
  std::string hookSuffix;
  std::function<void(int)> hook;
  std::map<int, std::string> names;
  std::set<int> leased;
  int leasesTaken = 0;
};

Plan& ThePlan() {
  static Plan plan;
  return plan;
}

bool EndsWith(const std::string& name, const std::string& suffix) {
  return name.size() >= suffix.size() &&
         name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Whether this use of `call` on `name` is to fail; sets errno when it is.
bool Faulty(Call call, const std::string& name) {
  Plan& plan = ThePlan();
  for (Fault& fault : plan.faults) {
    if (fault.call != call || !EndsWith(name, fault.suffix)) continue;
    const int use = plan.uses[call][fault.suffix]++;
    if (use >= fault.after && fault.times > 0) {
      --fault.times;
      errno = fault.error;
      return true;
    }
  }
  return false;
}

std::string NameOf(int fd) {
  const auto found = ThePlan().names.find(fd);
  return found == ThePlan().names.end() ? std::string("<stdin>") : found->second;
}

}  // namespace

void Fail(Call call, const std::string& suffix, int error, int after, int times) {
  ThePlan().faults.push_back({call, suffix, error, after, times});
}

void LimitReads(size_t bytes) {
  ThePlan().readLimit = bytes;
}

void BeforeRead(const std::string& suffix, std::function<void(int reads)> hook) {
  ThePlan().hookSuffix = suffix;
  ThePlan().hook = std::move(hook);
}

void Reset() {
  Plan& plan = ThePlan();
  plan.faults.clear();
  plan.uses.clear();
  plan.readLimit = 0;
  plan.hook = nullptr;
  plan.leasesTaken = 0;
}

int OpenDescriptors() {
  return static_cast<int>(ThePlan().names.size());
}

int LeasesHeld() {
  return static_cast<int>(ThePlan().leased.size());
}

int LeasesTaken() {
  return ThePlan().leasesTaken;
}

}  // namespace quelvar::test::faults

namespace quelvar::platform::sys {

using test::faults::Call;

int Open(const char* name, int flags) {
  if (test::faults::Faulty(Call::kOpen, name)) return -1;
  const int fd = open(name, flags);
  if (fd >= 0) test::faults::ThePlan().names[fd] = name;
  return fd;
}

ssize_t Read(int fd, void* buffer, size_t size) {
  test::faults::Plan& plan = test::faults::ThePlan();
  const std::string name = test::faults::NameOf(fd);
  if (plan.hook && test::faults::EndsWith(name, plan.hookSuffix)) {
    plan.hook(plan.uses[Call::kRead]["hook:" + plan.hookSuffix]++);
  }
  if (test::faults::Faulty(Call::kRead, name)) return -1;
  if (plan.readLimit > 0) size = std::min(size, plan.readLimit);
  return read(fd, buffer, size);
}

// Unlimited, so that a checking reading comes in other pieces than the reading it checks.
ssize_t ReadAt(int fd, void* buffer, size_t size, off_t offset) {
  return pread(fd, buffer, size, offset);
}

int Close(int fd) {
  const std::string name = test::faults::NameOf(fd);
  test::faults::ThePlan().names.erase(fd);
  test::faults::ThePlan().leased.erase(fd);
  const int result = close(fd);
  if (test::faults::Faulty(Call::kClose, name)) return -1;
  return result;
}

int Stat(int fd, struct stat* info) {
  if (test::faults::Faulty(Call::kStat, test::faults::NameOf(fd))) return -1;
  return fstat(fd, info);
}

int StatFileSystem(int fd, struct statfs* info) {
  return fstatfs(fd, info);
}

int SetLease(int fd, int type) {
  test::faults::Plan& plan = test::faults::ThePlan();
  if (type == F_UNLCK) {
    plan.leased.erase(fd);
  } else if (test::faults::Faulty(Call::kLease, test::faults::NameOf(fd))) {
    return -1;
  }
  if (fcntl(fd, F_SETSIG, SIGURG) != 0 || fcntl(fd, F_SETLEASE, type) != 0) return -1;
  if (type != F_UNLCK) {
    plan.leased.insert(fd);
    ++plan.leasesTaken;
  }
  return 0;
}

int GetLease(int fd) {
  if (test::faults::Faulty(Call::kLeaseCheck, test::faults::NameOf(fd))) return F_UNLCK;
  return fcntl(fd, F_GETLEASE);
}

}  // namespace quelvar::platform::sys
