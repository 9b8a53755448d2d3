#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace quelvar::test {

// Test versions of the file layer's system calls (platform/SystemCalls.h): a test executable that
// links this file gets them in place of the real ones. They make the real calls, except where a
// test has asked for a fault.
namespace faults {

// kLease is the taking of a read lease; a fault of kLeaseCheck makes a lease read as broken, as
// when a writer opened the file while it was held.
enum class Call { kOpen, kRead, kClose, kStat, kLease, kLeaseCheck };

// The call `call` on a file whose name ends with `suffix` (for the calls after open, the
// descriptor that open returned) fails with `error` from its `after`-th use on, `times` times.
void Fail(Call call, const std::string& suffix, int error, int after = 0, int times = 1);
// Every read (not the reads at an offset that check a reading) returns at most `bytes` bytes.
void LimitReads(size_t bytes);
// Runs before each read of a file whose name ends with `suffix`, with the number of reads made
// of it so far: a test rewrites the file there, as another program would while Quelvar reads.
void BeforeRead(const std::string& suffix, std::function<void(int reads)> hook);
// Back to the real calls, with no fault left.
void Reset();
// Descriptors opened through the seam and not yet closed.
int OpenDescriptors();
// Read leases taken through the seam and neither given back nor closed.
int LeasesHeld();
// Read leases taken through the seam since the last Reset.
int LeasesTaken();

}  // namespace faults
}  // namespace quelvar::test
